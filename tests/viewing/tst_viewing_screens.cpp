// The problem browser and the results viewer, driven through their controls.
#include "store/data_files.h"
#include "support/running_app.h"
#include "support/user_input.h"
#include "viewing/browsing.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
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
};

QTEST_MAIN(TstViewingScreens)
#include "tst_viewing_screens.moc"
