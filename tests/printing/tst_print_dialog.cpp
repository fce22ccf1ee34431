// The print dialog driven through its controls: defaults, kept choices, the
// checks and their messages, the margin bars, file and printer output.
#include "support/program_output.h"
#include "support/running_app.h"
#include "support/user_input.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

using namespace culegere;
using test::child;
using test::topLevel;

namespace {

// A PDF printer that remembers, when released, how many copies it was asked for.
class RecordingPrinter : public QPrinter
{
public:
    RecordingPrinter(const QString &pdf, int *copies)
        : QPrinter(QPrinter::HighResolution), m_copies(copies)
    {
        setOutputFormat(QPrinter::PdfFormat);
        setOutputFileName(pdf);
    }
    ~RecordingPrinter() override { *m_copies = copyCount(); }

private:
    int *m_copies;
};

// Twelve problems; the answer of problem i is letter i % 5 ("a" to "e").
Collection catalogue()
{
    Collection c;
    test::addChapter(c, "Algebra", 12);
    for (int i = 1; i <= 12; ++i)
        test::addProblem(c, "Algebra", test::pictureIndex(i), qint16(i % 5));
    return c;
}

struct Printing : test::RunningApp
{
    int copiesPrinted = -1;
    QStringList printersOpened;
    QStringList drawn; // the picture indexes of the test, in its order

    Printing() : RunningApp(catalogue())
    {
        for (int i = 1; i <= 12; ++i)
            dir.addPicture(test::pictureIndex(i), {300, 80}, Qt::darkBlue);
        platform.printers = {"Birou", "Laborator"};
        platform.printerFactory = [this](const QString &name) -> std::unique_ptr<QPrinter> {
            printersOpened.append(name);
            if (!platform.printers.contains(name))
                return nullptr;
            return std::make_unique<RecordingPrinter>(dir.filePath(name + ".pdf"), &copiesPrinted);
        };
        control<QPushButton>("btnDefTest")->click();
        child<QPushButton>(topLevel("frmDefTest"), "Command1")->click();
        child<QPushButton>(topLevel("frmDefTest"), "Command3")->click();
        control<QPushButton>("Command4")->click();
        for (int i = 0; i < 9; ++i) {
            const QString shown = control<QWidget>("Picture1")->property("imagePath").toString();
            drawn.append(QFileInfo(shown).completeBaseName().mid(5));
            test::click(control<QPushButton>("Command1")); // "-->"
        }
        platform.clear();
        action("mnuPrint")->trigger();
    }
    QWidget *dialog() const { return topLevel("frmTipareste"); }
    template <typename T> T *get(const QString &name) const { return child<T>(dialog(), name); }
    QLineEdit *box(const QString &name) const { return get<QLineEdit>(name); }
    void choosePrinter(int index) { test::chooseLine(get<QComboBox>("Combo1"), index); }
    void print()
    {
        platform.clear();
        get<QPushButton>("Command2")->click();
    }
    void toFile(const QString &name, int format)
    {
        test::click(get<QRadioButton>("Option1"));
        QTest::keyClicks(box("Text2"), name);
        test::chooseLine(get<QComboBox>("cmbFormat"), format);
    }
};

} // namespace

class TstPrintDialog : public QObject
{
    Q_OBJECT

private slots:
    void defaultsAtOpening()
    {
        Printing p;
        QVERIFY(p.dialog()->isVisible());
        QVERIFY(!p.main()->isVisible());
        QCOMPARE(p.dialog()->windowTitle(), QString("Tipareste"));
        QCOMPARE(p.dialog()->size(), QSize(927, 426)); // 13905 x 6390 twips
        QCOMPARE(p.dialog()->minimumSize(), p.dialog()->maximumSize());
        QCOMPARE(p.platform.cueNames(), QStringList{"incarca.wav"});
        QVERIFY(p.get<QRadioButton>("Option2")->isChecked());
        auto *combo = p.get<QComboBox>("Combo1");
        QCOMPARE(combo->count(), 2);
        QVERIFY(combo->currentText().isEmpty());
        QVERIFY(combo->isEnabled());
        QCOMPARE(p.box("Text1")->text(), QString("1"));
        QCOMPARE(QStringList({p.box("Text3")->text(), p.box("Text4")->text(),
                              p.box("Text5")->text(), p.box("Text6")->text()}),
                 QStringList({"2", "2", "1", "1"}));
        QVERIFY(!p.box("Text2")->isVisible());
        QVERIFY(!p.get<QLabel>("Label3")->isVisible());
        QVERIFY(p.get<QPlainTextEdit>("Text7")->toPlainText().isEmpty());
        QVERIFY(p.get<QPushButton>("Command2")->isEnabled());
        QCOMPARE(p.get<QPushButton>("Command2")->geometry(), QRect(728, 304, 193, 49));
        QCOMPARE(p.get<QScrollBar>("VScroll3")->value(), 30);
    }

    void optionsAtOpening()
    {
        Printing p;
        auto *format = p.get<QComboBox>("cmbFormat");
        QCOMPARE(format->currentText(), QString("JPEG"));
        QCOMPARE(format->count(), 2);
        QCOMPARE(format->itemText(1), QString("PDF"));
        QVERIFY(!format->isVisible()); // beside the file name, shown with it
        const QStringList captions = {"Numeroteaza problemele", "Barem", "Aceeasi latime"};
        const QStringList names = {"chkNumerotare", "chkBarem", "chkLatime"};
        for (int i = 0; i < 3; ++i) {
            auto *option = p.get<QCheckBox>(names[i]);
            QCOMPARE(option->text().remove('&'), captions[i]);
            QVERIFY(!option->isChecked());
            QVERIFY(option->isVisible());
            QVERIFY(p.dialog()->rect().contains(option->geometry()));
        }
        test::click(p.get<QRadioButton>("Option1"));
        QVERIFY(format->isVisible());
        QVERIFY(!format->geometry().intersects(p.box("Text2")->geometry()));
    }

    // A PDF of two copies with numbers and its key beside it; the key lists
    // the test's problems in its order with their letters.
    void pdfWithTheKey()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty() ||
            QStandardPaths::findExecutable("pdfinfo").isEmpty())
            QSKIP("pdftotext and pdfinfo read the PDF: install poppler-utils");
        Printing p;
        p.toFile("clasa6", 1);
        test::click(p.get<QCheckBox>("chkNumerotare"));
        test::click(p.get<QCheckBox>("chkBarem"));
        // A page per copy: the copies are checked as for a printer.
        p.box("Text1")->setText("0");
        p.print();
        QCOMPARE(p.platform.messageTexts(), QStringList{"Nu avem nimic de tiparit!..."});
        QVERIFY(!p.dir.exists("teste"));
        p.box("Text1")->setText("2");
        QTest::keyClicks(p.get<QPlainTextEdit>("Text7"), "Lucrare de control");
        p.platform.clear();
        test::click(p.get<QPushButton>("Command2"));
        QVERIFY2(p.platform.messages.isEmpty(), qPrintable(p.platform.messageTexts().join('|')));
        QCOMPARE(p.platform.cueNames(), QStringList{"setareok.wav"});
        QVERIFY(!p.dir.exists("teste/clasa6.jpg"));

        const QString sheet = p.dir.filePath("teste/clasa6.pdf");
        QVERIFY(
            test::programOutput("pdfinfo", {sheet}).contains(QRegularExpression("Pages:\\s+2\\n")));
        const QString sheetText = test::programOutput("pdftotext", {sheet, "-"});
        QVERIFY(sheetText.contains("Lucrare de control"));
        QVERIFY(sheetText.contains("9."));

        const QString key = p.dir.filePath("teste/clasa6-barem.pdf");
        QVERIFY(
            test::programOutput("pdfinfo", {key}).contains(QRegularExpression("Pages:\\s+1\\n")));
        const QString keyText = test::programOutput("pdftotext", {"-layout", key, "-"});
        QVERIFY(keyText.contains("Lucrare de control"));
        qsizetype from = 0;
        for (int i = 0; i < 9; ++i) {
            const QString letter(QChar(u'a' + p.drawn[i].toInt() % 5));
            const QRegularExpression row(
                QString("\\b%1\\.\\s+%2\\s+Algebra\\s+%3\\b").arg(i + 1).arg(p.drawn[i], letter));
            const QRegularExpressionMatch found = row.match(keyText, from);
            QVERIFY2(found.hasMatch(), qPrintable(row.pattern() + "\n" + keyText));
            from = found.capturedEnd();
        }
    }

    // The key as a JPEG beside the sheet; without the option, none. The
    // numbers in the sheet's left margin only with theirs.
    void jpegKeyBesideTheSheet()
    {
        Printing p;
        auto marginInk = [&p] {
            const QImage sheet(p.dir.filePath("teste/clasa7.jpg"), "JPEG");
            int dark = 0;
            for (int y = 132; y < 1080; ++y) {
                for (int x = 20; x < 68; ++x)
                    dark += qGray(sheet.pixel(x, y)) < 100 ? 1 : 0;
            }
            return dark;
        };
        p.toFile("clasa7", 0);
        test::click(p.get<QPushButton>("Command2"));
        QVERIFY(p.dir.exists("teste/clasa7.jpg"));
        QVERIFY(!p.dir.exists("teste/clasa7-barem.jpg"));
        QCOMPARE(marginInk(), 0);
        test::click(p.get<QCheckBox>("chkNumerotare"));
        test::click(p.get<QCheckBox>("chkBarem"));
        test::click(p.get<QPushButton>("Command2"));
        QVERIFY(marginInk() > 9 * 20);
        const QImage key(p.dir.filePath("teste/clasa7-barem.jpg"), "JPEG");
        QCOMPARE(key.size(), QSize(794, 1123));
        // The table's top line, from the problems' top-left corner on.
        int dark = 0;
        for (int x = 80; x < 700; ++x)
            dark += qGray(key.pixel(x, 132)) < 160 || qGray(key.pixel(x, 133)) < 160 ? 1 : 0;
        QVERIFY2(dark > 600, qPrintable(QString::number(dark)));
    }

    void okKeepsEveryChoiceAndFrameCloseForgets()
    {
        Printing p;
        p.choosePrinter(1);
        p.box("Text1")->setText("3");
        p.get<QScrollBar>("VScroll1")->setValue(25);
        p.get<QPlainTextEdit>("Text7")->setPlainText("Clasa a VI-a");
        p.platform.clear();
        p.get<QPushButton>("Command1")->click();
        QVERIFY(!p.dialog()->isVisible());
        QVERIFY(p.main()->isVisible());
        QCOMPARE(p.platform.cueNames(), QStringList{"exitform.wav"});

        p.platform.clear();
        p.action("mnuPrint")->trigger();
        QVERIFY(p.platform.cues.isEmpty()); // shown again, not loaded
        QCOMPARE(p.get<QComboBox>("Combo1")->currentText(), QString("Laborator"));
        QCOMPARE(p.box("Text1")->text(), QString("3"));
        QCOMPARE(p.box("Text3")->text(), QString("1.5"));
        QCOMPARE(p.get<QPlainTextEdit>("Text7")->toPlainText(), QString("Clasa a VI-a"));

        QVERIFY(p.dialog()->close());
        QVERIFY(p.main()->isVisible());
        QTRY_VERIFY(!p.dialog());
        p.action("mnuPrint")->trigger();
        QVERIFY(p.get<QComboBox>("Combo1")->currentText().isEmpty());
        QCOMPARE(p.box("Text3")->text(), QString("2"));
        QVERIFY(p.get<QPlainTextEdit>("Text7")->toPlainText().isEmpty());
    }

    void printerChecks_data()
    {
        QTest::addColumn<int>("printer"); // -1: none chosen
        QTest::addColumn<QString>("copies");
        QTest::addColumn<QString>("message"); // "" for a printed sheet
        QTest::addColumn<int>("printed");
        QTest::newRow("no printer, no copies") << -1 << ""
                                               << "Nu ati ales imprimanta!...." << -1;
        QTest::newRow("no copies") << 0 << ""
                                   << "Nu ati definit numarul exemplarelor de tiparit!...." << -1;
        QTest::newRow("zero copies") << 0 << "0"
                                     << "Nu avem nimic de tiparit!..." << -1;
        QTest::newRow("not a number")
            << 0 << "doua"
            << "Numarul exemplarelor trebuie sa fie un numar intreg intre 1 si 999!..." << -1;
        QTest::newRow("negative")
            << 0 << "-3"
            << "Numarul exemplarelor trebuie sa fie un numar intreg intre 1 si 999!..." << -1;
        QTest::newRow("2.5 prints 2") << 0 << "2.5"
                                      << "" << 2;
        QTest::newRow("3.5 prints 4") << 1 << "3.5"
                                      << "" << 4;
    }
    void printerChecks()
    {
        QFETCH(int, printer);
        QFETCH(QString, copies);
        QFETCH(QString, message);
        QFETCH(int, printed);
        Printing p;
        if (printer >= 0)
            p.choosePrinter(printer);
        p.box("Text1")->setText(copies);
        p.print();
        QCOMPARE(p.platform.messageTexts(),
                 message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(p.copiesPrinted, printed);
        QVERIFY(p.platform.cues.isEmpty()); // no cue after printing
        if (printed > 0) {
            const QString pdf = p.dir.filePath(p.printersOpened.value(0) + ".pdf");
            QVERIFY(QFileInfo(pdf).size() > 1000);
        }
    }

    void unusablePrinterIsReported()
    {
        Printing p;
        p.choosePrinter(0);
        p.platform.printers = {"Laborator"}; // "Birou" went away meanwhile
        p.print();
        QCOMPARE(p.platform.messageTexts(),
                 QStringList{"Imprimanta Birou nu a putut tipari testul!..."});
    }

    void marginBars()
    {
        Printing p;
        auto *bar = p.get<QScrollBar>("VScroll1");
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub); // the upper arrow
        QCOMPARE(p.box("Text3")->text(), QString("2.1"));
        bar->setValue(0);
        QCOMPARE(p.box("Text3")->text(), QString("4"));
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(p.box("Text3")->text(), QString("4")); // cannot grow further
        bar->setValue(40);
        QCOMPARE(p.box("Text3")->text(), QString("0"));
        p.get<QScrollBar>("VScroll4")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(p.box("Text6")->text(), QString("0.9"));
    }

    void outputOptionsAndThePrintButton()
    {
        Printing p;
        QVERIFY(p.get<QPushButton>("Command2")->isEnabled());
        p.get<QRadioButton>("Option1")->click();
        QVERIFY(p.get<QPushButton>("Command2")->isEnabled()); // left as it was
        QVERIFY(!p.get<QComboBox>("Combo1")->isEnabled());
        QVERIFY(p.box("Text2")->isVisible());
        QVERIFY(p.get<QLabel>("Label3")->isVisible());
        p.get<QRadioButton>("Option2")->click();
        QVERIFY(p.get<QPushButton>("Command2")->isEnabled());
        QVERIFY(!p.box("Text2")->isVisible());
    }

    void fileOutput()
    {
        Printing p;
        p.dir.write("teste/test1.jpg", "an older sheet");
        p.get<QRadioButton>("Option1")->click();
        p.print();
        QCOMPARE(p.platform.messageTexts(), QStringList{"Nu ati definit numele fisierului!..."});

        p.box("Text2")->setText("test1");
        p.get<QPlainTextEdit>("Text7")->setPlainText("Test\nNume:");
        p.print();
        QVERIFY(p.platform.messages.isEmpty());
        QCOMPARE(p.platform.cueNames(), QStringList{"setareok.wav"});
        const QByteArray bytes = p.dir.read("teste/test1.jpg");
        QVERIFY(bytes.startsWith("\xff\xd8\xff")); // a real JPEG
        QImageReader reader(p.dir.filePath("teste/test1.jpg"));
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage page = reader.read();
        QCOMPARE(page.size(), QSize(794, 1123));
        // The first problem at the top-left of the block, the header above it.
        QVERIFY(qBlue(page.pixel(80, 140)) > 80 && qRed(page.pixel(80, 140)) < 60);
        QCOMPARE(QColor(page.pixel(400, 110)), QColor(Qt::white));
        int dark = 0;
        for (int x = 75; x < 200; ++x)
            dark += qGray(page.pixel(x, 30)) < 100 ? 1 : 0;
        QVERIFY(dark > 0);
    }

    void missingFolderIsCreated()
    {
        Printing p;
        QVERIFY(!p.dir.exists("teste"));
        p.get<QRadioButton>("Option1")->click();
        p.box("Text2")->setText("clasa5");
        p.print();
        QVERIFY(p.dir.exists("teste/clasa5.jpg"));
    }

    void refusedBeforeAnythingIsWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("margin");
        QTest::addColumn<QString>("message");
        const QString badName =
            "Numele fisierului nu poate contine caracterele \\ / : * ? \" < > | si nici \"..\"!...";
        const QString badMargins = "Marginile trebuie sa fie numere de centimetri, nu negative, "
                                   "care lasa loc pe pagina pentru antet si probleme!...";
        QTest::newRow("a folder in the name") << "../test1"
                                              << "2" << badName;
        QTest::newRow("a colon") << "a:b"
                                 << "2" << badName;
        QTest::newRow("a margin that is no number") << "test1"
                                                    << "doi" << badMargins;
        QTest::newRow("a negative margin") << "test1"
                                           << "-1" << badMargins;
        QTest::newRow("margins wider than the page") << "test1"
                                                     << "11" << badMargins;
    }
    void refusedBeforeAnythingIsWritten()
    {
        QFETCH(QString, name);
        QFETCH(QString, margin);
        QFETCH(QString, message);
        Printing p;
        p.get<QRadioButton>("Option1")->click();
        p.box("Text2")->setText(name);
        p.box("Text3")->setText(margin);
        p.box("Text4")->setText(margin);
        p.print();
        QCOMPARE(p.platform.messageTexts(), QStringList{message});
        QVERIFY(p.platform.cues.isEmpty());
        QVERIFY(!p.dir.exists("teste"));
        QVERIFY(!QFile::exists(p.dir.filePath("test1.jpg")));
    }

    void unwritableFileIsReportedWithoutCue()
    {
        Printing p;
        p.dir.write("teste", "a file where the folder should be");
        p.get<QRadioButton>("Option1")->click();
        p.box("Text2")->setText("test1");
        p.print();
        QCOMPARE(p.platform.messages.size(), 1);
        QVERIFY(p.platform.messages[0].text.contains("test1.jpg"));
        QVERIFY(p.platform.cues.isEmpty());
    }
};

QTEST_MAIN(TstPrintDialog)
#include "tst_print_dialog.moc"
