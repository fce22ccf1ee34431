#pragma once

#include "printing/test_sheet.h"
#include "state/app_state.h"
#include "widgets/secondary_screen.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace culegere {

class Platform;

// The print dialog "Tipareste": the current test's sheet to a printer or to
// a file in "teste" (a JPEG picture or a PDF), with its margins, copies and
// header, and the options: numbered problems, an answer key after the
// sheets, every problem at the same width. "Ok" hides it with every choice
// kept; a frame close destroys it.
class PrintDialog : public SecondaryScreen
{
    Q_OBJECT

public:
    PrintDialog(AppState &state, Platform &platform);

signals:
    void closed();

protected:
    void closeSteps() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void toFileChosen();
    void toPrinterChosen();
    void printerChosen(int index);
    void print();
    bool isPdf() const;
    // CopyCount from the copies typed; false (and the message) when none.
    bool takeCopyCount();
    // The sheet to the current printer (true) or to the file named.
    void composeTestSheet(bool toPrinter);
    std::optional<Margins> margins() const;
    SheetContent content(const Margins &margins) const;
    // The message for the problem at `position` whose picture cannot be read.
    void unreadablePicture(const SheetContent &sheet, int position);
    // Writes the sheet (and the key, as one pair) under teste/<name>.jpg or
    // .pdf; without the key, removes the key made for an earlier sheet.
    void writeSheetFiles(const SheetContent &sheet);
    void message(const QString &text);

    AppState &m_state;
    Platform &m_platform;
    QString m_currentPrinter; // the printer chosen from the list
    qint16 m_copyCount = 0;

    QGroupBox *m_destination = nullptr;
    QRadioButton *m_toFile = nullptr;
    QRadioButton *m_toPrinter = nullptr;
    QLabel *m_fileLabel = nullptr;
    QLineEdit *m_fileName = nullptr;
    std::array<QLineEdit *, 4> m_marginBoxes{}; // left, right, top, bottom
    std::array<QScrollBar *, 4> m_marginBars{};
    QComboBox *m_printerBox = nullptr;
    QLineEdit *m_copies = nullptr;
    QPlainTextEdit *m_header = nullptr;
    QComboBox *m_format = nullptr; // "JPEG" or "PDF", for file output
    QCheckBox *m_numbered = nullptr;
    QCheckBox *m_answerKey = nullptr;
    QCheckBox *m_sameWidth = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace culegere
