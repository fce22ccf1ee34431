#pragma once

#include "printing/test_sheet.h"
#include "state/app_state.h"
#include "widgets/secondary_screen.h"

#include <array>

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
class PictureBox;

// The print dialog "Tipareste": the current test's sheet to a printer or to
// a picture file in "teste", with its margins, copies and header. "Ok" hides
// it with every choice kept; a frame close destroys it.
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
    // The sheet to the current printer (true) or to the file named in Text2.
    void ComposeTestSheet(bool toPrinter);
    std::optional<Margins> margins() const;
    SheetContent content(const Margins &margins) const;
    void message(const QString &text);

    AppState &m_state;
    Platform &m_platform;
    QString m_currentPrinter; // the printer chosen from the list
    qint16 m_copyCount = 0;

    QGroupBox *m_frame1 = nullptr;
    QRadioButton *m_option1 = nullptr; // In fisier
    QRadioButton *m_option2 = nullptr; // La imprimanta
    QLabel *m_label3 = nullptr;
    QLineEdit *m_text2 = nullptr;               // file name
    std::array<QLineEdit *, 4> m_marginBoxes{}; // Text3..Text6
    std::array<QScrollBar *, 4> m_marginBars{}; // VScroll1..VScroll4
    QComboBox *m_combo1 = nullptr;
    QLineEdit *m_text1 = nullptr;             // copies
    QPlainTextEdit *m_text7 = nullptr;        // header
    QPushButton *m_command2 = nullptr;        // Print
    QPushButton *m_command1 = nullptr;        // Ok
    std::array<PictureBox *, 3> m_pictures{}; // Picture1..Picture3, working surfaces
};

} // namespace culegere
