#include "printing/print_dialog.h"

#include "platform/cue.h"
#include "printing/printing_messages.h"
#include "store/atomic_file.h"
#include "widgets/access_keys.h"
#include "widgets/picture_box.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>

namespace culegere {

namespace {

// The dialog is laid out in twips, 15 to a pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

template <typename W> W *place(W *widget, QWidget *parent, const char *name, const QRect &geometry)
{
    widget->setParent(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

QLineEdit *centredBox(QWidget *parent, const char *name, const QRect &geometry, const QString &text)
{
    auto *box = place(new QLineEdit(text), parent, name, geometry);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

constexpr int kMarginStart[4] = {20, 20, 30, 30}; // left, right, top, bottom

qreal screenDotsPerInch()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

// Writes the page as a JPEG whose text stays crisp on paper. An older file
// of that name is replaced only by a complete new one.
bool saveSheetFile(const QImage &page, const QString &path)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!page.save(&buffer, "JPEG", 95))
        return false;
    AtomicWriteSet write;
    write.add(path, path, jpeg);
    return write.commit().ok();
}

} // namespace

PrintDialog::PrintDialog(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("frmTipareste"), QStringLiteral("Tipareste"),
                      FrameClose::Destroys),
      m_state(state), m_platform(platform)
{
    buildControls();

    connect(m_option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            toFileChosen();
    });
    connect(m_option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            toPrinterChosen();
    });
    connect(m_combo1, &QComboBox::activated, this, &PrintDialog::printerChosen);
    for (int i = 0; i < 4; ++i) {
        connect(m_marginBars[i], &QScrollBar::valueChanged, this, [this, i](int value) {
            m_marginBoxes[i]->setText(MarginText(value, QLocale::system()));
        });
    }
    connect(m_command2, &QPushButton::clicked, this, &PrintDialog::print);
    connect(m_command1, &QPushButton::clicked, this, [this] {
        closeSteps();
        hide();
    });

    // The load step.
    setFixedSize(twips(0, 0, 13905, 6390).size());
    giveAccessKeys(this);
    m_text1->setText(QStringLiteral("1"));
    m_option2->setChecked(true);
    toPrinterChosen();
    m_label3->hide();
    m_text2->hide();
    m_combo1->addItems(m_platform.printerNames());
    m_combo1->setCurrentIndex(-1);
    m_combo1->clearEditText();
    for (int i = 0; i < 4; ++i) {
        m_marginBars[i]->setValue(kMarginStart[i]);
        m_marginBoxes[i]->setText(MarginText(kMarginStart[i], QLocale::system()));
    }
    PlayCue(m_platform, m_state.folder, cue::Load);
}

void PrintDialog::buildControls()
{
    QFont bold = font();
    bold.setPointSizeF(13.5);
    bold.setBold(true);
    setFont(bold);

    m_frame1 = place(new QGroupBox(QStringLiteral("Tipareste")), this, "Frame1",
                     twips(360, 120, 3855, 3015));
    // The option captions in bold may need more than their 2415 twips: they
    // take what the frame has to their right.
    const int optionWidth = 3855 - 360 - 120;
    m_option2 = place(new QRadioButton(QStringLiteral("La imprimanta")), m_frame1, "Option2",
                      twips(360, 480, optionWidth, 615));
    m_option1 = place(new QRadioButton(QStringLiteral("In fisier")), m_frame1, "Option1",
                      twips(360, 1560, optionWidth, 615));
    m_label3 =
        place(new QLabel(QStringLiteral("Nume fisier")), this, "Label3", twips(0, 3360, 1935, 375));
    m_text2 = place(new QLineEdit, this, "Text2", twips(1920, 3360, 3855, 495));
    m_text2->setAccessibleName(QStringLiteral("Numele fisierului"));

    const char *labels[4] = {"Label4", "Label5", "Label6", "Label7"};
    const QString captions[4] = {QStringLiteral("Stanga:"), QStringLiteral("Dreapta:"),
                                 QStringLiteral("Top:"), QStringLiteral("Bottom:")};
    const char *boxes[4] = {"Text3", "Text4", "Text5", "Text6"};
    const char *bars[4] = {"VScroll1", "VScroll2", "VScroll3", "VScroll4"};
    const QString sides[4] = {QStringLiteral("din stanga"), QStringLiteral("din dreapta"),
                              QStringLiteral("de sus"), QStringLiteral("de jos")};
    for (int i = 0; i < 4; ++i) {
        const int top = 360 + 720 * i;
        place(new QLabel(captions[i]), this, labels[i], twips(5640, top, 1335, 495));
        m_marginBoxes[i] = centredBox(this, boxes[i], twips(6960, top, 1215, 495), QString());
        auto *bar = place(new QScrollBar(Qt::Vertical), this, bars[i], twips(8160, top, 615, 495));
        bar->setRange(0, 40);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        m_marginBars[i] = bar;
        m_marginBoxes[i]->setAccessibleName(
            QStringLiteral("Marginea %1, in centimetri").arg(sides[i]));
        bar->setAccessibleName(QStringLiteral("Schimba marginea %1").arg(sides[i]));
    }

    auto *label2 = place(new QLabel(QStringLiteral("Selectati imprimanta")), this, "Label2",
                         twips(10320, 360, 3855, 495));
    label2->setAlignment(Qt::AlignCenter);
    m_combo1 = place(new QComboBox, this, "Combo1", twips(9960, 840, 3855, 420));
    m_combo1->setEditable(true);
    m_combo1->setAccessibleName(QStringLiteral("Imprimanta"));
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    QFont listFont = bold;
    listFont.setPointSizeF(12);
    m_combo1->setFont(listFont);
    m_combo1->installEventFilter(this);
    if (m_combo1->lineEdit())
        m_combo1->lineEdit()->installEventFilter(this);

    auto *label1 = place(new QLabel(QStringLiteral("Nr de exemplare")), this, "Label1",
                         twips(10320, 1680, 3255, 615));
    label1->setAlignment(Qt::AlignCenter);
    m_text1 = centredBox(this, "Text1", twips(11520, 2280, 735, 735), QString());
    m_text1->setAccessibleName(QStringLiteral("Numarul de exemplare"));
    auto *label8 =
        place(new QLabel(QStringLiteral("Antet")), this, "Label8", twips(4080, 4200, 2535, 375));
    label8->setAlignment(Qt::AlignCenter);
    m_text7 = place(new QPlainTextEdit, this, "Text7", twips(120, 4560, 10575, 1695));
    m_text7->setAccessibleName(QStringLiteral("Antetul foii"));
    m_command2 = place(new QPushButton(QStringLiteral("Print")), this, "Command2",
                       twips(10920, 4560, 2895, 735));
    m_command1 = place(new QPushButton(QStringLiteral("Ok")), this, "Command1",
                       twips(10920, 5520, 2895, 735));

    // The working surfaces of the sheet serve no one on the screen.
    const char *pictures[3] = {"Picture1", "Picture2", "Picture3"};
    const QRect where[3] = {twips(9720, 3240, 1215, 375), twips(9720, 2760, 1095, 375),
                            twips(9720, 2280, 975, 495)};
    for (int i = 0; i < 3; ++i) {
        m_pictures[i] = place(new PictureBox, this, pictures[i], where[i]);
        m_pictures[i]->setAccessibleName(QStringLiteral("Suprafata de lucru a foii"));
        m_pictures[i]->hide();
    }
}

void PrintDialog::toFileChosen()
{
    m_combo1->setEnabled(false);
    m_label3->show();
    m_text2->show();
}

void PrintDialog::toPrinterChosen()
{
    m_combo1->setEnabled(true);
    m_label3->hide();
    m_text2->hide();
    m_command2->setEnabled(true);
}

void PrintDialog::printerChosen(int index)
{
    if (m_combo1->currentText().isEmpty()) {
        m_command2->setEnabled(false);
        return;
    }
    const QString text = m_combo1->currentText();
    for (const QString &name : m_platform.printerNames()) {
        if (name == text) {
            m_currentPrinter = name;
            break;
        }
    }
    m_command2->setEnabled(true);
    if (index >= 0)
        m_combo1->setEditText(m_combo1->itemText(index));
}

bool PrintDialog::eventFilter(QObject *watched, QEvent *event)
{
    // A key released in the printer list moves on to the copies.
    if (event->type() == QEvent::KeyRelease)
        m_text1->setFocus();
    return SecondaryScreen::eventFilter(watched, event);
}

void PrintDialog::message(const QString &text)
{
    m_platform.showMessage(this, text, Platform::Buttons::Ok, kAppTitle);
}

std::optional<Margins> PrintDialog::margins() const
{
    std::array<float, 4> values{};
    for (int i = 0; i < 4; ++i) {
        const std::optional<float> value = parseMargin(m_marginBoxes[i]->text(), QLocale::system());
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    const Margins m{values[0], values[1], values[2], values[3]};
    if (!sheetGeometry(m).fitsThePage())
        return std::nullopt;
    return m;
}

SheetContent PrintDialog::content(const Margins &margins) const
{
    SheetContent content;
    content.margins = margins;
    content.header = m_text7->toPlainText();
    const AppFolder &folder = m_state.folder;
    for (int i = 0; i < CurrentTest::Size; ++i) {
        const int row = m_state.test.TestProblems[i];
        content.pictureFiles.append(
            row >= Collection::FirstRow && row <= m_state.collection.lastProblemRow()
                ? folder.resolvePath(ProblemImagePath(
                      folder.root(), m_state.collection.ProblemTable[row].ImagePath))
                : QString());
    }
    return content;
}

void PrintDialog::print()
{
    if (m_option2->isChecked()) {
        if (m_combo1->currentText().isEmpty()) {
            message(printmsg::NoPrinter);
            return;
        }
        if (m_text1->text().isEmpty()) {
            message(printmsg::NoCopies);
            return;
        }
        const Copies copies = parseCopies(m_text1->text(), QLocale::system());
        if (copies.status != Copies::Count) {
            message(copies.status == Copies::Zero ? printmsg::NothingToPrint : printmsg::BadCopies);
            return;
        }
        m_copyCount = static_cast<qint16>(copies.count);
        ComposeTestSheet(true);
        return;
    }
    if (m_text2->text().isEmpty()) {
        message(printmsg::NoFileName);
        return;
    }
    if (!isAcceptableSheetName(m_text2->text())) {
        message(printmsg::BadFileName);
        return;
    }
    ComposeTestSheet(false);
}

void PrintDialog::ComposeTestSheet(bool toPrinter)
{
    const std::optional<Margins> chosen = margins();
    if (!chosen) {
        message(printmsg::BadMargins);
        return;
    }
    const SheetContent sheet = content(*chosen);

    if (toPrinter) {
        const QString name =
            m_currentPrinter.isEmpty() ? m_combo1->currentText() : m_currentPrinter;
        std::unique_ptr<QPrinter> printer = m_platform.openPrinter(name);
        if (!printer || !printTestSheet(*printer, sheet, m_copyCount))
            message(printmsg::PrinterFailed.arg(name));
        return;
    }

    const QString folder = m_state.folder.resolve(QStringLiteral("\\teste"));
    const QString file = m_state.folder.resolve(QStringLiteral("\\teste\\") + m_text2->text() +
                                                QStringLiteral(".jpg"));
    const QImage page = renderTestSheet(sheet, screenDotsPerInch());
    m_pictures[2]->showImage(page);
    if (!QDir().mkpath(folder) || !saveSheetFile(page, file)) {
        message(printmsg::FileNotWritten.arg(QDir::toNativeSeparators(file)));
        return;
    }
    PlayCue(m_platform, m_state.folder, cue::SetOk);
}

void PrintDialog::closeSteps()
{
    PlayCue(m_platform, m_state.folder, cue::CloseScreen);
    emit closed();
}

} // namespace culegere
