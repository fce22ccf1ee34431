// The chapters screen and the problem editor, driven through their controls.
#include "store/collection_io.h"
#include "support/running_app.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace culegere;
using test::child;
using test::topLevel;

namespace {

// Chapters A (problems 1, 2) and B (problem 3); pictures 1..3 and 123.
Collection catalogue()
{
    Collection c;
    test::addChapter(c, "A", 2);
    test::addChapter(c, "B", 1);
    test::addProblem(c, "A", test::pictureIndex(1), 0);
    test::addProblem(c, "A", test::pictureIndex(2), 1);
    test::addProblem(c, "B", test::pictureIndex(3), 2);
    return c;
}

struct Editing : test::RunningApp
{
    explicit Editing(const Collection &collection = catalogue()) : RunningApp(collection)
    {
        for (int i : {1, 2, 3, 123})
            dir.addPicture(test::pictureIndex(i));
    }
    QWidget *chapters() const { return topLevel("frmAddCap"); }
    QWidget *editor() const { return topLevel("frmSetProblema"); }
    template <typename T> T *cap(const QString &name) const { return child<T>(chapters(), name); }
    template <typename T> T *ed(const QString &name) const { return child<T>(editor(), name); }
    QStringList listed() const
    {
        QStringList names;
        auto *list = cap<QListWidget>("listCap");
        for (int i = 0; i < list->count(); ++i)
            names.append(list->item(i)->text());
        return names;
    }
    void typeChapter(const QString &name)
    {
        cap<QLineEdit>("Text1")->setText(name);
        cap<QPushButton>("Command1")->click();
    }
    void clickEntry(int row)
    {
        auto *list = cap<QListWidget>("listCap");
        list->setCurrentRow(row);
        emit list->itemClicked(list->item(row));
    }
    // "Cauta problema" answered with `typed`.
    void lookUp(const QString &typed)
    {
        platform.textAnswers.push_back(typed);
        ed<QPushButton>("Command1")->click();
    }
    // The buttons Cauta, Seteaza, Sterge: 1 on, 0 off.
    QString state() const
    {
        QString s;
        for (const char *name : {"Command1", "Command2", "btnSterge"})
            s += ed<QPushButton>(name)->isEnabled() ? '1' : '0';
        return s;
    }
    // Exits the program and reads back what it saved.
    Collection saved()
    {
        if (!main()->close())
            qFatal("the exit did not save");
        Collection c;
        if (!loadCollection(dir.read(datafile::Users), dir.read(datafile::Chapters),
                            dir.read(datafile::Problems), c)
                 .ok())
            qFatal("the saved files do not load");
        return c;
    }
};

const QString kIdle = "100", kNewPicture = "010", kCatalogued = "011";

} // namespace

class TstEditingScreens : public QObject
{
    Q_OBJECT

private slots:
    void chaptersScreenAddsAndRefuses()
    {
        Editing e;
        e.action("mnuAddCap")->trigger();
        QVERIFY(e.chapters()->isVisible());
        QVERIFY(e.main()->isVisible());
        QCOMPARE(e.chapters()->windowTitle(), QString("Adauga Capitol"));

        e.typeChapter("Geometrie");
        QCOMPARE(e.listed(), QStringList({"A", "B", "Geometrie"}));
        QCOMPARE(e.platform.cueNames(), QStringList{"setareok.wav"});
        QVERIFY(e.cap<QLineEdit>("Text1")->text().isEmpty());

        e.platform.clear();
        e.typeChapter("A");
        QCOMPARE(e.platform.messageTexts(), QStringList{"Categoria aceasta exista deja!"});
        QCOMPARE(e.platform.cueNames(), QStringList{"setareok.wav"}); // the cue comes first here
        QVERIFY(e.cap<QLineEdit>("Text1")->text().isEmpty());

        e.platform.clear();
        e.typeChapter("a"); // another letter case is another chapter
        QCOMPARE(e.listed().size(), 4);

        e.platform.clear();
        e.typeChapter("");
        QCOMPARE(e.platform.messageTexts(), QStringList{"Nu ati definit numele Categoriei..."});
        QCOMPARE(e.platform.messages[0].buttons, Platform::Buttons::OkCancel);

        const QString longName = QString(104, u'L');
        e.typeChapter(longName);
        QCOMPARE(e.listed().last(), longName); // listed as typed, stored cut
        const Collection c = e.saved();
        QCOMPARE(c.ChapterTable[6].Name.text(), QString(100, u'L'));
        QCOMPARE(c.ChapterCount, 5);
    }

    void chaptersScreenDeletes()
    {
        Collection three;
        test::addChapter(three, "A");
        test::addChapter(three, "B");
        test::addChapter(three, "C");
        Editing e(three);
        e.action("mnuAddCap")->trigger();
        e.clickEntry(0);
        e.cap<QPushButton>("Command2")->click();
        QCOMPARE(e.listed(), QStringList({"C", "B"}));
        QCOMPARE(e.saved().ChapterCount, 2);
    }

    void chapterWithProblemsIsKept()
    {
        Editing e;
        e.action("mnuAddCap")->trigger();
        e.clickEntry(1); // B, the last, holds one problem
        e.platform.clear();
        e.cap<QPushButton>("Command2")->click();
        QCOMPARE(e.platform.messageTexts(),
                 QStringList{"Nu puteti sterge un capitol/categorie din care n-ati sters toate "
                             "problemele!..."});
        QCOMPARE(e.listed(), QStringList({"A", "B"}));
    }

    void renamingReachesTheProblems()
    {
        Editing e;
        e.action("mnuAddCap")->trigger();
        e.platform.clear();
        e.cap<QPushButton>("Command4")->click();
        QCOMPARE(e.platform.messageTexts(), QStringList{"Nu ati selectat nici un titlu..."});
        e.clickEntry(0);
        QCOMPARE(e.cap<QLineEdit>("Text1")->text(), QString("A"));
        e.platform.clear();
        e.cap<QPushButton>("Command4")->click(); // A to A
        QCOMPARE(e.platform.messageTexts(), QStringList{"Categoria aceasta exista deja!"});
        e.cap<QLineEdit>("Text1")->setText("Algebra");
        e.cap<QPushButton>("Command4")->click();
        QCOMPARE(e.listed(), QStringList({"Algebra", "B"}));
        const Collection c = e.saved();
        QCOMPARE(c.ProblemTable[2].Chapter.Name.trimmed(), QByteArray("Algebra"));
        QCOMPARE(c.ProblemTable[3].Chapter.Name.trimmed(), QByteArray("Algebra"));
        QCOMPARE(c.ChapterTable[2].ProblemTotal, 2);
    }

    void closingRefillsTheEditorsChapters()
    {
        Editing e;
        e.action("mnuAddCap")->trigger();
        e.typeChapter("Nou");
        e.platform.clear();
        e.cap<QPushButton>("Command3")->click();
        QVERIFY(!e.chapters()->isVisible());
        QCOMPARE(e.platform.cueNames(), QStringList{"exitform.wav"});
        auto *combo = e.ed<QComboBox>("Combo1");
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(2), QString("Nou"));
        // A close from the frame only hides the screen.
        e.action("mnuAddCap")->trigger();
        QVERIFY(e.chapters()->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(e.chapters());
    }

    void editorOpensIdle()
    {
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        QVERIFY(e.editor()->isVisible());
        QCOMPARE(e.editor()->windowTitle(), QString("Seteaza problema"));
        QCOMPARE(e.state(), kIdle);
        QCOMPARE(e.ed<QComboBox>("Combo1")->count(), 2);
        QVERIFY(e.ed<QComboBox>("Combo1")->currentText().isEmpty());
        QCOMPARE(e.ed<QLabel>("Label2")->text(), QString("Numar total probleme:  3"));
        QCOMPARE(e.editor()->minimumSize(), e.editor()->maximumSize());
    }

    void lookingUp_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("cues");
        QTest::addColumn<QString>("picture"); // index shown, "" for none
        QTest::newRow("a new picture")
            << "00123" << kNewPicture << QStringList() << QStringList{"setareok.wav"} << "00123";
        QTest::newRow("a catalogued problem")
            << "00002" << kCatalogued << QStringList() << QStringList() << "00002";
        QTest::newRow("six characters")
            << "000002" << kCatalogued << QStringList() << QStringList() << "00002";
        QTest::newRow("four characters")
            << "0123" << kIdle << QStringList{"Nu exista aceasta problema"}
            << QStringList{"setareok.wav"} << "";
        QTest::newRow("Cancel") << "" << kIdle << QStringList{"Nu exista aceasta problema"}
                                << QStringList{"setareok.wav"} << "";
        QTest::newRow("a path") << "../../Users.stn" << kIdle
                                << QStringList{"Nu exista aceasta problema"}
                                << QStringList{"setareok.wav"} << "";
    }
    void lookingUp()
    {
        QFETCH(QString, typed);
        QFETCH(QString, state);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, cues);
        QFETCH(QString, picture);
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.platform.clear();
        e.lookUp(typed);
        QCOMPARE(e.platform.prompts, QStringList{"Introduceti un index de problema"});
        QCOMPARE(e.state(), state);
        QCOMPARE(e.platform.messageTexts(), messages);
        for (const auto &m : e.platform.messages)
            QCOMPARE(m.title, QString()); // no title of its own
        QCOMPARE(e.platform.cueNames(), cues);
        const QString shown = e.ed<QWidget>("Picture1")->property("imagePath").toString();
        QCOMPARE(shown.isEmpty() ? QString() : shown.right(9).left(5), picture);
        if (state == kCatalogued) {
            QCOMPARE(e.ed<QComboBox>("Combo1")->currentText(), QString("A"));
            QVERIFY(e.ed<QRadioButton>("Option2_1")->isChecked());
        }
    }

    void savingANewProblem()
    {
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.lookUp("00123");
        e.platform.clear();
        e.ed<QPushButton>("Command2")->click(); // no chapter, no answer
        QCOMPARE(e.platform.messageTexts(), QStringList{"Nu ati setat complet problema"});
        QVERIFY(e.platform.cues.isEmpty());
        e.ed<QComboBox>("Combo1")->setEditText("Nimic"); // no such chapter
        e.ed<QRadioButton>("Option2_3")->click();
        e.ed<QPushButton>("Command2")->click();
        QCOMPARE(e.platform.messages.size(), 2);
        QCOMPARE(e.state(), kNewPicture);

        e.platform.clear();
        e.ed<QComboBox>("Combo1")->setEditText("B");
        e.ed<QPushButton>("Command2")->click();
        QCOMPARE(e.platform.messageTexts(), QStringList{"Problema a fost setata cu succes...."});
        QCOMPARE(e.platform.cueNames(), QStringList{"setareok.wav"});
        QCOMPARE(e.state(), kIdle);
        QCOMPARE(e.ed<QLabel>("Label2")->text(), QString("Numar total probleme:  4"));
        QVERIFY(e.ed<QComboBox>("Combo1")->currentText().isEmpty());
        QVERIFY(!e.ed<QRadioButton>("Option2_3")->isChecked());
        QCOMPARE(e.ed<QWidget>("Picture1")->property("imagePath").toString(), QString());

        const Collection c = e.saved();
        QCOMPARE(c.ProblemCount, 4);
        QCOMPARE(c.ChapterTable[3].ProblemTotal, 2);
        QCOMPARE(c.ProblemTable[5].CorrectAnswer, 3);
        QVERIFY(c.ProblemTable[5].ImagePath.trimmedText().endsWith(
            QDir::toNativeSeparators("/Probleme/probl00123.jpg")));
    }

    void refilingAProblem()
    {
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.lookUp("00001");
        e.ed<QComboBox>("Combo1")->setEditText("B");
        e.ed<QRadioButton>("Option2_2")->click();
        e.ed<QPushButton>("Command2")->click();
        const Collection c = e.saved();
        QCOMPARE(c.ChapterTable[2].ProblemTotal, 1);
        QCOMPARE(c.ChapterTable[3].ProblemTotal, 2);
        QCOMPARE(c.ProblemTable[2].Chapter.Name.trimmed(), QByteArray("B"));
        QCOMPARE(c.ProblemTable[2].CorrectAnswer, 2);
    }

    void deletingAProblem()
    {
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.platform.clear();
        e.ed<QPushButton>("btnSterge")->setEnabled(true); // nothing open yet
        e.ed<QPushButton>("btnSterge")->click();
        QCOMPARE(e.platform.messageTexts(), QStringList{"Nu aveti nimic de sters"});

        e.lookUp("00001");
        e.platform.clear();
        e.ed<QPushButton>("btnSterge")->click();
        QCOMPARE(e.platform.messageTexts(), QStringList{"Problema a fost stearsa cu succes!"});
        QCOMPARE(e.platform.cueNames(), QStringList{"setareok.wav"});
        QCOMPARE(e.state(), kIdle);
        QCOMPARE(e.ed<QLabel>("Label2")->text(), QString("Numar total probleme:  2"));
        QVERIFY(!e.dir.exists("probleme/probl00001.jpg"));
        e.ed<QPushButton>("Command3")->click();
        const Collection c = e.saved();
        QCOMPARE(c.ProblemCount, 2);
        QCOMPARE(c.ProblemTable[2].ImagePath.trimmed().right(9), QByteArray("00003.jpg"));
        QCOMPARE(c.ChapterTable[2].ProblemTotal, 1);
        QCOMPARE(c.ChapterTable[3].ProblemTotal, 1);
    }

    void countersHoldInOddCloses_data()
    {
        QTest::addColumn<int>("route");
        QTest::newRow("another chapter chosen, then Close") << 0;
        QTest::newRow("the menu again while open, then Close") << 1;
        QTest::newRow("a close from the frame") << 2;
        QTest::newRow("Exit while a problem is open") << 3;
    }
    void countersHoldInOddCloses()
    {
        QFETCH(int, route);
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.lookUp("00001");
        switch (route) {
        case 0:
            e.ed<QComboBox>("Combo1")->setEditText("B");
            e.ed<QPushButton>("Command3")->click();
            break;
        case 1:
            e.action("mnuSeteazaProbl")->trigger();
            QCOMPARE(e.state(), QString("000"));
            e.ed<QPushButton>("Command3")->click();
            break;
        case 2:
            QVERIFY(e.editor()->close());
            QTRY_VERIFY(!e.editor());
            break;
        case 3:
            break;
        }
        const Collection c = e.saved();
        QCOMPARE(c.ChapterTable[2].ProblemTotal, 2);
        QCOMPARE(c.ChapterTable[3].ProblemTotal, 1);
        QCOMPARE(c.ProblemTable[2].Chapter.Name.trimmed(), QByteArray("A"));
    }

    void frameCloseDestroysTheEditor()
    {
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.platform.clear();
        QVERIFY(e.editor()->close());
        QCOMPARE(e.platform.cueNames(), QStringList{"exitform.wav"});
        QTRY_VERIFY(!e.editor());
        e.action("mnuSeteazaProbl")->trigger();
        QVERIFY(e.editor() && e.editor()->isVisible());
        QCOMPARE(e.state(), kIdle);
    }
};

QTEST_MAIN(TstEditingScreens)
#include "tst_editing_screens.moc"
