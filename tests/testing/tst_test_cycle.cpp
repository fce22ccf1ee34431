// A test taken through the screens, by the controls' names: the definition,
// the draw, answering, the correction with its record on disk, the user,
// the stopwatch and the reset, with the main screen's phases at each step.
#include "store/collection_io.h"
#include "store/record_file.h"
#include "support/file_size_limit.h"
#include "support/running_app.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

using namespace culegere;
using test::child;
using test::topLevel;

namespace {

// Chapters A (5 problems, rows 2..6), B (4, rows 7..10), Gol (none), and
// Benzi de completare (2, rows 11..12). Correct answers cycle a..e.
Collection catalogue()
{
    Collection c;
    test::addChapter(c, "A", 5);
    test::addChapter(c, "B", 4);
    test::addChapter(c, "Gol", 0);
    test::addChapter(c, "Benzi de completare", 2);
    int index = 1;
    for (const auto &[chapter, count] :
         {std::pair<QByteArray, int>{"A", 5}, {"B", 4}, {"Benzi de completare", 2}}) {
        for (int i = 0; i < count; ++i, ++index)
            test::addProblem(c, chapter, test::pictureIndex(index), qint16(index % 5));
    }
    return c;
}

struct Cycle : test::RunningApp
{
    Cycle() : RunningApp(catalogue())
    {
        for (int i = 1; i <= 12; ++i)
            dir.addPicture(test::pictureIndex(i));
    }

    QPushButton *button(const QString &name) const { return control<QPushButton>(name); }
    QWidget *definition() const { return topLevel("frmDefTest"); }
    template <typename T> T *def(const QString &name) const { return child<T>(definition(), name); }

    // The main screen's phase, control by control: 1 on, 0 off.
    QString phase() const
    {
        auto on = [](bool b) { return b ? '1' : '0'; };
        QString s;
        for (const char *name : {"btnDefTest", "Command4", "Command1", "Command2", "Command3",
                                 "Command5", "Command6", "btnStartCrono"})
            s += on(button(name)->isEnabled());
        s += ' ';
        s += on(control<QRadioButton>("Option1_0")->isVisible());
        s += on(control<QCheckBox>("Check1_0")->isVisible());
        s += ' ';
        for (const char *name : {"mnuAddCap", "mnuRezolva", "mnuSeteazaProbl", "mnuPrint"})
            s += on(action(name)->isEnabled());
        return s;
    }

    void chooseLine(const QString &chapter)
    {
        auto *combo = def<QComboBox>("Combo1");
        for (int i = 0; i < combo->count(); ++i) {
            if (combo->itemText(i).endsWith("--" + chapter)) {
                combo->setCurrentIndex(i);
                emit combo->activated(i);
                return;
            }
        }
        qFatal("no line for %s", qPrintable(chapter));
    }
    void addChapter(const QString &chapter, int count)
    {
        chooseLine(chapter);
        def<QScrollBar>("HScroll1")->setValue(count);
        def<QPushButton>("Command2")->click();
    }
    // Defines B (4) then A (5) and returns to the main screen.
    void definePerChapter()
    {
        button("btnDefTest")->click();
        def<QRadioButton>("Option2")->click();
        addChapter("B", 4);
        addChapter("A", 5);
        def<QPushButton>("Command1")->click();
        def<QPushButton>("Command3")->click();
    }
    void defineWholeCollection()
    {
        button("btnDefTest")->click();
        def<QPushButton>("Command1")->click();
        def<QPushButton>("Command3")->click();
    }
    // The index of the problem shown, read from its picture's name.
    int shownIndex() const
    {
        const QString path = control<QWidget>("Picture1")->property("imagePath").toString();
        return path.right(9).left(5).toInt();
    }
    QString shownChapter() const { return control<QLabel>("Label2")->text().trimmed(); }
    // Marks the right variant at the first `right` positions, a wrong one after.
    void answer(int right)
    {
        for (int p = 0; p < 9; ++p) {
            const int correct = shownIndex() % 5;
            const int variant = p < right ? correct : (correct + 1) % 5;
            control<QRadioButton>(QStringLiteral("Option1_%1").arg(variant))->click();
            button("Command1")->click();
        }
    }
    QByteArray users() const { return dir.read(datafile::Users); }
};

UserRecord recordOnDisk(const QByteArray &file, int n)
{
    return RecordImage(file, UserRecord::Size).record<UserRecord>(n);
}

const QString kStartup = "10000100 00 1110";
const QString kDefined = "01000100 00 1110";
const QString kDrawn = "01111001 10 0001";
const QString kCorrected = "00110011 11 0001"; // the stopwatch left as the draw set it

} // namespace

class TstTestCycle : public QObject
{
    Q_OBJECT

private slots:
    void wholeCycle()
    {
        Cycle t;
        QCOMPARE(t.phase(), kStartup);

        t.button("btnDefTest")->click();
        QVERIFY(t.definition() && t.definition()->isVisible());
        QCOMPARE(t.definition()->windowTitle(), QString("Defineste Test"));
        QCOMPARE(t.platform.cueNames(), QStringList{"birds_22khz_lp-1.wav"});
        auto *combo = t.def<QComboBox>("Combo1");
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->itemText(0), QString(" 5--A"));
        QVERIFY(!combo->isEnabled());
        QVERIFY(!t.def<QPushButton>("Command3")->isEnabled());

        t.def<QRadioButton>("Option2")->click();
        QVERIFY(combo->isEnabled());
        QVERIFY(t.def<QPushButton>("Command2")->isEnabled());
        QVERIFY(t.def<QScrollBar>("HScroll1")->isEnabled());

        t.platform.clear();
        t.addChapter("B", 4);
        t.addChapter("A", 5);
        auto *list = t.def<QListWidget>("listCap");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QString("4--B-----4"));
        QCOMPARE(list->item(1)->text(), QString("5--A-----5"));
        QCOMPARE(combo->count(), 2); // each chapter is offered once
        QCOMPARE(t.def<QLineEdit>("text1")->text(), QString("5"));
        QCOMPARE(t.platform.cueNames(), QStringList({"setareok.wav", "setareok.wav"}));

        t.platform.clear();
        t.def<QPushButton>("Command1")->click();
        QCOMPARE(t.platform.messageTexts(),
                 QStringList{"Testul a fost setat cu succes! Have fun!!!"});
        QCOMPARE(t.platform.messages[0].title, QString("Culegere electronica"));
        QCOMPARE(t.platform.cueNames(), QStringList{"setareok.wav"});
        QVERIFY(t.def<QPushButton>("Command3")->isEnabled());

        t.platform.clear();
        t.def<QPushButton>("Command3")->click();
        QVERIFY(!t.definition()->isVisible());
        QCOMPARE(list->count(), 0);
        QCOMPARE(t.platform.cueNames(), QStringList{"exitform.wav"});
        QCOMPARE(t.phase(), kDefined);

        t.platform.clear();
        t.button("Command4")->click();
        QCOMPARE(t.phase(), kDrawn);
        QCOMPARE(t.control<QLineEdit>("Text1")->text(), QString("0"));
        QCOMPARE(t.control<QLabel>("Label2")->text(), QString("B").leftJustified(100));
        QVERIFY(t.shownIndex() >= 6 && t.shownIndex() <= 9);
        QCOMPARE(t.platform.cueNames(), QStringList{"incarca.wav"});

        // Chapter B fills positions 0..3, A positions 4..8.
        QStringList chapters;
        for (int p = 0; p < 9; ++p) {
            chapters.append(t.shownChapter());
            t.button("Command1")->click();
        }
        QCOMPARE(chapters, QStringList({"B", "B", "B", "B", "A", "A", "A", "A", "A"}));

        t.platform.clear();
        t.answer(5);
        QCOMPARE(t.platform.cueNames(), QStringList(9, "next.wav")); // marking plays nothing

        t.platform.clear();
        t.button("Command3")->click();
        QVERIFY(t.platform.messages.isEmpty());
        QCOMPARE(t.control<QLineEdit>("Text2")->text(), QString("6"));
        for (int p = 0; p < 9; ++p)
            QCOMPARE(t.control<QCheckBox>(QStringLiteral("Check1_%1").arg(p))->isChecked(), p < 5);
        QCOMPARE(t.phase(), kCorrected);
        QCOMPARE(t.platform.cueNames(), QStringList{"exit.wav"});

        const QByteArray expected = userHeader(3) + QByteArray("NoName") + QByteArray(24, ' ') +
                                    QByteArray::fromHex("0600 0000 00000000 00a3e640");
        QCOMPARE(t.users(), expected);

        t.platform.clear();
        t.button("Command6")->click();
        QCOMPARE(t.phase(), kStartup);
        for (const char *name : {"Text1", "Text2", "Text3"})
            QVERIFY(t.control<QLineEdit>(name)->text().isEmpty());
        QVERIFY(t.control<QLabel>("Label2")->text().isEmpty());
        QCOMPARE(t.control<QWidget>("Picture1")->property("imagePath").toString(), QString());
        QCOMPARE(t.platform.cueNames(), QStringList{"incarca.wav"});
    }

    void refusedTotalOffersEveryChapterAgain()
    {
        Cycle t;
        t.button("btnDefTest")->click();
        t.def<QRadioButton>("Option2")->click();
        t.addChapter("A", 4);
        t.addChapter("B", 4);
        t.addChapter("Benzi de completare", 2);
        QCOMPARE(t.def<QComboBox>("Combo1")->count(), 1);
        t.platform.clear();
        t.def<QPushButton>("Command1")->click();
        QCOMPARE(t.platform.messageTexts(),
                 QStringList{"Testul dumneavoastra nu este setat corect - numarul total de "
                             "probleme trebuie sa fie 9"});
        QCOMPARE(t.def<QListWidget>("listCap")->count(), 0);
        QCOMPARE(t.def<QComboBox>("Combo1")->count(), 4);
        QVERIFY(!t.def<QPushButton>("Command3")->isEnabled());
        t.def<QPushButton>("Command1")->click(); // no chapter: total 0
        QCOMPARE(t.platform.messages.size(), 2);
    }

    void chapterRefusals_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("count");
        QTest::newRow("5 of a chapter of 4") << "4--B" << 5;
        QTest::newRow("a chapter of 0") << "0--Gol" << 1;
        QTest::newRow("a name of no chapter") << "9--Nimic" << 1;
        QTest::newRow("nothing typed") << "" << 1;
    }
    void chapterRefusals()
    {
        QFETCH(QString, typed);
        QFETCH(int, count);
        Cycle t;
        t.button("btnDefTest")->click();
        t.def<QRadioButton>("Option2")->click();
        t.def<QComboBox>("Combo1")->setEditText(typed);
        t.def<QScrollBar>("HScroll1")->setValue(count);
        t.platform.clear();
        t.def<QPushButton>("Command2")->click();
        QCOMPARE(t.platform.messageTexts(), QStringList{"Nu ati definit corect capitolul!"});
        QVERIFY(t.platform.cues.isEmpty());
        QCOMPARE(t.def<QListWidget>("listCap")->count(), 0);
    }

    void typedChapterNameIsAccepted()
    {
        Cycle t;
        t.button("btnDefTest")->click();
        t.def<QRadioButton>("Option2")->click();
        t.def<QComboBox>("Combo1")->setEditText("4--B");
        t.def<QScrollBar>("HScroll1")->setValue(4);
        t.def<QPushButton>("Command2")->click();
        QCOMPARE(t.def<QListWidget>("listCap")->count(), 1);
        QCOMPARE(t.def<QComboBox>("Combo1")->count(), 3); // its line is gone too
    }

    void tenChaptersCloseTheChoice()
    {
        Collection c;
        for (int i = 0; i < 11; ++i) {
            test::addChapter(c, "C" + QByteArray::number(i), 1);
            test::addProblem(c, "C" + QByteArray::number(i), test::pictureIndex(i + 1));
        }
        test::RunningApp t(c);
        t.control<QPushButton>("btnDefTest")->click();
        QWidget *def = topLevel("frmDefTest");
        child<QRadioButton>(def, "Option2")->click();
        auto *combo = child<QComboBox>(def, "Combo1");
        for (int i = 0; i < 10; ++i) {
            combo->setCurrentIndex(0);
            emit combo->activated(0);
            child<QPushButton>(def, "Command2")->click();
        }
        QCOMPARE(child<QListWidget>(def, "listCap")->count(), 10);
        QVERIFY(!combo->isEnabled());
        QVERIFY(!child<QPushButton>(def, "Command2")->isEnabled());
        // A refused total frees the choice again.
        child<QPushButton>(def, "Command1")->click();
        QVERIFY(combo->isEnabled());
    }

    void wholeCollectionSetting()
    {
        Cycle t;
        t.button("btnDefTest")->click();
        t.def<QRadioButton>("Option2")->click();
        t.addChapter("A", 2);
        t.def<QRadioButton>("Option1")->click();
        QVERIFY(!t.def<QComboBox>("Combo1")->isEnabled());
        t.platform.clear();
        t.def<QPushButton>("Command1")->click();
        QCOMPARE(t.platform.messageTexts(),
                 QStringList{"Ati ales test din toata culegerea! Apasati Ok pentru revenire in "
                             "ecranul de testare..."});
        QVERIFY(t.platform.cues.isEmpty());
        QVERIFY(t.def<QPushButton>("Command3")->isEnabled());
        QCOMPARE(t.def<QListWidget>("listCap")->count(), 1); // until "Ok"
        t.def<QRadioButton>("Option2")->click();
        QVERIFY(!t.def<QPushButton>("Command3")->isEnabled());
    }

    void frameCloseActsAsOkAndDestroys()
    {
        Cycle t;
        t.button("btnDefTest")->click();
        t.platform.clear();
        QVERIFY(t.definition()->close());
        QCOMPARE(t.platform.cueNames(), QStringList{"exitform.wav"});
        QCOMPARE(t.phase(), kStartup); // nothing set: "Defineste Test" stays, "Start Test" off
        QTRY_VERIFY(!t.definition());

        t.platform.clear();
        t.button("btnDefTest")->click();
        QCOMPARE(t.platform.cueNames(), QStringList{"birds_22khz_lp-1.wav"}); // created anew
        t.def<QPushButton>("Command1")->click();
        t.def<QPushButton>("Command3")->click();
        QCOMPARE(t.phase(), kDefined);
    }

    void okOnlyHides()
    {
        Cycle t;
        t.defineWholeCollection();
        t.button("Command4")->click();
        t.answer(9);
        t.button("Command3")->click();
        t.button("Command6")->click();
        t.platform.clear();
        t.button("btnDefTest")->click();
        QVERIFY(!t.platform.cueNames().contains("birds_22khz_lp-1.wav"));
        QVERIFY(t.def<QRadioButton>("Option1")->isChecked());
        QCOMPARE(t.def<QComboBox>("Combo1")->count(), 4);
    }

    void wholeCollectionNeverDrawsReservedChapters()
    {
        Cycle t;
        t.defineWholeCollection();
        t.button("Command4")->click();
        for (int p = 0; p < 9; ++p) {
            QVERIFY(t.shownIndex() <= 9);
            QVERIFY(t.shownChapter() != "Benzi de completare");
            t.button("Command1")->click();
        }
    }

    void tooFewProblemsLeaveTheScreen()
    {
        Collection c;
        test::addChapter(c, "A", 8);
        for (int i = 1; i <= 8; ++i)
            test::addProblem(c, "A", test::pictureIndex(i));
        test::RunningApp t(c);
        t.control<QPushButton>("btnDefTest")->click();
        child<QPushButton>(topLevel("frmDefTest"), "Command1")->click();
        child<QPushButton>(topLevel("frmDefTest"), "Command3")->click();
        t.platform.clear();
        t.control<QPushButton>("Command4")->click();
        QCOMPARE(t.platform.messages.size(), 1);
        QVERIFY(t.platform.messages[0].text.contains("cel putin 9 probleme"));
        QVERIFY(t.platform.cues.isEmpty());
        QVERIFY(!t.control<QPushButton>("Command1")->isEnabled());
        QVERIFY(t.action("mnuAddCap")->isEnabled());
        QVERIFY(t.control<QPushButton>("btnDefTest")->isEnabled()); // not stuck: define anew
    }

    void navigationAndMarks()
    {
        Cycle t;
        t.definePerChapter();
        t.button("Command4")->click();
        t.button("Command2")->click();
        QCOMPARE(t.control<QLineEdit>("Text1")->text(), QString("8"));
        t.button("Command1")->click();
        QCOMPARE(t.control<QLineEdit>("Text1")->text(), QString("0"));
        QVERIFY(!t.control<QRadioButton>("Option1_2")->isChecked());
        t.control<QRadioButton>("Option1_2")->click();
        t.button("Command1")->click();
        for (int i = 0; i < 5; ++i)
            QVERIFY(!t.control<QRadioButton>(QStringLiteral("Option1_%1").arg(i))->isChecked());
        t.button("Command2")->click();
        QVERIFY(t.control<QRadioButton>("Option1_2")->isChecked());

        // A second draw forgets every mark.
        t.button("Command4")->click();
        for (int p = 0; p < 9; ++p) {
            for (int i = 0; i < 5; ++i)
                QVERIFY(!t.control<QRadioButton>(QStringLiteral("Option1_%1").arg(i))->isChecked());
            t.button("Command1")->click();
        }
    }

    void unansweredTestIsNotCorrected()
    {
        Cycle t;
        t.definePerChapter();
        const QByteArray before = t.users();
        t.button("Command4")->click();
        for (int p = 0; p < 8; ++p) { // position 8 left unanswered
            t.control<QRadioButton>("Option1_1")->click();
            t.button("Command1")->click();
        }
        t.platform.clear();
        t.button("Command3")->click();
        QCOMPARE(t.platform.messageTexts(), QStringList{"Nu ati rezolvat tot testul"});
        QVERIFY(t.platform.cues.isEmpty());
        QCOMPARE(t.users(), before);
        QVERIFY(t.button("Command3")->isEnabled());
        QVERIFY(t.control<QLineEdit>("Text2")->text().isEmpty());
    }

    void resultThatCannotBeWrittenCanBeRetried()
    {
        Cycle t;
        t.definePerChapter();
        t.button("Command4")->click();
        t.answer(9);
        const QByteArray before = t.users();
        {
            test::FileSizeLimit full(before.size());
            t.platform.clear();
            t.button("Command3")->click();
        }
        QCOMPARE(t.platform.messages.size(), 1);
        QVERIFY(t.platform.messages[0].text.contains("Users.stn"));
        QCOMPARE(t.control<QLineEdit>("Text2")->text(), QString("10"));
        QVERIFY(t.button("Command3")->isEnabled());
        QVERIFY(!t.button("Command6")->isEnabled());
        QCOMPARE(t.users(), before);

        t.button("Command3")->click();
        QCOMPARE(t.phase(), kCorrected);
        QCOMPARE(recordOnDisk(t.users(), 1).Grade, 3);
        QCOMPARE(recordOnDisk(t.users(), 2).Grade, 10);
    }

    void changingTheUser_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("a name") << "  Maria Ionescu" << QByteArray("  Maria Ionescu");
        QTest::newRow("Cancel keeps NoName") << "" << QByteArray("NoName");
    }
    void changingTheUser()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        Cycle t;
        t.platform.textAnswers.push_back(typed);
        t.button("Command5")->click();
        QCOMPARE(t.platform.prompts,
                 QStringList{"Introduceti numele (nu mai mult de 30 caractere)"});
        QCOMPARE(t.platform.cueNames(), QStringList{"setareok.wav"});
        t.definePerChapter();
        t.button("Command4")->click();
        t.answer(0);
        t.button("Command3")->click();
        QCOMPARE(recordOnDisk(t.users(), 2).Name, FixedText<30>::fromBytes(stored));
        QCOMPARE(recordOnDisk(t.users(), 2).Grade, 1);
    }

    void stopwatchCountsUntilTheCorrection()
    {
        Cycle t;
        t.definePerChapter();
        t.button("Command4")->click();
        auto *timer = t.control<QTimer>("Timer1");
        QVERIFY(!timer->isActive());
        t.button("btnStartCrono")->click();
        QVERIFY(timer->isActive());
        QVERIFY(!t.button("btnStartCrono")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(t.control<QLineEdit>("Text3")->text(), QString("1"), 3000);
        t.answer(9);
        t.button("Command3")->click();
        QVERIFY(!timer->isActive());
        const QString shown = t.control<QLineEdit>("Text3")->text();
        QCOMPARE(recordOnDisk(t.users(), 2).ElapsedTicks, shown.toInt());
        t.button("Command6")->click();
        QVERIFY(t.control<QLineEdit>("Text3")->text().isEmpty());
    }

    void missingPictureLeavesTheBoxEmpty()
    {
        Cycle t;
        QDir(t.dir.filePath("probleme")).removeRecursively();
        t.definePerChapter();
        t.button("Command4")->click();
        QCOMPARE(t.control<QWidget>("Picture1")->property("imagePath").toString(), QString());
        t.button("Command1")->click();
        QCOMPARE(t.control<QLineEdit>("Text1")->text(), QString("1"));
    }
};

QTEST_MAIN(TstTestCycle)
#include "tst_test_cycle.moc"
