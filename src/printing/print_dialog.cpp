#include "printing/print_dialog.h"

#include "platform/cue.h"
#include "printing/answer_key.h"
#include "printing/printing_messages.h"
#include "store/atomic_file.h"
#include "store/problem_paths.h"
#include "testing/draw.h"
#include "widgets/access_keys.h"
#include "widgets/busy_cursor.h"
#include "widgets/controls.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
#include <QSpinBox>

namespace culegere {

namespace {

// The dialog is laid out in twips, 15 to a pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

template <typename W> W *place(W *widget, QWidget *parent, const QRect &geometry)
{
    widget->setParent(parent);
    widget->setGeometry(geometry);
    return widget;
}

QLineEdit *centredBox(QWidget *parent, const QRect &geometry)
{
    auto *box = place(new QLineEdit, parent, geometry);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

constexpr int kMarginStart[4] = {20, 20, 30, 30}; // left, right, top, bottom

qreal screenDotsPerInch()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

// A page as a JPEG whose text stays crisp on paper; empty on failure.
QByteArray jpegOf(const QImage &page)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!page.save(&buffer, "JPEG", 95))
        return {};
    return jpeg;
}

// The mark the program leaves in a key it makes (a JPEG's comment; a PDF's
// title and maker), so that only such a key is ever removed.
const QString kKeyMark = QStringLiteral("Culegere electronica: barem");

QByteArray utf16(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text)
        bytes.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xff));
    return bytes;
}

bool isKeyWeMade(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 64 * 1024 * 1024)
        return false;
    const QByteArray bytes = file.readAll();
    return bytes.contains(kKeyMark.toLatin1()) ||
           (bytes.contains(utf16(QStringLiteral("Barem"))) &&
            bytes.contains(utf16(QStringLiteral("Culegere electronica"))));
}

} // namespace

PrintDialog::PrintDialog(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("Tipareste"), FrameClose::Destroys), m_state(state),
      m_platform(platform)
{
    setHelpPage(QStringLiteral("tiparire.html"));
    buildControls();

    connect(m_toFile, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            toFileChosen();
    });
    connect(m_toPrinter, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            toPrinterChosen();
    });
    connect(m_printerBox, &QComboBox::activated, this, &PrintDialog::printerChosen);
    for (int i = 0; i < 4; ++i) {
        connect(m_marginBars[i], &QScrollBar::valueChanged, this, [this, i](int value) {
            m_marginBoxes[i]->setText(marginText(value, QLocale::system()));
        });
    }
    connect(m_print, &QPushButton::clicked, this, &PrintDialog::print);
    closesTheScreen(m_ok);
    // The dialog belongs to the test drawn: it closes, as "Ok" closes it, when
    // that test ends or another is drawn in its place.
    connect(&m_state.watch, &TestWatch::changed, this, [this](bool underWay) {
        if (!underWay)
            closeIfShown();
    });
    connect(&m_state.watch, &TestWatch::newTest, this, &PrintDialog::closeIfShown);

    // The load step.
    setFixedSize(twips(0, 0, 13905, 6390).size());
    giveAccessKeys(this, QStringLiteral("V")); // Alt+V: the versions' caption
    m_copies->setText(QStringLiteral("1"));
    m_toPrinter->setChecked(true);
    toPrinterChosen();
    m_fileLabel->hide();
    m_fileName->hide();
    offerChoices(m_printerBox, m_platform.printerNames());
    for (int i = 0; i < 4; ++i) {
        m_marginBars[i]->setValue(kMarginStart[i]);
        m_marginBoxes[i]->setText(marginText(kMarginStart[i], QLocale::system()));
    }
    playCue(m_platform, m_state.folder, cue::Load);
}

void PrintDialog::buildControls()
{
    QFont bold = font();
    bold.setPointSizeF(13.5);
    bold.setBold(true);
    setFont(bold);

    m_destination =
        place(new QGroupBox(QStringLiteral("Tipareste")), this, twips(360, 120, 3855, 3015));
    // The option captions in bold may need more than their 2415 twips: they
    // take what the frame has to their right.
    const int optionWidth = 3855 - 360 - 120;
    m_toPrinter = place(new QRadioButton(QStringLiteral("La imprimanta")), m_destination,
                        twips(360, 480, optionWidth, 615));
    m_toFile = place(new QRadioButton(QStringLiteral("In fisier")), m_destination,
                     twips(360, 1560, optionWidth, 615));
    m_fileLabel = place(new QLabel(QStringLiteral("Nume fisier")), this, twips(0, 3360, 1935, 375));
    m_fileName = place(new QLineEdit, this, twips(1920, 3360, 3855, 495));
    m_fileName->setAccessibleName(QStringLiteral("Numele fisierului"));
    m_format = place(new QComboBox, this, twips(5880, 3360, 1455, 495));
    m_format->addItems({QStringLiteral("JPEG"), QStringLiteral("PDF")});
    m_format->setAccessibleName(QStringLiteral("Formatul fisierului"));

    const QString captions[4] = {QStringLiteral("Stanga:"), QStringLiteral("Dreapta:"),
                                 QStringLiteral("Top:"), QStringLiteral("Bottom:")};
    const QString sides[4] = {QStringLiteral("din stanga"), QStringLiteral("din dreapta"),
                              QStringLiteral("de sus"), QStringLiteral("de jos")};
    std::array<QLabel *, 4> marginLabels{};
    for (int i = 0; i < 4; ++i) {
        const int top = 360 + 720 * i;
        marginLabels[i] = place(new QLabel(captions[i]), this, twips(5640, top, 1335, 495));
        m_marginBoxes[i] = centredBox(this, twips(6960, top, 1215, 495));
        auto *bar = place(new QScrollBar(Qt::Vertical), this, twips(8160, top, 615, 495));
        bar->setRange(0, 40);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        m_marginBars[i] = bar;
        m_marginBoxes[i]->setAccessibleName(
            QStringLiteral("Marginea %1, in centimetri").arg(sides[i]));
        bar->setAccessibleName(QStringLiteral("Schimba marginea %1").arg(sides[i]));
    }

    auto *printerLabel = place(new QLabel(QStringLiteral("Selectati imprimanta")), this,
                               twips(10320, 360, 3855, 495));
    printerLabel->setAlignment(Qt::AlignCenter);
    m_printerBox = place(new QComboBox, this, twips(9960, 840, 3855, 420));
    m_printerBox->setEditable(true);
    m_printerBox->setAccessibleName(QStringLiteral("Imprimanta"));
    m_printerBox->setInsertPolicy(QComboBox::NoInsert);
    QFont listFont = bold;
    listFont.setPointSizeF(12);
    m_printerBox->setFont(listFont);
    m_printerBox->installEventFilter(this);
    if (m_printerBox->lineEdit())
        m_printerBox->lineEdit()->installEventFilter(this);

    auto *copiesLabel =
        place(new QLabel(QStringLiteral("Nr de exemplare")), this, twips(10320, 1680, 3255, 615));
    copiesLabel->setAlignment(Qt::AlignCenter);
    m_copies = centredBox(this, twips(11520, 2280, 735, 735));
    m_copies->setAccessibleName(QStringLiteral("Numarul de exemplare"));
    auto *headerLabel =
        place(new QLabel(QStringLiteral("Antet")), this, twips(4080, 4200, 2535, 375));
    headerLabel->setAlignment(Qt::AlignCenter);
    m_header = place(new QPlainTextEdit, this, twips(120, 4560, 10575, 1695));
    m_header->setAccessibleName(QStringLiteral("Antetul foii"));
    // The options stand in the free corner above "Print".
    m_numbered = place(new QCheckBox(QStringLiteral("Numeroteaza problemele")), this,
                       twips(8880, 3105, 4935, 435));
    m_sameWidth =
        place(new QCheckBox(QStringLiteral("Aceeasi latime")), this, twips(8880, 3555, 4935, 435));
    m_answerKey = place(new QCheckBox(QStringLiteral("Barem")), this, twips(8880, 4005, 4935, 435));
    // The versions stand under the file's name, left of the header's caption.
    auto *versionsLabel =
        place(new QLabel(QStringLiteral("&Variante")), this, twips(0, 3945, 1815, 495));
    m_versions = place(new QSpinBox, this, twips(1920, 3945, 975, 495));
    m_versions->setRange(1, 4);
    m_versions->setAccessibleName(QStringLiteral("Numarul variantelor testului"));
    m_versions->setToolTip(QStringLiteral(
        "Alt+V: cate variante diferite ale testului se tiparesc (1 - 4), pe rand, de la o banca "
        "la alta: A, B, C, D, A, ..."));
    versionsLabel->setBuddy(m_versions);
    versionsLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_print = place(new QPushButton(QStringLiteral("Print")), this, twips(10920, 4560, 2895, 735));
    m_ok = place(new QPushButton(QStringLiteral("Ok")), this, twips(10920, 5520, 2895, 735));

    nameControls({{this, "frmTipareste"},         {m_destination, "Frame1"},
                  {m_toPrinter, "Option2"},       {m_toFile, "Option1"},
                  {m_fileLabel, "Label3"},        {m_fileName, "Text2"},
                  {marginLabels[0], "Label4"},    {marginLabels[1], "Label5"},
                  {marginLabels[2], "Label6"},    {marginLabels[3], "Label7"},
                  {m_marginBoxes[0], "Text3"},    {m_marginBoxes[1], "Text4"},
                  {m_marginBoxes[2], "Text5"},    {m_marginBoxes[3], "Text6"},
                  {m_marginBars[0], "VScroll1"},  {m_marginBars[1], "VScroll2"},
                  {m_marginBars[2], "VScroll3"},  {m_marginBars[3], "VScroll4"},
                  {printerLabel, "Label2"},       {m_printerBox, "Combo1"},
                  {copiesLabel, "Label1"},        {m_copies, "Text1"},
                  {headerLabel, "Label8"},        {m_header, "Text7"},
                  {m_print, "Command2"},          {m_ok, "Command1"},
                  {m_format, "cmbFormat"},        {m_numbered, "chkNumerotare"},
                  {m_answerKey, "chkBarem"},      {m_sameWidth, "chkLatime"},
                  {versionsLabel, "lblVariante"}, {m_versions, "spnVariante"}});
}

void PrintDialog::toFileChosen()
{
    m_printerBox->setEnabled(false);
    m_fileLabel->show();
    m_fileName->show();
    m_format->show();
}

void PrintDialog::toPrinterChosen()
{
    m_printerBox->setEnabled(true);
    m_fileLabel->hide();
    m_fileName->hide();
    m_format->hide();
    m_print->setEnabled(true);
}

void PrintDialog::printerChosen(int index)
{
    if (m_printerBox->currentText().isEmpty()) {
        m_print->setEnabled(false);
        return;
    }
    const QString text = m_printerBox->currentText();
    for (const QString &name : m_platform.printerNames()) {
        if (name == text) {
            m_currentPrinter = name;
            break;
        }
    }
    m_print->setEnabled(true);
    if (index >= 0)
        m_printerBox->setEditText(m_printerBox->itemText(index));
}

bool PrintDialog::eventFilter(QObject *watched, QEvent *event)
{
    // A key released in the printer list moves on to the copies.
    if (event->type() == QEvent::KeyRelease)
        m_copies->setFocus();
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

SheetContent PrintDialog::content(const Margins &margins, const std::array<qint16, 10> &rows,
                                  const QString &version) const
{
    SheetContent content;
    content.margins = margins;
    content.header = m_header->toPlainText();
    content.version = version;
    content.options.numbered = m_numbered->isChecked();
    content.options.sameWidth = m_sameWidth->isChecked();
    content.options.answerKey = m_answerKey->isChecked();
    if (content.options.answerKey)
        content.key = answerKeyRows(m_state.collection, rows);
    for (int i = 0; i < CurrentTest::Size; ++i) {
        const int row = rows[i];
        content.pictureFiles.append(
            row >= Collection::FirstRow && row <= m_state.collection.lastProblemRow()
                ? problemPictureFile(m_state.folder, m_state.collection.ProblemTable[row].ImagePath)
                : QString());
    }
    return content;
}

QList<SheetContent> PrintDialog::versions(const Margins &margins)
{
    const int count = m_versions->value();
    if (count == 1)
        return {content(margins, m_state.test.TestProblems, QString())};
    const VersionsDrawn drawn =
        drawVersions(m_state.collection, m_state.definition, m_state.test.TestProblems, count - 1,
                     [this] { return m_platform.nextRandom(); });
    if (drawn.result.outcome != DrawResult::Drawn) {
        message(drawn.result.outcome == DrawResult::ChapterTooSmall
                    ? printmsg::ChapterTooSmallForVersions.arg(count).arg(
                          drawn.result.chapter.trimmedText())
                    : printmsg::TooFewForVersions.arg(count));
        return {};
    }
    QList<SheetContent> sheets = {content(margins, m_state.test.TestProblems, QStringLiteral("A"))};
    for (int v = 1; v < count; ++v)
        sheets.append(content(margins, drawn.versions[v - 1], QString(QChar(u'A' + v))));
    return sheets;
}

void PrintDialog::print()
{
    if (!m_state.watch.underWay())
        return; // no test to print
    if (m_toPrinter->isChecked()) {
        if (m_printerBox->currentText().isEmpty()) {
            message(printmsg::NoPrinter);
            return;
        }
        if (takeCopyCount())
            composeTestSheet(true);
        return;
    }
    if (m_fileName->text().isEmpty()) {
        message(printmsg::NoFileName);
        return;
    }
    if (!isAcceptableSheetName(m_fileName->text())) {
        message(printmsg::BadFileName);
        return;
    }
    if (m_fileName->text().trimmed().endsWith(QStringLiteral("-barem"), Qt::CaseInsensitive)) {
        message(printmsg::KeyName);
        return;
    }
    // A PDF holds a page per copy.
    if (isPdf() && !takeCopyCount())
        return;
    composeTestSheet(false);
}

bool PrintDialog::isPdf() const
{
    return m_format->currentText() == QStringLiteral("PDF");
}

bool PrintDialog::takeCopyCount()
{
    if (m_copies->text().isEmpty()) {
        message(printmsg::NoCopies);
        return false;
    }
    const Copies copies = parseCopies(m_copies->text(), QLocale::system());
    if (copies.status != Copies::Count) {
        message(copies.status == Copies::Zero ? printmsg::NothingToPrint : printmsg::BadCopies);
        return false;
    }
    if (copies.count < m_versions->value()) {
        message(printmsg::FewerCopiesThanVersions.arg(m_versions->value()));
        return false;
    }
    m_copyCount = static_cast<qint16>(copies.count);
    return true;
}

void PrintDialog::composeTestSheet(bool toPrinter)
{
    const std::optional<Margins> chosen = margins();
    if (!chosen) {
        message(printmsg::BadMargins);
        return;
    }
    const QList<SheetContent> sheets = versions(*chosen);
    if (sheets.isEmpty())
        return;
    BusyCursor busy;
    int unreadable = -1;
    int version = 0;

    if (toPrinter) {
        const QString name =
            m_currentPrinter.isEmpty() ? m_printerBox->currentText() : m_currentPrinter;
        std::unique_ptr<QPrinter> printer = m_platform.openPrinter(name);
        const bool printed =
            printer && printTestVersions(*printer, sheets, m_copyCount, &unreadable, &version);
        if (unreadable >= 0)
            unreadablePicture(sheets, version, unreadable);
        else if (!printed)
            message(printmsg::PrinterFailed.arg(name));
        return;
    }

    writeSheetFiles(sheets);
}

void PrintDialog::unreadablePicture(const QList<SheetContent> &sheets, int version, int position)
{
    const SheetContent &sheet = sheets.value(version);
    const QString file = QFileInfo(sheet.pictureFiles.value(position)).fileName();
    message(sheet.version.isEmpty()
                ? printmsg::PictureUnreadable.arg(position + 1).arg(file)
                : printmsg::PictureUnreadableInVersion.arg(position + 1).arg(file, sheet.version));
}

void PrintDialog::writeSheetFiles(const QList<SheetContent> &sheets)
{
    // A folder another computer holds now gets nothing more from this one.
    if (const StoreResult held = m_state.files.lockHeld(); !held.ok()) {
        message(printmsg::SheetNotWrittenLockLost(held.fileName));
        return;
    }
    const bool pdf = isPdf();
    const QString extension = pdf ? QStringLiteral(".pdf") : QStringLiteral(".jpg");
    const QString folder = m_state.folder.resolve(QStringLiteral("\\teste"));
    // Each version's sheet and key, as <name>-A.pdf and <name>-A-barem.pdf.
    QStringList files;
    QStringList keyFiles;
    for (const SheetContent &sheet : sheets) {
        QString name = QStringLiteral("\\teste\\") + m_fileName->text();
        if (!sheet.version.isEmpty())
            name += u'-' + sheet.version;
        files.append(m_state.folder.resolve(name + extension));
        keyFiles.append(m_state.folder.resolve(name + QStringLiteral("-barem") + extension));
    }
    const auto native = [](const QStringList &paths) {
        QStringList shown;
        for (const QString &path : paths)
            shown.append(QDir::toNativeSeparators(path));
        return shown.join(QStringLiteral(", "));
    };
    if (!QDir().mkpath(folder)) {
        message(printmsg::FileNotWritten.arg(native(files)));
        return;
    }
    // A set whose writing was cut short is put in place first.
    (void)finishInterruptedSave(folder);
    const bool withKey = sheets.first().options.answerKey;
    const qsizetype count = sheets.size();
    // Each version's sheet and key; a PDF holds its share of the copies.
    QList<SheetFiles> made;
    int unreadable = -1;
    int version = 0;
    if (pdf)
        made = versionPdfs(sheets, m_copyCount, &unreadable, &version);
    for (qsizetype v = 0; !pdf && v < count && unreadable < 0; ++v) {
        version = int(v);
        SheetFiles &jpeg = made.emplace_back();
        jpeg.sheet = jpegOf(renderTestSheet(sheets[v], screenDotsPerInch(), &unreadable));
        if (withKey) {
            QImage key = renderAnswerKey(sheets[v], screenDotsPerInch());
            key.setText(QStringLiteral("Description"), kKeyMark);
            jpeg.key = jpegOf(key);
        }
    }
    if (unreadable >= 0) {
        unreadablePicture(sheets, version, unreadable);
        return;
    }
    AtomicWriteSet write;
    bool complete = true;
    for (qsizetype v = 0; v < count; ++v) {
        complete = complete && !made[v].sheet.isEmpty() && (!withKey || !made[v].key.isEmpty());
        write.add(files[v], QFileInfo(files[v]).fileName(), made[v].sheet);
        if (withKey)
            write.add(keyFiles[v], QFileInfo(keyFiles[v]).fileName(), made[v].key);
    }
    StoreResult written = StoreResult::failure(StoreError::CannotWrite, {});
    if (complete)
        written = write.commit();
    // A set is new on the disk; its renames are finished now.
    if (written.error == StoreError::SaveNotFinished)
        written = finishInterruptedSave(folder);
    if (!written.ok()) {
        if (count > 1)
            message(printmsg::SetNotWritten.arg(native(withKey ? files + keyFiles : files)));
        else if (withKey)
            message(printmsg::PairNotWritten.arg(native(files), native(keyFiles)));
        else
            message(printmsg::FileNotWritten.arg(native(files)));
        return;
    }
    // The keys of earlier sheets of these names no longer belong to them.
    QStringList removed;
    for (const QString &keyFile : keyFiles) {
        if (!withKey && QFileInfo::exists(keyFile) && isKeyWeMade(keyFile) &&
            QFile::remove(keyFile))
            removed.append(keyFile);
    }
    if (!removed.isEmpty())
        message(printmsg::SheetWrittenOldKeyRemoved.arg(native(files), native(removed)));
    playCue(m_platform, m_state.folder, cue::SetOk);
}

void PrintDialog::closeSteps()
{
    playCue(m_platform, m_state.folder, cue::CloseScreen);
    emit closed();
}

} // namespace culegere
