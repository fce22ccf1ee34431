// Renders every screen of the program, as a teacher and a pupil meet them,
// into PNG files for the documentation, and the first pages of a sheet and
// of its answer key saved as PDF (with pdftoppm, not compared):
//   culegere_screenshots SAMPLE_FOLDER OUTPUT_FOLDER [--compare REFERENCE_FOLDER]
// The program runs offscreen on a copy of SAMPLE_FOLDER (the sample
// collection), driven through its controls with scripted answers. With
// --compare, each picture is also compared with the one of the same name in
// REFERENCE_FOLDER, and the tool fails when they differ: the pictures in the
// documentation cannot drift from the program. Where the fonts or the Qt
// they were rendered with are missing, it says why and ends with 77 (CTest's
// skipped).
#include "shell/application.h"
#include "support/scripted_platform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVersionNumber>

#include <cstdio>

using namespace culegere;

namespace {

QWidget *screen(const char *name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name))
            return w;
    }
    qFatal("no screen %s", name);
}

template <typename T> T *control(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

void click(QWidget *parent, const char *name)
{
    control<QPushButton>(parent, name)->click();
}

void chooseLine(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// The line of `combo` that ends with `text`.
void chooseLine(QComboBox *combo, const QString &text)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).endsWith(text)) {
            chooseLine(combo, i);
            return;
        }
    }
    QStringList lines;
    for (int i = 0; i < combo->count(); ++i)
        lines.append(combo->itemText(i));
    qFatal("no line %s among %s", qPrintable(text), qPrintable(lines.join(u'|')));
}

bool copyFolder(const QString &from, const QString &to)
{
    bool ok = QDir().mkpath(to);
    const QDir root(QFileInfo(from).absoluteFilePath());
    QDirIterator it(root.path(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = root.relativeFilePath(source);
        if (relative == QLatin1String("Users.stn") || relative.startsWith(QLatin1String(".")))
            continue;
        const QString target = QDir(to).filePath(relative);
        ok = QDir().mkpath(QFileInfo(target).absolutePath()) && QFile::copy(source, target) && ok;
    }
    return ok;
}

// Differ: another size, or more than 1 % of the pixels visibly changed.
bool differs(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return true;
    qint64 changed = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            changed += qAbs(qRed(p) - qRed(q)) > 48 || qAbs(qGreen(p) - qGreen(q)) > 48 ||
                               qAbs(qBlue(p) - qBlue(q)) > 48
                           ? 1
                           : 0;
        }
    }
    return changed * 100 > qint64(a.width()) * a.height();
}

// The pictures in docs/screenshots were rendered offscreen with the DejaVu
// fonts (fonts-dejavu-core) and Qt 6.4 of Debian 12; rendered with other
// fonts or another Qt they differ in every line of text. Why they cannot be
// compared here, or "" when they can.
QString whyNotComparable()
{
    for (const char *family : {"DejaVu Sans", "DejaVu Serif"}) {
        if (!QFontDatabase::hasFamily(QLatin1String(family)))
            return QStringLiteral("the font %1 is missing (fonts-dejavu-core)")
                .arg(QLatin1String(family));
    }
    const QString used = QFontInfo(QApplication::font()).family();
    if (used != QLatin1String("DejaVu Sans"))
        return QStringLiteral("the screens are drawn in %1, not DejaVu Sans").arg(used);
    const QVersionNumber qt = QVersionNumber::fromString(QLatin1String(qVersion()));
    if (qt.majorVersion() != 6 || qt.minorVersion() != 4)
        return QStringLiteral("this is Qt %1, the pictures were rendered with Qt 6.4")
            .arg(qt.toString());
    return {};
}

// The first page of `pdf` as <name>.png in `output`, 60 dots per inch
// (poppler's pdftoppm); false without it.
bool pdfPicture(const QString &pdf, const QString &output, const QString &name)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    return !tool.isEmpty() &&
           QProcess::execute(tool,
                             {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-f"),
                              QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                              QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
                              QDir(output).filePath(name)}) == 0;
}

class Shots
{
public:
    explicit Shots(const QString &output) : m_output(output) { QDir().mkpath(output); }

    void take(QWidget *widget, const QString &name)
    {
        QApplication::processEvents();
        const QImage image = widget->grab().toImage();
        if (!image.save(QDir(m_output).filePath(name + QStringLiteral(".png"))))
            qFatal("cannot write %s", qPrintable(name));
        m_names.append(name);
    }
    QStringList names() const { return m_names; }

private:
    QString m_output;
    QStringList m_names;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3 && !(args.size() == 5 && args.at(3) == QLatin1String("--compare"))) {
        std::fprintf(stderr, "use: %s SAMPLE_FOLDER OUTPUT_FOLDER [--compare REFERENCE_FOLDER]\n",
                     argv[0]);
        return 2;
    }
    const bool compare = args.size() == 5;
    if (const QString why = whyNotComparable(); compare && !why.isEmpty()) {
        std::printf("SKIP: the screens cannot be compared with the pictures: %s\n",
                    qPrintable(why));
        return 77;
    }
    QTemporaryDir work;
    const QString folder = work.filePath(QStringLiteral("Culegere"));
    if (!work.isValid() || !copyFolder(args.at(1), folder)) {
        std::fprintf(stderr, "cannot copy the sample collection\n");
        return 1;
    }

    test::ScriptedPlatform platform;
    platform.printers = {QStringLiteral("Imprimanta clasei")};
    Application program(folder, platform);
    if (!program.start())
        return 1;
    QWidget *main = program.mainScreen();
    main->resize(1024, 740);
    Shots shots(args.at(2));
    shots.take(main, QStringLiteral("ecran-principal"));

    // A test of chapters, as a teacher defines it.
    click(main, "btnDefTest");
    QWidget *definition = screen("frmDefTest");
    control<QRadioButton>(definition, "Option2")->click();
    auto *chapters = control<QComboBox>(definition, "Combo1");
    const std::pair<QString, int> chosen[] = {{QStringLiteral("--Fractii"), 4},
                                              {QStringLiteral("--Ecuatii"), 5}};
    for (const auto &[line, count] : chosen) {
        chooseLine(chapters, line);
        control<QScrollBar>(definition, "HScroll1")->setValue(count);
        click(definition, "Command2");
    }
    shots.take(definition, QStringLiteral("definire-test"));
    click(definition, "Command1");
    click(definition, "Command3");

    // A pupil answers, then corrects.
    platform.textAnswers.push_back(QStringLiteral("Popescu Ana"));
    click(main, "Command5");
    for (int i = 0; i < 40; ++i)
        platform.randoms.push_back((i * 37 % 100) / 100.0);
    click(main, "Command4");
    control<QRadioButton>(main, "Option1_2")->click();
    shots.take(main, QStringLiteral("test-in-desfasurare"));
    for (int p = 0; p < 9; ++p) {
        control<QRadioButton>(main, QStringLiteral("Option1_%1").arg(p % 5).toLatin1())->click();
        click(main, "Command1");
    }
    click(main, "Command3");
    shots.take(main, QStringLiteral("test-corectat"));

    // The printed sheet of that test, and its dialog.
    main->findChild<QAction *>(QStringLiteral("mnuPrint"))->trigger();
    QWidget *print = screen("frmTipareste");
    chooseLine(control<QComboBox>(print, "Combo1"), 0);
    control<QPlainTextEdit>(print, "Text7")
        ->setPlainText(
            QStringLiteral("Test de evaluare - clasa a V-a\nNume si prenume: ..........."));
    // To a PDF, numbered, with the answer key.
    control<QRadioButton>(print, "Option1")->click();
    control<QLineEdit>(print, "Text2")->setText(QStringLiteral("clasa5"));
    chooseLine(control<QComboBox>(print, "cmbFormat"), QStringLiteral("PDF"));
    control<QCheckBox>(print, "chkNumerotare")->setChecked(true);
    control<QCheckBox>(print, "chkBarem")->setChecked(true);
    shots.take(print, QStringLiteral("tiparire"));
    click(print, "Command2");
    const QDir sheets(QDir(folder).filePath(QStringLiteral("teste")));
    if (!compare && !(pdfPicture(sheets.filePath(QStringLiteral("clasa5.pdf")), args.at(2),
                                 QStringLiteral("foaie-pdf")) &&
                      pdfPicture(sheets.filePath(QStringLiteral("clasa5-barem.pdf")), args.at(2),
                                 QStringLiteral("barem-pdf"))))
        std::fprintf(stderr, "the PDF pages were not rendered: pdftoppm (poppler-utils) is missing "
                             "or failed\n");
    // The same test in three versions, for the help's page on printing
    // (docs/help holds a copy of this picture).
    control<QSpinBox>(print, "spnVariante")->setValue(3);
    control<QLineEdit>(print, "Text1")->setText(QStringLiteral("30"));
    shots.take(print, QStringLiteral("tiparire-variante"));
    click(print, "Command1");

    click(main, "Command6");
    main->findChild<QAction *>(QStringLiteral("mnuRezultate"))->trigger();
    shots.take(screen("frmRezultate"), QStringLiteral("rezultate"));
    click(screen("frmRezultate"), "btnArhiva");
    shots.take(screen("frmArhiva"), QStringLiteral("arhiva"));
    click(screen("frmArhiva"), "btnOk");
    click(screen("frmRezultate"), "Command1");

    main->findChild<QAction *>(QStringLiteral("mnuRezolva"))->trigger();
    QWidget *browser = screen("frmRezolva");
    chooseLine(control<QComboBox>(browser, "Combo1"), QStringLiteral("Geometrie"));
    click(browser, "Command5");
    click(browser, "Command2");
    shots.take(browser, QStringLiteral("vizualizare-probleme"));
    click(browser, "Command6");

    main->findChild<QAction *>(QStringLiteral("mnuAddCap"))->trigger();
    shots.take(screen("frmAddCap"), QStringLiteral("capitole"));
    click(screen("frmAddCap"), "Command3");

    main->findChild<QAction *>(QStringLiteral("mnuSeteazaProbl"))->trigger();
    platform.textAnswers.push_back(QStringLiteral("00012"));
    click(screen("frmSetProblema"), "Command1");
    shots.take(screen("frmSetProblema"), QStringLiteral("seteaza-problema"));
    click(screen("frmSetProblema"), "Command3");

    main->findChild<QAction *>(QStringLiteral("mnuDespre"))->trigger();
    shots.take(screen("frmDespre"), QStringLiteral("despre"));

    if (compare) {
        int failures = 0;
        for (const QString &name : shots.names()) {
            const QString file = name + QStringLiteral(".png");
            if (differs(QImage(QDir(args.at(2)).filePath(file)),
                        QImage(QDir(args.at(4)).filePath(file)))) {
                std::fprintf(
                    stderr,
                    "%s differs from the documentation's picture; run scripts/screenshots.sh\n",
                    qPrintable(file));
                ++failures;
            }
        }
        return failures == 0 ? 0 : 1;
    }
    return 0;
}
