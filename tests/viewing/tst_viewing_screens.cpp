// The problem browser and the results viewer, driven through their controls.
#include "archive/result_archive.h"
#include "store/data_files.h"
#include "support/running_app.h"
#include "support/user_input.h"
#include "viewing/browsing.h"

#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

using namespace culegere;
using test::child;
using test::topLevel;

namespace {

// Chapter "Mare" holds 15 problems (indices 00001..00015), "Mic" 2, "Gol" none.
Collection catalogue()
{
    Collection c;
    test::addChapter(c, "Mare", 15);
    test::addChapter(c, "Mic", 2);
    test::addChapter(c, "Gol", 0);
    for (int i = 1; i <= 17; ++i)
        test::addProblem(c, i <= 15 ? "Mare" : "Mic", test::pictureIndex(i));
    return c;
}

struct Browser : test::RunningApp
{
    explicit Browser(bool pictures = true) : RunningApp(catalogue())
    {
        if (pictures) {
            for (int i = 1; i <= 17; ++i)
                dir.addPicture(test::pictureIndex(i));
        }
        action("mnuRezolva")->trigger();
    }
    QWidget *screen() const { return topLevel("frmRezolva"); }
    template <typename T> T *get(const QString &name) const { return child<T>(screen(), name); }
    QPushButton *button(const QString &name) const { return get<QPushButton>(name); }
    void choose(const QString &chapter)
    {
        auto *combo = get<QComboBox>("Combo1");
        test::chooseLine(combo, combo->findText(chapter));
    }
    void load(const QString &chapter)
    {
        choose(chapter);
        button("Command5")->click();
    }
    QString label() const { return get<QLabel>("Label2")->text(); }
    QString picture() const { return get<QWidget>("Picture1")->property("imagePath").toString(); }
    QString pictureOf(int index) const
    {
        return dir.filePath("probleme/probl" + test::pictureIndex(index) + ".jpg");
    }
    bool movesEnabled() const
    {
        for (const char *name : {"Command1", "Command2", "Command3", "Command4"}) {
            if (button(name)->isEnabled())
                return true;
        }
        return false;
    }
};

// The archive made before the program starts: two tests with answers
// (problem 00001 right in both, 00002 wrong in one); the log holds two
// results the archive takes over on its first use.
struct Archived : test::RunningApp
{
    static Collection withLog()
    {
        Collection c = catalogue();
        c.UserTable[2] = test::result("\xAAtefan Pop", 9, 30, {2026, 3, 1}); // Ştefan
        c.UserTable[3] = test::result("Ana", 5, 40, {2026, 3, 2});
        c.NextUserRecord = 4;
        return c;
    }
    Archived() : RunningApp(withLog())
    {
        ResultArchive archive(dir.filePath("Arhiva.sqlite"));
        if (!archive.open().ok())
            qFatal("no archive");
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
        if (!archive.add({ion, ana}).ok())
            qFatal("not archived");
    }
    QWidget *screen() const { return topLevel("frmArhiva"); }
    template <typename T> T *get(const QString &name) const { return child<T>(screen(), name); }
    void open()
    {
        action("mnuRezultate")->trigger();
        test::click(child<QPushButton>(topLevel("frmRezultate"), "btnArhiva"));
        QVERIFY(screen() && screen()->isVisible());
    }
    QStringList column(int c) const
    {
        auto *table = get<QTableView>("tblTeste");
        QStringList cells;
        for (int r = 0; r < table->model()->rowCount(); ++r)
            cells.append(table->model()->index(r, c).data().toString());
        return cells;
    }
    void typeName(const QString &text)
    {
        auto *name = get<QLineEdit>("txtNume");
        test::focus(name);
        name->selectAll();
        QTest::keyClick(name, Qt::Key_Backspace);
        QTest::keyClicks(name, text);
    }
    void clickHeader(int section)
    {
        QHeaderView *header = get<QTableView>("tblTeste")->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          {header->sectionViewportPosition(section) + 10, header->height() / 2});
    }
};

} // namespace

class TstViewingScreens : public QObject
{
    Q_OBJECT

private slots:
    void browserOpens()
    {
        Browser b;
        QVERIFY(b.screen()->isVisible());
        QVERIFY(b.main()->isVisible());
        QCOMPARE(b.screen()->windowTitle(), QString("Rezolva/capitol/categorie"));
        auto *combo = b.get<QComboBox>("Combo1");
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QString("Mare"));
        QVERIFY(!b.movesEnabled());
        QVERIFY(b.button("Command5")->isEnabled());
        QCOMPARE(b.screen()->minimumSize(), b.screen()->maximumSize()); // keeps its size
    }

    void loadingShowsTheFirstProblem()
    {
        Browser b;
        b.platform.clear();
        b.load("Mare");
        QCOMPARE(b.label(), QString("Problema nr:--0"));
        QCOMPARE(b.picture(), b.pictureOf(1));
        QVERIFY(b.movesEnabled());
        QVERIFY(!b.button("Command5")->isEnabled());
        QCOMPARE(b.platform.cueNames(), QStringList{"incarca.wav"});
    }

    void movesThroughTheChapter()
    {
        Browser b;
        b.load("Mare");
        b.platform.clear();
        b.button("Command1")->click(); // <--1 from 0
        QCOMPARE(b.label(), QString("Problema nr:--14"));
        QCOMPARE(b.picture(), b.pictureOf(15));
        b.button("Command2")->click(); // 1-->
        QCOMPARE(b.label(), QString("Problema nr:--0"));
        b.button("Command3")->click(); // <==10 from 0
        QCOMPARE(b.label(), QString("Problema nr:--4"));
        b.button("Command4")->click(); // 10==> from 4
        QCOMPARE(b.label(), QString("Problema nr:--14"));
        QCOMPARE(b.platform.cueNames(), QStringList(4, "next.wav"));

        b.load("Mic");
        b.platform.clear();
        b.button("Command4")->click(); // two problems: nothing happens
        QCOMPARE(b.label(), QString("Problema nr:--0"));
        QVERIFY(b.platform.cues.isEmpty());
    }

    void choosingAnotherChapterStopsTheMoves()
    {
        Browser b;
        b.load("Mare");
        b.choose("Mic");
        QVERIFY(!b.movesEnabled());
        QVERIFY(b.button("Command5")->isEnabled());
    }

    void emptyBoxIsRefused()
    {
        Browser b;
        b.platform.clear();
        b.button("Command5")->click();
        QCOMPARE(b.platform.messageTexts(), QStringList{"Nu ati selectat nici o categorie"});
        QCOMPARE(b.platform.messages[0].title, QString()); // no title of its own
        QVERIFY(b.platform.cues.isEmpty());
        QVERIFY(!b.movesEnabled());
    }

    void emptyChapterShowsNothingAndStaysPut()
    {
        Browser b;
        b.load("Gol");
        QCOMPARE(b.picture(), QString());
        QCOMPARE(b.label(), QString("Problema nr:--0"));
        b.platform.clear();
        for (const char *name : {"Command1", "Command2", "Command3", "Command4"})
            b.button(name)->click();
        QCOMPARE(b.label(), QString("Problema nr:--0"));
        QVERIFY(b.platform.cues.isEmpty());
    }

    void staleCounterOrTypedNameStayInsideTheList()
    {
        Collection c = catalogue();
        c.ChapterTable[3].ProblemTotal = 40; // "Mic" claims 40, holds 2
        test::RunningApp a(c);
        a.action("mnuRezolva")->trigger();
        QWidget *screen = topLevel("frmRezolva");
        auto *combo = child<QComboBox>(screen, "Combo1");
        combo->setEditText("Mic");
        child<QPushButton>(screen, "Command5")->click();
        for (int i = 0; i < 5; ++i)
            child<QPushButton>(screen, "Command4")->click(); // 2 listed: no ten-steps
        child<QPushButton>(screen, "Command2")->click();
        child<QPushButton>(screen, "Command2")->click();
        QCOMPARE(child<QLabel>(screen, "Label2")->text(), QString("Problema nr:--0"));

        combo->setEditText("Nimic"); // typing changes nothing until loaded
        child<QPushButton>(screen, "Command2")->click();
        QCOMPARE(child<QLabel>(screen, "Label2")->text(), QString("Problema nr:--1"));
    }

    void missingPictureLeavesTheBoxEmpty()
    {
        Browser b(false);
        b.load("Mare");
        QCOMPARE(b.picture(), QString());
        b.button("Command2")->click();
        QCOMPARE(b.label(), QString("Problema nr:--1"));
    }

    void okHidesAndFrameCloseDestroys()
    {
        Browser b;
        b.load("Mare");
        b.platform.clear();
        b.button("Command6")->click();
        QVERIFY(!b.screen()->isVisible());
        QCOMPARE(b.platform.cueNames(), QStringList{"exitform.wav"});
        QVERIFY(b.get<QComboBox>("Combo1")->currentText().isEmpty());

        b.action("mnuRezolva")->trigger();
        QVERIFY(!b.movesEnabled());
        b.platform.clear();
        QVERIFY(b.screen()->close());
        QCOMPARE(b.platform.cueNames(), QStringList{"exitform.wav"});
        QTRY_VERIFY(!b.screen());
        b.action("mnuRezolva")->trigger();
        QVERIFY(b.screen() && b.screen()->isVisible());
    }

    void noResultsNoScreen()
    {
        test::RunningApp a(catalogue());
        a.action("mnuRezultate")->trigger();
        QCOMPARE(a.platform.messageTexts(), QStringList{"Nu exista inregistrari"});
        QCOMPARE(a.platform.messages[0].title, QString("Culegere electronica"));
        QVERIFY(!topLevel("frmRezultate"));
        QVERIFY(a.main()->isVisible());
    }

    void resultsAreListed()
    {
        Collection c = catalogue();
        const UserRecord first = test::result("NoName", 7, 118, QDate(2026, 12, 4));
        const UserRecord second = test::result("Ion Pop", 10, 0, QDate(2026, 12, 5));
        c.UserTable[2] = first;
        c.UserTable[3] = second;
        c.NextUserRecord = 4;
        test::RunningApp a(c);
        a.action("mnuRezultate")->trigger();
        QWidget *viewer = topLevel("frmRezultate");
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(viewer->windowTitle(), QString("Rezultate"));
        QVERIFY(!a.main()->isVisible());
        QCOMPARE(a.platform.cueNames(), QStringList{"incarca.wav"});
        auto *list = child<QListWidget>(viewer, "List1");
        QCOMPARE(list->count(), 2);
        const QString date = QLocale::system().toString(QDate(2026, 12, 4), QLocale::ShortFormat);
        QCOMPARE(list->item(0)->text(), "NoName" + QString(24, ' ') + "--" + date + "--118--7");
        QCOMPARE(list->item(1)->text(), resultLine(second, QLocale::system()));

        a.platform.clear();
        child<QPushButton>(viewer, "Command1")->click();
        QVERIFY(!viewer->isVisible());
        QVERIFY(a.main()->isVisible());
        QCOMPARE(a.platform.cueNames(), QStringList{"exitform.wav"});

        a.platform.clear(); // a second opening after "Ok": no creation cue
        a.action("mnuRezultate")->trigger();
        QVERIFY(a.platform.cues.isEmpty());
        QCOMPARE(list->count(), 2);

        QVERIFY(viewer->close()); // the frame: Close, then destroyed
        QVERIFY(a.main()->isVisible());
        QTRY_VERIFY(!topLevel("frmRezultate"));
        a.platform.clear();
        a.action("mnuRezultate")->trigger();
        QCOMPARE(a.platform.cueNames(), QStringList{"incarca.wav"});
    }

    void afterARollTheLatest98AreListed()
    {
        test::TempAppFolder dir;
        dir.writeCollection(Collection());
        {
            DataFiles files{AppFolder(dir.path())};
            Collection c;
            QVERIFY(files.openAndLoad(c).ok());
            for (int i = 1; i <= 100; ++i)
                QVERIFY(files
                            .appendResult(c, test::result("E" + QByteArray::number(i), 5, qint16(i),
                                                          QDate(2026, 1, 1)))
                            .ok());
        }
        test::ScriptedPlatform platform;
        Application app(dir.path(), platform);
        QVERIFY(app.start());
        child<QAction>(app.mainScreen(), "mnuRezultate")->trigger();
        auto *list = child<QListWidget>(topLevel("frmRezultate"), "List1");
        QCOMPARE(list->count(), 98);
        QVERIFY(list->item(0)->text().startsWith("E3 "));
        QVERIFY(list->item(97)->text().startsWith("E100"));
    }

    void archiveScreenFiltersSortsChartsAndExports()
    {
        Archived a;
        a.open();
        QCOMPARE(a.column(0), (QStringList{"Ştefan Pop", "Ana", "Ion; \"Nelu\"", "ana"}));
        QCOMPARE(a.column(2), (QStringList{"", "", "10:15", "10:15"}));

        a.typeName("stefan");
        QCOMPARE(a.column(0), QStringList{"Ştefan Pop"});
        QCOMPARE(a.get<QLabel>("lblMedia")->text(), QString("Ştefan Pop: media 9,00 din 1 teste"));
        QCOMPARE(a.get<QChartView>("graficNote")->chart()->series().size(), 2);
        a.typeName("ANA");
        QCOMPARE(a.column(0), (QStringList{"Ana", "ana"}));
        QCOMPARE(a.get<QLabel>("lblMedia")->text(), QString("Ana: media 6,50 din 2 teste"));
        a.typeName("");

        auto *from = a.get<QDateEdit>("dtDeLa");
        test::focus(from);
        QTest::keyClicks(from, "03.03.2026");
        QCOMPARE(a.column(1), (QStringList{"03.03.2026", "04.03.2026"}));

        a.clickHeader(4); // Nota
        const QStringList once = a.column(4);
        a.clickHeader(4);
        const QStringList twice = a.column(4);
        QCOMPARE(QSet<QString>(once.begin(), once.end()), (QSet<QString>{"4", "8"}));
        QCOMPARE(twice, (QStringList{once[1], once[0]}));

        // "Exporta" writes the rows shown.
        a.typeName("ion");
        a.platform.fileAnswers.push_back(a.dir.filePath("export"));
        test::click(a.get<QPushButton>("btnExporta"));
        QCOMPARE(a.dir.read("export.csv"),
                 QByteArray("\xEF\xBB\xBFNume;Data;Ora;Cronometru;Nota;Test definit\r\n"
                            "\"Ion; \"\"Nelu\"\"\";03.03.2026;10:15;118;4;Mare: 9\r\n"));

        // The problems, hardest first; their tab exports them.
        QTabBar *tabs = a.screen()->findChild<QTabWidget *>()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(1).center());
        auto *problems = a.get<QTableWidget>("tblProbleme");
        QVERIFY(problems->isVisible());
        QCOMPARE(problems->rowCount(), 2);
        a.platform.fileAnswers.push_back(a.dir.filePath("probleme.csv"));
        test::click(a.get<QPushButton>("btnExporta"));
        QCOMPARE(
            a.dir.read("probleme.csv"),
            QByteArray("\xEF\xBB\xBFProblema;Capitol;Extrasa;Rezolvata corect;Procent corect\r\n"
                       "00002;Mare;1;0;0,0\r\n00001;Mare;2;2;100,0\r\n"));

        // The log was taken over once: a new run finds the same four tests.
        a.app.reset();
        a.app = std::make_unique<Application>(a.dir.path(), a.platform);
        QVERIFY(a.app->start());
        a.open();
        QCOMPARE(a.column(0).size(), 4);
    }

    void archiveStatisticsInTheBrowser()
    {
        Archived a;
        a.action("mnuRezolva")->trigger();
        QWidget *browser = topLevel("frmRezolva");
        auto *combo = child<QComboBox>(browser, "Combo1");
        test::chooseLine(combo, combo->findText("Mare"));
        test::click(child<QPushButton>(browser, "Command5"));
        auto *line = child<QLabel>(browser, "lblStatistica");
        QCOMPARE(line->text(), QString("Extrasa de 2 ori, rezolvata corect de 2 ori"));
        test::click(child<QPushButton>(browser, "Command2"));
        QCOMPARE(line->text(), QString("Extrasa de 1 ori, rezolvata corect de 0 ori"));
        test::click(child<QPushButton>(browser, "Command2"));
        QCOMPARE(line->text(), QString());
    }
};

QTEST_MAIN(TstViewingScreens)
#include "tst_viewing_screens.moc"
