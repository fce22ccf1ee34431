// The problem editor's work without its screen: look-up, filing, re-filing,
// deleting, and the chapters' counters through any sequence of edits.
#include "editing/chapter_rules.h"
#include "editing/problem_editing.h"
#include "store/collection_io.h"
#include "store/data_files.h"
#include "support/temp_app_folder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <random>

using namespace culegere;
using Kind = ProblemEditing::LookUp::Kind;
using State = ProblemEditing::State;

namespace {

// Chapters A (problems 1..3) and B (problem 4), filed from an older folder;
// pictures 1..4 and a new one, 123, in "probleme".
struct Editing
{
    test::TempAppFolder dir;
    Collection c;
    std::unique_ptr<ProblemEditing> editing;

    Editing()
    {
        test::addChapter(c, "A", 3);
        test::addChapter(c, "B", 1);
        for (int i = 1; i <= 4; ++i) {
            test::addProblem(c, i <= 3 ? "A" : "B", test::pictureIndex(i), qint16(i % 5),
                             "C:\\Vechi");
            touch(test::pictureIndex(i));
        }
        touch("00123");
        editing = std::make_unique<ProblemEditing>(c, AppFolder(dir.path()));
    }
    void touch(const QString &i) const { dir.write("probleme/probl" + i + ".jpg", "jpeg"); }
    qint16 total(int row) const { return c.ChapterTable[row].ProblemTotal; }
};

// Every chapter's counter equals the problems filed under it (less the one
// problem open in the editor, when one is).
// The problems filed under each chapter row, counted afresh.
QList<int> filedCounts(const Collection &c)
{
    QList<int> counts(c.lastChapterRow() + 1, 0);
    for (int p = 2; p <= c.lastProblemRow(); ++p) {
        const int row = findChapter(c, c.ProblemTable[p].Chapter.Name.trimmedText());
        if (row != 0)
            ++counts[row];
    }
    return counts;
}

// The catalogue as a save at exit and a reload give it back.
bool survivesSaveAndReload(const Collection &c)
{
    static Collection reloaded; // large: made once, each load fills what it compares
    if (!loadCollection({}, chaptersFileForExit({}, c), problemsFileForExit({}, c), reloaded).ok())
        return false;
    if (reloaded.ChapterCount != c.ChapterCount || reloaded.ProblemCount != c.ProblemCount)
        return false;
    for (int row = 2; row <= c.lastChapterRow(); ++row) {
        if (reloaded.ChapterTable[row].Name != c.ChapterTable[row].Name)
            return false;
    }
    for (int row = 2; row <= c.lastProblemRow(); ++row) {
        const ProblemRecord &a = reloaded.ProblemTable[row], &b = c.ProblemTable[row];
        if (a.ImagePath != b.ImagePath || a.Chapter.Name != b.Chapter.Name ||
            a.CorrectAnswer != b.CorrectAnswer)
            return false;
    }
    return true;
}

bool countersAgree(const Collection &c, const ProblemEditing &e)
{
    const QList<int> counted = filedCounts(c);
    int openChapter = 0;
    if (e.cataloguedOpen()) {
        for (int row = 2; row <= c.lastChapterRow(); ++row) {
            if (c.ChapterTable[row].Name == c.ProblemTable[e.foundRow()].Chapter.Name)
                openChapter = row;
        }
    }
    for (int row = 2; row <= c.lastChapterRow(); ++row) {
        const int expected = counted[row] - (row == openChapter ? 1 : 0);
        if (c.ChapterTable[row].ProblemTotal != expected)
            return false;
    }
    return true;
}

} // namespace

class TstProblemEditing : public QObject
{
    Q_OBJECT

private slots:
    void lookUps_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("row");
        QTest::newRow("a new picture") << "00123" << int(Kind::NewPicture) << 0;
        QTest::newRow("a catalogued problem") << "00002" << int(Kind::Catalogued) << 3;
        QTest::newRow("six characters: the last five count")
            << "000002" << int(Kind::Catalogued) << 3;
        QTest::newRow("four characters") << "0123" << int(Kind::NoSuchProblem) << 0;
        QTest::newRow("Cancel") << "" << int(Kind::NoSuchProblem) << 0;
        QTest::newRow("no such picture") << "00999" << int(Kind::NoSuchProblem) << 0;
        QTest::newRow("out of the folder") << "/../../x" << int(Kind::NoSuchProblem) << 0;
        QTest::newRow("two dots") << "..123" << int(Kind::NoSuchProblem) << 0;
    }
    void lookUps()
    {
        QFETCH(QString, typed);
        QFETCH(int, kind);
        QFETCH(int, row);
        Editing e;
        const ProblemEditing::LookUp found = e.editing->lookUp(typed);
        QCOMPARE(int(found.kind), kind);
        QCOMPARE(e.editing->foundRow(), row);
        const bool open = kind != int(Kind::NoSuchProblem);
        QCOMPARE(e.editing->state(), kind == int(Kind::Catalogued) ? State::Catalogued
                                     : open                        ? State::NewPicture
                                                                   : State::Idle);
        QCOMPARE(e.editing->searchPath().isEmpty(), !open);
        if (kind == int(Kind::Catalogued)) {
            QCOMPARE(found.chapter, QString("A"));
            QCOMPARE(found.answer, 2);
            QCOMPARE(found.picture, e.dir.filePath("probleme/probl00002.jpg"));
            QCOMPARE(e.total(2), 2); // the open problem's unit is taken
        }
    }

    void catalogedPictureMissing()
    {
        Editing e;
        QFile::remove(e.dir.filePath("probleme/probl00001.jpg"));
        const ProblemEditing::LookUp found = e.editing->lookUp("00001");
        QCOMPARE(found.kind, Kind::Catalogued);
        QVERIFY(found.pictureMissing);
        QVERIFY(found.picture.isEmpty());
        e.editing->markAnswer(4);
        QCOMPARE(e.editing->save("B"), ProblemEditing::Saved::Saved); // can still be re-filed
        QCOMPARE(e.total(2), 2);
        QCOMPARE(e.total(3), 2);
    }

    void newProblemIsAppended_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("five characters") << "00123";
        QTest::newRow("six: stored under the picture's own index") << "000123";
    }
    void newProblemIsAppended()
    {
        QFETCH(QString, typed);
        Editing e;
        e.editing->lookUp(typed);
        e.editing->markAnswer(1);
        QCOMPARE(e.editing->save("B"), ProblemEditing::Saved::Saved);
        QCOMPARE(e.c.ProblemCount, 5);
        const ProblemRecord &row = e.c.ProblemTable[6];
        QCOMPARE(row.Chapter.Name.trimmed(), QByteArray("B"));
        QCOMPARE(row.CorrectAnswer, 1);
        const QByteArray path = row.ImagePath.trimmed();
        QVERIFY(path.endsWith(QDir::toNativeSeparators("/Probleme/probl00123.jpg").toUtf8()));
        QCOMPARE(e.total(3), 2);
        QCOMPARE(e.editing->state(), State::Idle);
        QCOMPARE(e.editing->markedAnswer(), -1);
    }

    void incompleteSavesChangeNothing_data()
    {
        QTest::addColumn<QString>("chapter");
        QTest::addColumn<int>("answer");
        QTest::newRow("no chapter") << "" << 0;
        QTest::newRow("a chapter that does not exist") << "Nimic" << 0;
        QTest::newRow("no answer marked") << "A" << -1;
    }
    void incompleteSavesChangeNothing()
    {
        QFETCH(QString, chapter);
        QFETCH(int, answer);
        Editing e;
        e.editing->lookUp("00123");
        e.editing->markAnswer(answer);
        QCOMPARE(e.editing->save(chapter), ProblemEditing::Saved::Incomplete);
        QCOMPARE(e.c.ProblemCount, 4);
        QCOMPARE(e.editing->state(), State::NewPicture); // still open
        QCOMPARE(e.total(2), 3);
    }

    // Close, the menu command again, and every attempt to end the program let
    // whatever is open go: nothing can be saved or deleted until a look-up.
    void lettingGoLeavesNothingOpen_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byTheMenu");
        QTest::newRow("a catalogued problem, closed") << "00002" << false;
        QTest::newRow("a new picture, closed") << "00123" << false;
        QTest::newRow("a catalogued problem, the menu again") << "00002" << true;
    }
    void lettingGoLeavesNothingOpen()
    {
        QFETCH(QString, typed);
        QFETCH(bool, byTheMenu);
        Editing e;
        const Collection before = e.c;
        e.editing->lookUp(typed);
        byTheMenu ? e.editing->open() : e.editing->close();
        QCOMPARE(e.editing->state(), State::Idle);
        QCOMPARE(e.editing->controls(), (ProblemEditing::Controls{true, false, false}));
        e.editing->markAnswer(2);
        QCOMPARE(e.editing->save("B"), ProblemEditing::Saved::Incomplete);
        QCOMPARE(e.editing->remove(), ProblemEditing::Deleted::NothingOpen);
        QCOMPARE(e.c.ProblemCount, before.ProblemCount);
        for (int row = 2; row <= before.lastProblemRow(); ++row)
            QCOMPARE(e.c.ProblemTable[row], before.ProblemTable[row]);
        for (int row = 2; row <= before.lastChapterRow(); ++row)
            QCOMPARE(e.c.ChapterTable[row], before.ChapterTable[row]);
    }

    void lookUpThenCloseChangesNothing()
    {
        Editing e;
        const Collection before = e.c;
        e.editing->lookUp("00002");
        e.editing->markAnswer(4); // chosen, never saved
        e.editing->close();
        for (int row = 2; row <= 5; ++row)
            QCOMPARE(e.c.ProblemTable[row], before.ProblemTable[row]);
        QCOMPARE(e.total(2), 3);
        QCOMPARE(e.total(3), 1);
    }

    void refilingMovesTheUnit()
    {
        Editing e;
        e.editing->lookUp("00002");
        e.editing->markAnswer(2);
        QCOMPARE(e.editing->save("B"), ProblemEditing::Saved::Saved);
        QCOMPARE(e.total(2), 2);
        QCOMPARE(e.total(3), 2);
        const ProblemRecord &row = e.c.ProblemTable[3];
        QCOMPARE(row.Chapter.Name.trimmed(), QByteArray("B"));
        QCOMPARE(row.CorrectAnswer, 2);
        QCOMPARE(row.ImagePath.trimmedText(), e.dir.path() + "/probleme/probl00002.jpg");
    }

    void deletingFromTheMiddle()
    {
        Editing e;
        e.editing->lookUp("00002");
        QCOMPARE(e.editing->remove(), ProblemEditing::Deleted::Deleted);
        QCOMPARE(e.c.ProblemCount, 3);
        QCOMPARE(e.c.ProblemTable[3].ImagePath.trimmed().right(9), QByteArray("00004.jpg"));
        QVERIFY(!e.dir.exists("probleme/probl00002.jpg"));
        QCOMPARE(e.total(2), 2);
        QCOMPARE(e.total(3), 1);
        const Collection after = e.c;
        e.editing->close();
        for (int row = 2; row <= 4; ++row)
            QCOMPARE(e.c.ProblemTable[row], after.ProblemTable[row]);
        QCOMPARE(e.total(2), 2);
    }

    void deletingTheLastRow()
    {
        Editing e;
        const Collection before = e.c;
        e.editing->lookUp("00004");
        QCOMPARE(e.editing->remove(), ProblemEditing::Deleted::Deleted);
        QCOMPARE(e.c.ProblemCount, 3);
        for (int row = 2; row <= 4; ++row)
            QCOMPARE(e.c.ProblemTable[row], before.ProblemTable[row]);
        QCOMPARE(e.total(3), 0);
    }

    void deleteWithNothingOpen()
    {
        Editing e;
        QCOMPARE(e.editing->remove(), ProblemEditing::Deleted::NothingOpen);
        e.editing->lookUp("00999");
        QCOMPARE(e.editing->remove(), ProblemEditing::Deleted::NothingOpen);
    }

    void afterADeleteAnAnswerMustBeChosenAgain()
    {
        Editing e;
        e.editing->lookUp("00001");
        e.editing->remove();
        e.editing->lookUp("00123");
        QCOMPARE(e.editing->save("A"), ProblemEditing::Saved::Incomplete);
    }

    void answerOutsideTheVariants()
    {
        Editing e;
        e.c.ProblemTable[2].CorrectAnswer = 7;
        const ProblemEditing::LookUp found = e.editing->lookUp("00001");
        QCOMPARE(found.answer, -1);
        QCOMPARE(e.editing->save("A"), ProblemEditing::Saved::Incomplete);
        e.editing->markAnswer(0);
        QCOMPARE(e.editing->save("A"), ProblemEditing::Saved::Saved);
        QCOMPARE(e.c.ProblemTable[2].CorrectAnswer, 0);
    }

    void the7000thProblemIsRefused()
    {
        Editing e;
        for (int i = 5; i <= Collection::MaxProblems; ++i)
            test::addProblem(e.c, "A", QString::number(10000 + i));
        recountChapters(e.c);
        e.editing->lookUp("00123");
        e.editing->markAnswer(0);
        QCOMPARE(e.editing->save("A"), ProblemEditing::Saved::CatalogueFull);
        QCOMPARE(e.c.ProblemCount, Collection::MaxProblems);
        // A catalogued problem can still be re-filed.
        e.editing->close();
        e.editing->lookUp("00004");
        e.editing->markAnswer(0);
        QCOMPARE(e.editing->save("A"), ProblemEditing::Saved::Saved);
    }

    // Thousands of random sequences of chapter and editor operations: the
    // counters agree at every step, no row outside the tables is touched (a
    // debug build stops at the first), and the collection survives an exit
    // save and a reload unchanged.
    void randomEditingKeepsTheCounters()
    {
        std::mt19937 rng(20261206);
        auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
        const QStringList chapterNames = {"A", "B", "C", " D", "Nimic", ""};
        for (int sequence = 0; sequence < 2000; ++sequence) {
            test::TempAppFolder dir;
            Collection c;
            test::addChapter(c, "A", 2);
            test::addChapter(c, "B", 1);
            for (int i = 1; i <= 3; ++i)
                test::addProblem(c, i <= 2 ? "A" : "B", test::pictureIndex(i));
            for (int i = 1; i <= 6; ++i)
                dir.write("probleme/probl" + test::pictureIndex(i) + ".jpg", "jpeg");
            auto editing = std::make_unique<ProblemEditing>(c, AppFolder(dir.path()));
            ChapterRules chapters(c);

            for (int step = 0; step < 25; ++step) {
                switch (pick(11)) {
                case 0:
                    chapters.add(chapterNames[pick(chapterNames.size())]);
                    break;
                case 1:
                    chapters.remove(pick(c.ChapterCount + 1) - 1);
                    break;
                case 2:
                    chapters.rename(pick(2), chapterNames[pick(4)],
                                    chapterNames[pick(chapterNames.size())]);
                    break;
                case 3:
                    editing->open();
                    break;
                case 4:
                case 5:
                    if (editing->controls().lookUp)
                        editing->lookUp(pick(8) == 0 ? QStringLiteral("../x")
                                                     : test::pictureIndex(1 + pick(7)));
                    break;
                case 6:
                    editing->markAnswer(pick(6) - 1);
                    break;
                case 7:
                    if (editing->controls().save)
                        editing->save(chapterNames[pick(chapterNames.size())]);
                    break;
                case 8:
                    if (editing->controls().remove)
                        editing->remove();
                    break;
                case 9:
                    editing->close();
                    break;
                case 10: // a longer index names the picture of its last five characters
                    if (editing->controls().lookUp)
                        editing->lookUp("0" + test::pictureIndex(1 + pick(7)));
                    break;
                }
                const QByteArray where =
                    QString("sequence %1 step %2").arg(sequence).arg(step).toUtf8();
                QVERIFY2(countersAgree(c, *editing), where);
                for (int row = 2; row <= c.lastProblemRow(); ++row)
                    QVERIFY2(test::namesAPicture(c.ProblemTable[row].ImagePath), where);
                QVERIFY2(survivesSaveAndReload(c), where);
                QVERIFY(c.ChapterCount >= 0 && c.ChapterCount <= Collection::MaxChapters);
                QVERIFY(c.ProblemCount >= 0 && c.ProblemCount <= Collection::MaxProblems);
            }

            // The exit: the editor lets go, the tables are saved and read back.
            editing->close();
            QVERIFY(countersAgree(c, *editing));
            for (int row = 2; row <= c.lastProblemRow(); ++row)
                QVERIFY(findChapter(c, c.ProblemTable[row].Chapter.Name.trimmedText()) != 0);
            // Every 50th through the files on disk, the others through their bytes.
            Collection reloaded;
            if (sequence % 50 == 0) {
                DataFiles files{AppFolder(dir.path())};
                QVERIFY(files.openAndLoad(reloaded).ok());
                QVERIFY(files.saveAtExit(c).ok());
                QVERIFY(DataFiles(AppFolder(dir.path())).openAndLoad(reloaded).ok());
            } else {
                QVERIFY(loadCollection({}, chaptersFileForExit({}, c), problemsFileForExit({}, c),
                                       reloaded)
                            .ok());
            }
            QCOMPARE(reloaded.ChapterCount, c.ChapterCount);
            QCOMPARE(reloaded.ProblemCount, c.ProblemCount);
            for (int row = 2; row <= c.lastChapterRow(); ++row) {
                QCOMPARE(reloaded.ChapterTable[row].Name, c.ChapterTable[row].Name);
                QCOMPARE(reloaded.ChapterTable[row].ProblemTotal, c.ChapterTable[row].ProblemTotal);
            }
            for (int row = 2; row <= c.lastProblemRow(); ++row) {
                QCOMPARE(reloaded.ProblemTable[row].ImagePath, c.ProblemTable[row].ImagePath);
                QCOMPARE(reloaded.ProblemTable[row].Chapter.Name, c.ProblemTable[row].Chapter.Name);
                QCOMPARE(reloaded.ProblemTable[row].CorrectAnswer,
                         c.ProblemTable[row].CorrectAnswer);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TstProblemEditing)
#include "tst_problem_editing.moc"
