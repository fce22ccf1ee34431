// The problem editor's work without its screen: look-up, filing, re-filing,
// deleting, and the chapters' counters through any sequence of edits.
#include "editing/chapter_rules.h"
#include "editing/problem_editing.h"
#include "store/collection_io.h"
#include "store/data_files.h"
#include "support/driver.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <functional>
#include <random>

using namespace culegere;
using Kind = ProblemEditing::LookUp::Kind;
using State = ProblemEditing::State;
using Saved = ProblemEditing::Saved;

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
        for (int i = 1; i <= 4; ++i)
            test::addProblem(c, i <= 3 ? "A" : "B", test::pictureIndex(i), qint16(i % 5),
                             "C:\\Vechi");
        for (int i : {1, 2, 3, 4, 123})
            dir.write("probleme/probl" + test::pictureIndex(i) + ".jpg", "jpeg");
        editing = std::make_unique<ProblemEditing>(c, AppFolder(dir.path()));
    }
    QList<int> totals() const
    {
        return {c.ChapterTable[2].ProblemTotal, c.ChapterTable[3].ProblemTotal};
    }
};

// Every chapter's counter equals the problems filed under it, less the one
// open in the editor; "" when so.
QString countersBreak(const Collection &c, const ProblemEditing &e)
{
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row) {
        const FixedText<100> &name = c.ChapterTable[row].Name;
        int filed = int(chapterRows(c, name).size());
        if (e.cataloguedOpen() && c.ProblemTable[e.foundRow()].Chapter.Name == name)
            --filed;
        if (c.ChapterTable[row].ProblemTotal != filed)
            return "the counter of " + name.trimmedText();
    }
    return {};
}

} // namespace

class TstProblemEditing : public QObject
{
    Q_OBJECT

private slots:
    // A look-up opens a catalogued problem (its chapter gives up a unit
    // while it is open) or a new picture; an index naming nothing in
    // "probleme" opens nothing. What is open is filed only complete, under a
    // chapter that exists with an answer marked: a catalogued problem in its
    // row, with its picture or not, a new one after the last, under its
    // picture's own index.
    void lookUpsAndSaves_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("pictureGone");
        QTest::addColumn<int>("kind");
        QTest::newRow("a new picture, six characters")
            << "000123" << false << int(Kind::NewPicture);
        QTest::newRow("a catalogued problem") << "00002" << false << int(Kind::Catalogued);
        QTest::newRow("its picture gone") << "00002" << true << int(Kind::Catalogued);
        QTest::newRow("Cancel") << "" << false << int(Kind::NoSuchProblem);
        QTest::newRow("no such picture") << "00999" << false << int(Kind::NoSuchProblem);
        QTest::newRow("out of the folder") << "/../../x" << false << int(Kind::NoSuchProblem);
        QTest::newRow("two dots") << "..123" << false << int(Kind::NoSuchProblem);
    }
    void lookUpsAndSaves()
    {
        QFETCH(QString, typed);
        QFETCH(bool, pictureGone);
        QFETCH(int, kind);
        Editing e;
        const QString picture = e.dir.filePath("probleme/probl00002.jpg");
        if (pictureGone)
            QFile::remove(picture);
        const bool catalogued = kind == int(Kind::Catalogued);
        QCOMPARE(int(e.editing->lookUp(typed).kind), kind);
        QCOMPARE(e.editing->markedAnswer(), catalogued ? 2 : -1);
        QCOMPARE(e.totals(), QList<int>({catalogued ? 2 : 3, 1}));
        const bool opened = kind != int(Kind::NoSuchProblem);
        QCOMPARE(e.editing->state(), !opened      ? State::Idle
                                     : catalogued ? State::Catalogued
                                                  : State::NewPicture);
        if (!opened)
            return;
        for (const char *chapter : {"", "Nimic", "B"}) {
            e.editing->markAnswer(QByteArray(chapter) == "B" ? -1 : 4);
            QCOMPARE(e.editing->save(chapter), Saved::Incomplete);
        }
        e.editing->markAnswer(4);
        QCOMPARE(e.editing->save("B"), Saved::Saved);
        QCOMPARE(e.c.ProblemCount, catalogued ? 4 : 5);
        QCOMPARE(e.totals(), QList<int>({catalogued ? 2 : 3, 2}));
        const ProblemRecord &saved = e.c.ProblemTable[catalogued ? 3 : 6];
        QCOMPARE(saved.Chapter.Name.trimmed(), QByteArray("B"));
        QCOMPARE(saved.CorrectAnswer, 4);
        QCOMPARE(saved.ImagePath.trimmedText(),
                 QDir::toNativeSeparators(catalogued ? picture
                                                     : e.dir.path() + "/Probleme/probl00123.jpg"));
    }

    // The last problem takes the row deleted; the picture goes; the answer
    // must be chosen again for the next problem.
    void deleting_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("totals");
        QTest::newRow("from the middle") << "00002" << QList<int>{2, 1};
        QTest::newRow("the last row") << "00004" << QList<int>{3, 0};
    }
    void deleting()
    {
        QFETCH(QString, typed);
        QFETCH(QList<int>, totals);
        Editing e;
        e.editing->lookUp(typed);
        QCOMPARE(e.editing->remove(), ProblemEditing::Deleted::Deleted);
        QCOMPARE(e.c.ProblemCount, 3);
        QStringList left;
        for (int row = 2; row <= 4; ++row)
            left.append(e.c.ProblemTable[row].ImagePath.trimmedText().right(9).left(5));
        QCOMPARE(left, QStringList({"00001", typed == "00002" ? "00004" : "00002", "00003"}));
        QVERIFY(e.dir.exists("probleme/probl" + typed + ".jpg"));
        QCOMPARE(e.totals(), totals);
        e.editing->close();
        QCOMPARE(e.totals(), totals);
        QCOMPARE(e.editing->lookUp(typed).kind, ProblemEditing::LookUp::NoSuchProblem);
        e.editing->lookUp("00123");
        QCOMPARE(e.editing->save("A"), Saved::Incomplete);
    }

    void answerOutsideTheVariants()
    {
        Editing e;
        e.c.ProblemTable[2].CorrectAnswer = 7;
        QCOMPARE(e.editing->lookUp("00001").answer, -1);
        QCOMPARE(e.editing->save("A"), Saved::Incomplete);
        e.editing->markAnswer(0);
        QCOMPARE(e.editing->save("A"), Saved::Saved);
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
        QCOMPARE(e.editing->save("A"), Saved::CatalogueFull);
        QCOMPARE(e.c.ProblemCount, Collection::MaxProblems);
        e.editing->close(); // a catalogued problem can still be re-filed
        e.editing->lookUp("00004");
        e.editing->markAnswer(0);
        QCOMPARE(e.editing->save("A"), Saved::Saved);
    }

    // Random sequences of chapter and editor operations: the counters agree
    // at every step, every stored path names a picture, no row outside the
    // tables is touched (a debug build stops at the first), and what the
    // exit saves reads back unchanged.
    void randomEditingKeepsTheCounters()
    {
        std::mt19937 rng(20261206);
        auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
        const QStringList names = {"A", "B", "C", " D", "Nimic", ""};
        test::TempAppFolder dir;
        const auto reloaded = std::make_unique<Collection>();
        for (int sequence = 0; sequence < 1000; ++sequence) {
            Collection c;
            test::addChapter(c, "A", 2);
            test::addChapter(c, "B", 1);
            for (int i = 1; i <= 3; ++i)
                test::addProblem(c, i <= 2 ? "A" : "B", test::pictureIndex(i));
            for (int i = 1; i <= 6; ++i) { // the pictures a delete took
                if (const QString name = "probleme/probl" + test::pictureIndex(i) + ".jpg";
                    !dir.exists(name))
                    dir.write(name, "jpeg");
            }
            ProblemEditing editing(c, AppFolder(dir.path()));
            ChapterRules chapters(c);
            // Each step is refused where the screen's buttons do not lead to it.
            auto name = [&] { return names[pick(names.size())]; };
            auto index = [&] { return test::pictureIndex(1 + pick(7)); };
            const std::function<void()> steps[] = {
                [&] { chapters.add(name()); },
                [&] { chapters.remove(pick(c.ChapterCount + 1) - 1); },
                [&] { chapters.rename(pick(2), names[pick(4)], name()); },
                [&] { editing.open(); },
                [&] { editing.lookUp(index()); },
                [&] { editing.lookUp(pick(4) == 0 ? QStringLiteral("../x") : "0" + index()); },
                [&] { editing.markAnswer(pick(6) - 1); },
                [&] { editing.save(name()); },
                [&] { editing.remove(); },
                [&] { editing.close(); },
            };
            for (int step = 0; step < 25; ++step) {
                steps[pick(std::size(steps))]();
                const QByteArray where =
                    QString("sequence %1 step %2").arg(sequence).arg(step).toUtf8();
                QVERIFY2(countersBreak(c, editing).isEmpty(), where);
                for (int row = 2; row <= c.lastProblemRow(); ++row)
                    QVERIFY2(test::namesAPicture(c.ProblemTable[row].ImagePath), where);
            }

            // The exit: the editor lets go, the tables are saved, and read
            // back they would be saved the same, every 200th through the disk.
            editing.close();
            QCOMPARE(test::countersBreak(c), QString());
            const QByteArray caps = chaptersFileForExit({}, c),
                             problems = problemsFileForExit({}, c);
            if (sequence % 200 == 0) {
                DataFiles files{AppFolder(dir.path())};
                QVERIFY(files.openAndLoad(*reloaded).ok());
                QVERIFY(files.saveAtExit(c).ok());
                QVERIFY(DataFiles(AppFolder(dir.path())).openAndLoad(*reloaded).ok());
            } else {
                QVERIFY(loadCollection({}, caps, problems, *reloaded).ok());
            }
            QCOMPARE(chaptersFileForExit({}, *reloaded), caps);
            QCOMPARE(problemsFileForExit({}, *reloaded), problems);
        }
    }
};

QTEST_GUILESS_MAIN(TstProblemEditing)
#include "tst_problem_editing.moc"
