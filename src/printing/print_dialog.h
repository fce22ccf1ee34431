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
class QSpinBox;

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
    // CopyCount from the copies typed; false (and the message) when none,
    // or fewer than the versions asked for.
    bool takeCopyCount();
    // The sheet to the current printer (true) or to the file named.
    void composeTestSheet(bool toPrinter);
    std::optional<Margins> margins() const;
    // The sheet of the test at catalogue `rows`; `version` "" for one version.
    SheetContent content(const Margins &margins, const std::array<qint16, 10> &rows,
                         const QString &version) const;
    // The sheet of each version: the test drawn is version A, the others are
    // drawn now; nothing (and the message) when the collection holds too few.
    QList<SheetContent> versions(const Margins &margins);
    // The message for the problem at `position` of version `version` whose
    // picture cannot be read.
    void unreadablePicture(const QList<SheetContent> &sheets, int version, int position);
    // Writes each version's sheet (and key) under teste/<name>.jpg or .pdf
    // (<name>-A.pdf, ... for versions) as one set; without the key, removes
    // the keys made for earlier sheets of these names.
    void writeSheetFiles(const QList<SheetContent> &sheets);
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
    QSpinBox *m_versions = nullptr; // how many versions of the test, 1 to 4
    QPushButton *m_print = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace culegere
