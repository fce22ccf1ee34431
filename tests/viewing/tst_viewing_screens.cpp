// The problem browser, the results viewer and the archive screen, used as a
// teacher uses them.
#include "archive/result_archive.h"
#include "support/driver.h"
#include "viewing/browsing.h"

#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

using namespace culegere;
using test::Driver;

namespace {

const QString kBrowser = QStringLiteral("frmRezolva");
const QString kArchive = QStringLiteral("frmArhiva");

// "Mare" holds problems 00001..00015, "Mic" 00016..00017 though its counter
// says 40, "Gol" none. The log holds three results, one without a date.
Collection catalogue()
{
    Collection c;
    test::addChapter(c, "Mare", 15);
    test::addChapter(c, "Mic", 40);
    test::addChapter(c, "Gol", 0);
    for (int i = 1; i <= 17; ++i)
        test::addProblem(c, i <= 15 ? "Mare" : "Mic", test::pictureIndex(i));
    c.UserTable[2] = test::result("\xAAtefan Pop", 9, 30, {2026, 3, 1}); // Ştefan
    c.UserTable[3] = test::result("Ana", 5, 40, {2026, 3, 2});
    c.UserTable[4] = test::result("Radu", 6, 50, {2026, 3, 2});
    c.UserTable[4].TestDate = std::numeric_limits<double>::quiet_NaN();
    c.NextUserRecord = 5;
    return c;
}

// The program, started with an archive of two tests made before: 00001
// answered right in both, 00002 wrong in one. The log joins it on its first
// opening.
void start(Driver &d)
{
    ResultArchive archive(d.folder().filePath("Arhiva.sqlite"));
    QVERIFY(archive.open().ok());
    ArchivedTest ion;
    ion.pupil = "Ion; \"Nelu\"";
    ion.date = {2026, 3, 3};
    ion.time = {10, 15};
    ion.stopwatch = 118;
    ion.grade = 4;
    ion.chapters = {{"Mare", 9}};
    ion.answers = {{"00001", "Mare", 1, 1}, {"00002", "Mare", 0, 3}};
    ArchivedTest ana = ion;
    ana.pupil = "ana";
    ana.date = {2026, 3, 4};
    ana.grade = 8;
    ana.answers.removeLast();
    QVERIFY(archive.add({ion, ana}).ok());
    d.startOrFail();
}

bool movesEnabled()
{
    for (const char *name : {"Command1", "Command2", "Command3", "Command4"}) {
        if (Driver::control<QPushButton>(kBrowser, name)->isEnabled())
            return true;
    }
    return false;
}

void load(const QString &chapter)
{
    STEP(Driver::chooseLine(kBrowser, "Combo1", chapter));
    Driver::press(kBrowser, "Command5");
}

// The position shown, the picture's file and the statistics line.
QString shown(const Driver &d)
{
    const QString picture = Driver::control<QWidget>(kBrowser, "Picture1")
                                ->property("imagePath")
                                .toString()
                                .remove(d.path() + "/probleme/probl");
    return Driver::control<QLabel>(kBrowser, "Label2")->text() + ' ' + picture + ' ' +
           Driver::control<QLabel>(kBrowser, "lblStatistica")->text();
}

QStringList column(int c)
{
    auto *table = Driver::control<QTableView>(kArchive, "tblTeste");
    QStringList cells;
    for (int r = 0; r < table->model()->rowCount(); ++r)
        cells.append(table->model()->index(r, c).data().toString());
    return cells;
}

// Types a date into an archive's date field, as a teacher does.
void typeDate(const char *field, const char *date)
{
    auto *edit = Driver::control<QDateEdit>(kArchive, field);
    QApplication::setActiveWindow(edit->window());
    edit->clearFocus(); // tabbed into anew: the day is selected
    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(edit, date);
}

QString summary()
{
    return Driver::control<QLabel>(kArchive, "lblTabel")->text();
}

} // namespace

class TstViewingScreens : public QObject
{
    Q_OBJECT

private slots:
    void problemBrowser()
    {
        Driver d(catalogue());
        STEP(start(d));
        d.chooseMenu("mnuRezolva");
        QVERIFY(Driver::screen(kBrowser)->isVisible() && d.main()->isVisible());
        QCOMPARE(test::lines(Driver::control<QComboBox>(kBrowser, "Combo1")),
                 (QStringList{"Mare", "Mic", "Gol"}));
        QVERIFY(!movesEnabled());
        Driver::press(kBrowser, "Command5"); // nothing in the box
        QCOMPARE(d.platform.messageTexts(), QStringList{"Nu ati selectat nici o categorie"});
        QVERIFY(d.platform.cues.isEmpty());

        load("Mare");
        QCOMPARE(shown(d), "Problema nr:--0 00001.jpg Extrasa de 2 ori, rezolvata corect de 2 ori");
        QVERIFY(movesEnabled());
        QVERIFY(!Driver::control<QPushButton>(kBrowser, "Command5")->isEnabled());
        QCOMPARE(d.platform.cueNames(), QStringList{"incarca.wav"});
        d.platform.clear();
        const QStringList steps = {
            "Command2", "Problema nr:--1 00002.jpg Extrasa o data, rezolvata corect de 0 ori",
            "Command1", "Problema nr:--0 00001.jpg Extrasa de 2 ori, rezolvata corect de 2 ori",
            "Command1", "Problema nr:--14 00015.jpg Nu a fost extrasa inca",
            "Command3", "Problema nr:--4 00005.jpg Nu a fost extrasa inca",
            "Command4", "Problema nr:--14 00015.jpg Nu a fost extrasa inca"};
        for (int i = 0; i < steps.size(); i += 2) {
            Driver::press(kBrowser, steps[i]);
            QCOMPARE(shown(d), steps[i + 1]);
        }
        QCOMPARE(d.platform.cueNames(), QStringList(5, "next.wav"));

        // Another chapter chosen stops the moves until it is loaded; the
        // moves count what is listed, whatever the counter says.
        STEP(Driver::chooseLine(kBrowser, "Combo1", "Mic"));
        QVERIFY(!movesEnabled());
        Driver::press(kBrowser, "Command5");
        Driver::press(kBrowser, "Command4");
        QCOMPARE(shown(d), "Problema nr:--0 00016.jpg Nu a fost extrasa inca");
        load("Gol");
        QCOMPARE(shown(d), "Problema nr:--0  ");

        d.platform.clear();
        Driver::press(kBrowser, "Command6"); // "Ok" hides it, emptied
        QVERIFY(!Driver::screen(kBrowser)->isVisible());
        QCOMPARE(d.platform.cueNames(), QStringList{"exitform.wav"});
        QVERIFY(Driver::control<QComboBox>(kBrowser, "Combo1")->currentText().isEmpty());
        d.chooseMenu("mnuRezolva");
        QVERIFY(!movesEnabled());
        Driver::closeFromFrame(kBrowser); // the frame destroys it
        QTRY_VERIFY(!Driver::screen(kBrowser));
        d.chooseMenu("mnuRezolva");
        QVERIFY(Driver::screen(kBrowser)->isVisible());
    }

    // No results: the empty list, and the archive (a new one) behind it.
    // Else the log's lines, the main screen hidden meanwhile, back when "Ok"
    // hides the screen.
    void resultsViewer()
    {
        Driver empty;
        empty.startOrFail();
        empty.chooseMenu("mnuRezultate");
        QVERIFY(test::lines(Driver::control<QListWidget>("frmRezultate", "List1")).isEmpty());
        Driver::press("frmRezultate", "btnArhiva");
        QVERIFY(Driver::screen(kArchive)->isVisible() && column(0).isEmpty());
        QCOMPARE(summary(), QString("Niciun test nu se potriveste filtrelor."));
        QVERIFY(empty.platform.messages.isEmpty());
        QVERIFY(empty.exit());

        const Collection c = catalogue();
        Driver d(c);
        d.startOrFail();
        d.chooseMenu("mnuRezultate");
        QVERIFY(Driver::screen("frmRezultate")->isVisible() && !d.main()->isVisible());
        QCOMPARE(test::lines(Driver::control<QListWidget>("frmRezultate", "List1")),
                 QStringList({resultLine(c.UserTable[2], QLocale::system()),
                              resultLine(c.UserTable[3], QLocale::system()),
                              resultLine(c.UserTable[4], QLocale::system())}));
        QCOMPARE(d.platform.cueNames(), QStringList{"incarca.wav"});
        Driver::press("frmRezultate", "Command1");
        QVERIFY(!Driver::screen("frmRezultate")->isVisible() && d.main()->isVisible());
        QCOMPARE(d.platform.cueNames(), (QStringList{"incarca.wav", "exitform.wav"}));
    }

    void archiveScreenFiltersChartsAndExports()
    {
        Driver d(catalogue());
        STEP(start(d));
        d.chooseMenu("mnuRezultate");
        Driver::press("frmRezultate", "btnArhiva");
        QVERIFY(d.platform.messages.isEmpty());
        QCOMPARE(column(0), (QStringList{"Radu", "Ştefan Pop", "Ana", "Ion; \"Nelu\"", "ana"}));
        QCOMPARE(column(1).first(), QString("fara data"));
        QCOMPARE(column(2), (QStringList{"", "", "", "10:15", "10:15"}));
        QCOMPARE(summary(), QString("In tabel: 5 teste (fara data: 1)"));

        auto *average = Driver::control<QLabel>(kArchive, "lblMedia");
        Driver::type(kArchive, "txtNume", "stefan");
        QCOMPARE(column(0), QStringList{"Ştefan Pop"});
        QCOMPARE(average->text(), QString("Ştefan Pop: media 9,00 din 1 test"));
        QCOMPARE(Driver::control<QChartView>(kArchive, "graficNote")->chart()->series().size(), 2);
        // The average, its caption and the chart follow the dates chosen.
        Driver::type(kArchive, "txtNume", "ana");
        QCOMPARE(average->text(), QString("Ana: media 6,50 din 2 teste"));
        typeDate("dtDeLa", "03.03.2026");
        QCOMPARE(column(1), QStringList{"04.03.2026"});
        QCOMPARE(average->text(), QString("ana: media 8,00 din 1 test"));
        Driver::type(kArchive, "txtNume", "");
        QCOMPARE(column(1), (QStringList{"03.03.2026", "04.03.2026"}));
        typeDate("dtPanaLa", "01.03.2026");
        QVERIFY(column(0).isEmpty() && summary().contains("este dupa data"));
        typeDate("dtPanaLa", "04.03.2026");

        // "Exporta" writes the rows shown; a file there is replaced only when
        // the teacher says so, whether ".csv" was typed or not.
        Driver::type(kArchive, "txtNume", "ion");
        const QString file = d.folder().filePath("export.csv");
        d.platform.fileAnswers = {d.folder().filePath("export"), d.folder().filePath("export"),
                                  file, d.folder().filePath("probleme.csv")};
        d.platform.messageAnswers = {false, true};
        Driver::press(kArchive, "btnExporta");
        const QByteArray ion("\xEF\xBB\xBFNume;Data;Ora;Cronometru;Nota;Test definit\r\n"
                             "\"Ion; \"\"Nelu\"\"\";03.03.2026;10:15;118;4;Mare: 9\r\n");
        QCOMPARE(d.folder().read("export.csv"), ion);
        Driver::type(kArchive, "txtNume", "");
        Driver::press(kArchive, "btnExporta");
        QCOMPARE(d.folder().read("export.csv"), ion);
        Driver::press(kArchive, "btnExporta");
        QCOMPARE(d.folder().read("export.csv").count("\r\n"), 3);
        const QString asked =
            QString("Fisierul %1 exista deja. Il inlocuiti?").arg(QDir::toNativeSeparators(file));
        QCOMPARE(d.platform.messageTexts(), QStringList(2, asked));

        // The problems of the date range, with the letters marked; the name
        // filter has no say there.
        QTabBar *tabs = Driver::screen(kArchive)->findChild<QTabWidget *>()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(1).center());
        QVERIFY(!Driver::control<QLineEdit>(kArchive, "txtNume")->isEnabled());
        Driver::press(kArchive, "btnExporta");
        QCOMPARE(d.folder().read("probleme.csv"),
                 QByteArray("\xEF\xBB\xBFProblema;Capitol;Extrasa;Rezolvata corect;Procent "
                            "corect;Raspuns corect;a;b;c;d;e\r\n"
                            "\xE2\x81\xA0"
                            "00002;Mare;1;0;0,0;d;1;0;0;0;0\r\n"
                            "\xE2\x81\xA0"
                            "00001;Mare;2;2;100,0;b;0;2;0;0;0\r\n"));
        typeDate("dtDeLa", "04.03.2026");
        const QAbstractItemModel *problems =
            Driver::control<QTableView>(kArchive, "tblProbleme")->model();
        QCOMPARE(problems->rowCount(), 1);
        QCOMPARE(problems->index(0, 2).data().toString() + problems->index(0, 5).data().toString(),
                 QString("1b"));
        QCOMPARE(d.platform.cueNames().count("setareok.wav"), 3);
    }
};

QTEST_MAIN(TstViewingScreens)
#include "tst_viewing_screens.moc"
