// The print dialog as a teacher uses it: its first state, the choices it
// keeps, the checks and their messages, the sheet and its key in a file or
// on a printer.
#include "support/driver.h"
#include "support/program_output.h"
#include "support/small_disk.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>

#include <set>

using namespace culegere;
using test::Driver;

namespace {

const QString kDialog = QStringLiteral("frmTipareste");

// A PDF printer that remembers, when released, how many copies it was asked for.
class RecordingPrinter : public QPrinter
{
public:
    RecordingPrinter(const QString &pdf, int *copies)
        : QPrinter(QPrinter::HighResolution), m_copies(copies)
    {
        setOutputFormat(QPrinter::PdfFormat);
        setOutputFileName(pdf);
        setPageSize(QPageSize(QPageSize::Letter)); // its paper unless told otherwise
    }
    ~RecordingPrinter() override { *m_copies = copyCount(); }

private:
    int *m_copies;
};

QLineEdit *box(const QString &name)
{
    return Driver::control<QLineEdit>(kDialog, name);
}

QString header()
{
    return Driver::control<QPlainTextEdit>(kDialog, "Text7")->toPlainText();
}

void typeHeader(const QString &text)
{
    auto *edit = Driver::control<QPlainTextEdit>(kDialog, "Text7");
    QApplication::setActiveWindow(edit->window());
    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(edit, text);
}

// Chapters A, B of `a`, `b` problems, two reserved; problem i answers i % 5.
Collection collectionOf(int a, int b)
{
    Collection c;
    int index = 1;
    for (const auto &[name, count] :
         QList<QPair<QByteArray, int>>{{"A", a}, {"B", b}, {"Benzi de completare", 2}}) {
        test::addChapter(c, name, qint16(count));
        for (int i = 0; i < count; ++i, ++index)
            test::addProblem(c, name, test::pictureIndex(index), qint16(index % 5));
    }
    return c;
}

// A test drawn from the whole collection (or per chapter, as `perChapter`
// asks), the dialog opened; the printers "Birou" and "Laborator" write
// PDFs into the folder.
struct Printing
{
    Driver d;
    int copiesPrinted = -1;
    QStringList printersOpened;
    QStringList drawn;         // the picture indexes of the test, in its order
    QCursor *cursor = nullptr; // the application's while a printer is opened

    explicit Printing(const Collection &collection = test::sampleCollection(),
                      const QList<QPair<QString, int>> &perChapter = {})
        : d(collection)
    {
        for (int i = 1; i <= 9; ++i)
            d.folder().addPicture(test::pictureIndex(i), {300, 80}, Qt::darkBlue);
        d.platform.printers = {"Birou", "Laborator"};
        d.platform.printerFactory = [this](const QString &name) -> std::unique_ptr<QPrinter> {
            printersOpened.append(name);
            cursor = QApplication::overrideCursor();
            if (!d.platform.printers.contains(name))
                return nullptr;
            return std::make_unique<RecordingPrinter>(d.folder().filePath(name + ".pdf"),
                                                      &copiesPrinted);
        };
        d.startOrFail();
        if (perChapter.isEmpty())
            d.defineWholeCollection();
        else
            d.definePerChapter(perChapter);
        d.draw();
        for (int i = 0; i < 9; ++i) {
            drawn.append(test::pictureIndex(d.shownIndex()));
            d.press("Command1"); // "-->"
        }
        d.platform.clear();
        d.chooseMenu("mnuPrint");
    }
    void print()
    {
        d.platform.clear();
        Driver::press(kDialog, "Command2");
    }
    void toFile(const QString &name, const QString &format)
    {
        STEP(Driver::press(kDialog, "Option1"));
        STEP(Driver::type(kDialog, "Text2", name));
        Driver::chooseLine(kDialog, "cmbFormat", format);
    }
    QString file(const QString &name) { return d.folder().filePath("teste/" + name); }
};

} // namespace

class TstPrintDialog : public QObject
{
    Q_OBJECT

private slots:
    void firstStateAndTheChoicesKept()
    {
        Printing p;
        QVERIFY(Driver::screen(kDialog)->isVisible() && !p.d.main()->isVisible());
        QCOMPARE(p.d.platform.cueNames(), QStringList{"incarca.wav"});
        QVERIFY(Driver::control<QRadioButton>(kDialog, "Option2")->isChecked());
        auto *printers = Driver::control<QComboBox>(kDialog, "Combo1");
        QCOMPARE(test::lines(printers), (QStringList{"Birou", "Laborator"}));
        QVERIFY(printers->currentText().isEmpty() && printers->isEnabled());
        QCOMPARE(QStringList({box("Text1")->text(), box("Text3")->text(), box("Text4")->text(),
                              box("Text5")->text(), box("Text6")->text()}),
                 QStringList({"1", "2", "2", "1", "1"}));
        QVERIFY(header().isEmpty());
        QCOMPARE(Driver::control<QSpinBox>(kDialog, "spnVariante")->value(), 1);
        for (const char *option : {"chkNumerotare", "chkBarem", "chkLatime"}) {
            auto *check = Driver::control<QCheckBox>(kDialog, option);
            QVERIFY(check->isVisible() && !check->isChecked());
        }
        auto *format = Driver::control<QComboBox>(kDialog, "cmbFormat");
        for (bool toFile : {true, false}) {
            Driver::press(kDialog, toFile ? "Option1" : "Option2");
            QCOMPARE(printers->isEnabled(), !toFile);
            QCOMPARE(box("Text2")->isVisible(), toFile);
            QCOMPARE(Driver::control<QLabel>(kDialog, "Label3")->isVisible(), toFile);
            QCOMPARE(format->isVisible(), toFile);
            QVERIFY(Driver::control<QWidget>(kDialog, "Command2")->isEnabled());
        }
        QCOMPARE(test::lines(format), (QStringList{"JPEG", "PDF"}));
        QCOMPARE(format->currentText(), QString("JPEG"));

        // "Ok" keeps every choice, the frame's close forgets them. Chosen
        // with the mouse, the printer keeps the keyboard; a key in its list
        // moves on to the copies.
        Driver::chooseLine(kDialog, "Combo1", "Laborator");
        QVERIFY(Driver::screen(kDialog)->focusWidget() != box("Text1"));
        Driver::pressKey(Driver::control<QComboBox>(kDialog, "Combo1"), Qt::Key_Right);
        QCOMPARE(Driver::screen(kDialog)->focusWidget(), box("Text1"));
        Driver::type(kDialog, "Text1", "3");
        Driver::scrollTo(Driver::control<QScrollBar>(kDialog, "VScroll1"), 25);
        Driver::scrollTo(Driver::control<QScrollBar>(kDialog, "VScroll4"), 31);
        QCOMPARE(box("Text3")->text() + ' ' + box("Text6")->text(), QString("1.5 0.9"));
        typeHeader("Clasa a VI-a");
        p.d.platform.clear();
        Driver::press(kDialog, "Command1");
        QVERIFY(!Driver::screen(kDialog)->isVisible() && p.d.main()->isVisible());
        QCOMPARE(p.d.platform.cueNames(), QStringList{"exitform.wav"});

        p.d.platform.clear();
        p.d.chooseMenu("mnuPrint");
        QVERIFY(p.d.platform.cues.isEmpty()); // shown again, not loaded
        QCOMPARE(Driver::control<QComboBox>(kDialog, "Combo1")->currentText(),
                 QString("Laborator"));
        QCOMPARE(box("Text1")->text() + ' ' + box("Text3")->text(), QString("3 1.5"));
        QCOMPARE(header(), QString("Clasa a VI-a"));

        Driver::closeFromFrame(kDialog);
        QVERIFY(p.d.main()->isVisible());
        QTRY_VERIFY(!Driver::screen(kDialog));
        p.d.chooseMenu("mnuPrint");
        QVERIFY(Driver::control<QComboBox>(kDialog, "Combo1")->currentText().isEmpty());
        QCOMPARE(box("Text3")->text(), QString("2"));
        QVERIFY(header().isEmpty());
    }

    // "Tipareste" to a printer or to a JPEG named "test1": the checks'
    // messages before anything is written, a printer or a file that fails
    // named, the copies a printer is asked for (3.5 prints 4) on A4.
    void print_data()
    {
        QTest::addColumn<QString>("printer"); // "": none chosen; "file": to the file
        QTest::addColumn<QString>("text");    // the copies, or the file's name
        QTest::addColumn<QString>("margin");  // left and right
        QTest::addColumn<bool>("trouble");    // the printer gone; a file where "teste" goes
        QTest::addColumn<QString>("message"); // how it begins; "" for a printed sheet
        QTest::addColumn<int>("printed");
        const struct
        {
            const char *row, *printer, *text, *margin;
            bool trouble;
            const char *message;
            int printed;
        } rows[] = {
            {"no printer", "", "1", "2", false, "Nu ati ales imprimanta!....", -1},
            {"no copies", "Birou", "", "2", false,
             "Nu ati definit numarul exemplarelor de tiparit!....", -1},
            {"zero copies", "Birou", "0", "2", false, "Nu avem nimic de tiparit!...", -1},
            {"not a number", "Birou", "doua", "2", false,
             "Numarul exemplarelor trebuie sa fie un numar intreg intre 1 si 999!...", -1},
            {"3.5 prints 4", "Laborator", "3.5", "2", false, "", 4},
            {"a printer gone", "Birou", "1", "2", true,
             "Imprimanta Birou nu a putut tipari testul!...", -1},
            {"no file name", "file", "", "2", false, "Nu ati definit numele fisierului!...", -1},
            {"a folder in the name", "file", "../test1", "2", false,
             "Numele fisierului nu poate contine caracterele \\ / : * ? \" < > | si nici "
             "\"..\"!...",
             -1},
            {"margins wider than the page", "file", "test1", "11", false,
             "Marginile trebuie sa fie numere de centimetri", -1},
            {"a file where the folder should be", "file", "test1", "2", true, "Fisierul ", -1},
        };
        for (const auto &r : rows) {
            QTest::newRow(r.row) << QString(r.printer) << QString(r.text) << QString(r.margin)
                                 << r.trouble << QString(r.message) << r.printed;
        }
    }
    void print()
    {
        QFETCH(QString, printer);
        QFETCH(QString, text);
        QFETCH(QString, margin);
        QFETCH(bool, trouble);
        QFETCH(QString, message);
        QFETCH(int, printed);
        Printing p;
        const bool toFile = printer == "file";
        if (toFile && trouble)
            p.d.folder().write("teste", "a file where the folder should be");
        if (toFile)
            STEP(p.toFile(text, "JPEG"));
        if (!toFile && !printer.isEmpty())
            Driver::chooseLine(kDialog, "Combo1", printer);
        if (!toFile && trouble)
            p.d.platform.printers.removeAll(printer);
        if (!toFile)
            Driver::type(kDialog, "Text1", text);
        Driver::type(kDialog, "Text3", margin);
        Driver::type(kDialog, "Text4", margin);
        p.print();
        const QString shown = p.d.platform.messageTexts().join('|');
        QVERIFY2(message.isEmpty() ? shown.isEmpty() : shown.startsWith(message),
                 qPrintable(shown));
        QCOMPARE(p.d.platform.messages.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(p.copiesPrinted, printed);
        QVERIFY(p.d.platform.cues.isEmpty()); // no cue after printing
        QCOMPARE(p.d.folder().exists("teste"), trouble && toFile);
        QVERIFY(!trouble || !toFile || shown.contains("test1.jpg"));
        if (printed > 0) {
            QVERIFY(p.cursor && p.cursor->shape() == Qt::WaitCursor &&
                    !QApplication::overrideCursor());
            QCOMPARE(p.printersOpened, QStringList{printer});
            const QString pdf = p.d.folder().filePath(printer + ".pdf");
            const QString images = test::programOutput("pdfimages", {"-list", pdf}); // all nine
            QVERIFY2(images.isEmpty() || images.count(" image ") == 9, qPrintable(images));
            const QString info = test::programOutput("pdfinfo", {pdf}); // printed on A4
            QVERIFY2(info.isEmpty() ||
                         info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12]")),
                     qPrintable(info));
        }
    }

    // A JPEG of the page in "teste", made when missing; every choice of the
    // dialog reaches the sheet; the key, when asked for, stands beside it.
    void sheetAsJpeg()
    {
        Printing p;
        STEP(p.toFile("clasa7", "JPEG"));
        auto printed = [&p] {
            p.print();
            QImageReader reader(p.file("clasa7.jpg"));
            return reader.format() == "jpeg" && reader.size() == QSize(794, 1123)
                       ? p.d.folder().read("teste/clasa7.jpg")
                       : QByteArray();
        };
        const QByteArray plain = printed();
        QVERIFY(!plain.isEmpty() && p.d.platform.messages.isEmpty());
        QCOMPARE(p.d.platform.cueNames(), QStringList{"setareok.wav"});
        // The margins move the problems' block: left and right 0, top 3 cm
        // (the block 2.5 cm under it), the first problem's row across the page.
        for (const char *margin : {"Text3", "Text4", "Text5"})
            Driver::type(kDialog, margin, margin == QString("Text5") ? "3" : "0");
        printed();
        const QImage moved(p.file("clasa7.jpg"));
        for (int x : {2, 740})
            QVERIFY2(qBlue(moved.pixel(x, 215)) > 80 && qRed(moved.pixel(x, 215)) < 60,
                     qPrintable(QString::number(x)));
        QCOMPARE(QColor(moved.pixel(2, 200)), QColor(Qt::white));
        for (const char *margin : {"Text3", "Text4", "Text5"})
            Driver::type(kDialog, margin, margin == QString("Text5") ? "1" : "2");
        for (const char *option : {"chkNumerotare", "chkLatime"}) {
            Driver::press(kDialog, option);
            QVERIFY2(printed() != plain, option);
            Driver::press(kDialog, option);
        }
        typeHeader("Test");
        const QByteArray withHeader = printed();
        QVERIFY(withHeader != plain);
        Driver::type(kDialog, "Text6", "3"); // the bottom margin
        const QByteArray last = printed();
        QVERIFY(last != withHeader);
        QVERIFY(!QFile::exists(p.file("clasa7-barem.jpg")));
        Driver::press(kDialog, "chkBarem");
        QCOMPARE(printed(), last);
        QCOMPARE(QImageReader(p.file("clasa7-barem.jpg")).size(), QSize(794, 1123));
    }

    // A sheet file and its key are one pair: written together or not at
    // all; a sheet without the key takes away the key the program made for
    // an earlier sheet of that name (never another file); a name ending in
    // "-barem" and a picture that cannot be read make nothing.
    void sheetAndKeyOnePair_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("trouble"); // "full", "foreign key", "picture", ""
        QTest::addColumn<QString>("message"); // how it begins
        const char *rows[][4] = {
            {"an earlier key removed", "x", "", "Foaia a fost scrisa in "},
            {"another file kept", "x", "foreign key", ""},
            {"the disk full", "x", "full", "Foaia "},
            {"a key's name", "x-Barem", "", "Numele fisierului nu se poate"},
            {"a picture damaged", "x", "picture", "Imaginea problemei 3 a testului"}};
        for (const auto &r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]) << QString(r[3]);
    }
    void sheetAndKeyOnePair()
    {
        QFETCH(QString, name);
        QFETCH(QString, trouble);
        QFETCH(QString, message);
        Printing p;
        STEP(p.toFile("x", "JPEG"));
        Driver::press(kDialog, "chkBarem");
        p.print(); // the pair of an earlier "x"
        const test::FolderBytes before = test::folderBytes(p.d.folder().filePath("teste"));
        QCOMPARE(before.keys(), (QStringList{"x-barem.jpg", "x.jpg"}));
        std::optional<test::SmallDisk> disk;
        if (trouble == "full") {
            disk.emplace(p.d.folder().filePath("teste"), 2);
            if (!disk->problem().isEmpty())
                QSKIP(qPrintable(disk->problem()));
            QVERIFY(disk->fill());
        } else {
            Driver::press(kDialog, "chkBarem");
        }
        if (trouble == "foreign key")
            p.d.folder().write("teste/x-barem.jpg", "the teacher's own");
        if (trouble == "picture")
            p.d.folder().write("probleme/probl" + p.drawn[2] + ".jpg", "damaged");
        STEP(Driver::type(kDialog, "Text2", name));
        p.print();
        const QString shown = p.d.platform.messageTexts().join('|');
        QVERIFY2(message.isEmpty() ? shown.isEmpty() : shown.startsWith(message),
                 qPrintable(shown));
        test::FolderBytes after = test::folderBytes(p.d.folder().filePath("teste"));
        after.remove(test::SmallDisk::Filler);
        if (trouble == "foreign key")
            QCOMPARE(after.value("x-barem.jpg"), QByteArray("the teacher's own"));
        else if (message.startsWith("Foaia a fost"))
            QCOMPARE(after.keys(), QStringList{"x.jpg"});
        else
            QCOMPARE(after, before);
        QVERIFY(trouble != "picture" || shown.contains("probl" + p.drawn[2] + ".jpg"));
    }

    // A PDF of two copies with numbers and its key beside it; the key lists
    // the test's problems in its order with their letters.
    void pdfWithTheKey()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty() ||
            QStandardPaths::findExecutable("pdfinfo").isEmpty())
            QSKIP("pdftotext and pdfinfo read the PDF: install poppler-utils");
        Printing p;
        STEP(p.toFile("clasa6", "PDF"));
        Driver::press(kDialog, "chkNumerotare");
        Driver::press(kDialog, "chkBarem");
        Driver::type(kDialog, "Text1", "2"); // a page per copy
        typeHeader("Lucrare de control");
        p.print();
        QVERIFY2(p.d.platform.messages.isEmpty(),
                 qPrintable(p.d.platform.messageTexts().join('|')));
        QCOMPARE(p.d.platform.cueNames(), QStringList{"setareok.wav"});
        QVERIFY(!QFile::exists(p.file("clasa6.jpg")));

        const QString sheet = p.file("clasa6.pdf");
        QVERIFY(
            test::programOutput("pdfinfo", {sheet}).contains(QRegularExpression("Pages:\\s+2\\n")));
        QVERIFY(test::programOutput("pdftotext", {sheet, "-"}).contains("Lucrare de control"));

        const QString key = p.file("clasa6-barem.pdf");
        QVERIFY(
            test::programOutput("pdfinfo", {key}).contains(QRegularExpression("Pages:\\s+1\\n")));
        const QString keyText = test::programOutput("pdftotext", {"-layout", key, "-"});
        QVERIFY(keyText.contains("Lucrare de control"));
        qsizetype from = 0;
        for (int i = 0; i < 9; ++i) {
            const QString letter(QChar(u'a' + p.drawn[i].toInt() % 5));
            const QRegularExpression row(
                QString("\\b%1\\.\\s+%2\\s+[AB]\\s+%3\\b").arg(i + 1).arg(p.drawn[i], letter));
            const QRegularExpressionMatch found = row.match(keyText, from);
            QVERIFY2(found.hasMatch(), qPrintable(row.pattern() + "\n" + keyText));
            from = found.capturedEnd();
        }
    }

    // Versions: A is the test on the screen, the others drawn as it was
    // defined, no problem in two; each sheet and key names its version; a
    // printer gets the sheets in desk order, a file a sheet and key per
    // version; too few problems or copies print nothing.
    void versions_data()
    {
        QTest::addColumn<int>("a");           // problems of A, beside 12 of B
        QTest::addColumn<bool>("perChapter"); // B 4 and A 5, else the whole collection
        QTest::addColumn<int>("versions");
        QTest::addColumn<QString>("output"); // the copies, then a printer, PDF or JPEG
        QTest::addColumn<QString>("shown");  // how the message begins, or each page's version
        QTest::newRow("17 problems") << 5 << false << 3 << "4 PDF"
                                     << "Colectia nu are destule";
        QTest::newRow("14 of A") << 14 << true << 3 << "4 Birou"
                                 << "Capitolul A nu are";
        QTest::newRow("fewer copies") << 15 << false << 4 << "3 Birou"
                                      << "Pentru 4 variante";
        QTest::newRow("a printer") << 15 << false << 3 << "4 Birou"
                                   << "ABCA";
        QTest::newRow("PDF: keys, sheets") << 15 << true << 3 << "4 PDF"
                                           << "ABCAABC";
        QTest::newRow("JPEG") << 15 << false << 2 << " JPEG"
                              << "";
    }
    void versions()
    {
        QFETCH(int, a);
        QFETCH(bool, perChapter);
        QFETCH(int, versions);
        QFETCH(QString, output);
        QFETCH(QString, shown);
        Printing p(collectionOf(a, 12), perChapter ? QList<QPair<QString, int>>{{"B", 4}, {"A", 5}}
                                                   : QList<QPair<QString, int>>{});
        const bool printer = output.endsWith("Birou");
        if (printer)
            Driver::chooseLine(kDialog, "Combo1", "Birou");
        else
            STEP(p.toFile("clasa", output.section(' ', 1)));
        Driver::type(kDialog, "Text1", output.section(' ', 0, 0));
        if (!printer) // on a printer the key's job would write over the sheets'
            Driver::press(kDialog, "chkBarem");
        Driver::accessKey(kDialog, 'V', false);
        auto *spin = Driver::control<QSpinBox>(kDialog, "spnVariante");
        QVERIFY(spin->hasFocus());
        for (int v = 1; v < versions; ++v)
            Driver::pressKey(spin, Qt::Key_Up);
        p.print();
        const QString said = p.d.platform.messageTexts().join('|');
        const bool refused = shown.contains(' '); // and nothing made
        QVERIFY2(refused ? said.startsWith(shown) && !p.d.folder().exists("teste") &&
                               p.printersOpened.isEmpty()
                         : said.isEmpty(),
                 qPrintable(said));
        auto pagesOf = [](const QString &pdf, const QStringList &options = {}) {
            return test::programOutput("pdftotext", options + QStringList{pdf, "-"})
                .split('\f', Qt::SkipEmptyParts);
        };
        // Each page's text: on a printer, the sheets in order; in files, the keys, then the sheets.
        QStringList pages = printer ? pagesOf(p.d.folder().filePath("Birou.pdf")) : QStringList();
        QCOMPARE(p.copiesPrinted, printer && shown == "ABCA" ? 1 : -1); // the pages, each once
        for (int v = 0; v < versions && !printer && !refused; ++v) {
            const QString name = p.file(QString("clasa-") + QChar('A' + v));
            for (const QString &file : {name + ".jpg", name + "-barem.jpg"})
                QVERIFY(output != " JPEG" || QImageReader(file).size() == QSize(794, 1123));
            if (output.endsWith("PDF")) {
                pages += pagesOf(name + ".pdf");
                pages.insert(v, pagesOf(name + "-barem.pdf", {"-layout"}).value(0));
            }
        }
        QVERIFY(!QFile::exists(p.file("clasa.pdf")) && !QFile::exists(p.file("clasa.jpg")));
        QCOMPARE(pages.size(), refused ? 0 : shown.size());
        for (int i = 0; i < pages.size(); ++i)
            QVERIFY2(pages[i].contains(QString("Varianta ") + shown[i]), qPrintable(pages[i]));
        // Each key: its version's problems (A's the test's), their letters.
        std::set<QString> seen;
        static const QRegularExpression row("(\\d)\\.\\s+(\\d{5})\\s+([AB])\\s+([a-e])\\b");
        for (int v = 0; v < versions && output.endsWith("PDF") && !pages.isEmpty(); ++v) {
            QStringList indexes;
            for (const QRegularExpressionMatch &m : row.globalMatch(pages[v])) {
                QCOMPARE(m.captured(4), QString(QChar('a' + m.captured(2).toInt() % 5)));
                QVERIFY(seen.insert(m.captured(2)).second);
                indexes.append(m.captured(2));
            }
            QVERIFY(indexes.size() == 9 && (v > 0 || indexes == p.drawn));
        }
    }
};

QTEST_MAIN(TstPrintDialog)
#include "tst_print_dialog.moc"
