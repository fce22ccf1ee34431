// Drawing a test: the scaling of the random values, the reserved chapters,
// the whole-collection and the per-chapter draw, and the draws refused.
#include "support/temp_app_folder.h"
#include "testing/draw.h"

#include <QtTest>

#include <memory>
#include <random>
#include <set>

using namespace culegere;

namespace {

struct Catalogue
{
    Collection collection;
    TestDefinition definition;
    CurrentTest test;
    ProblemOrder order = identityOrder();

    void add(const QByteArray &chapter, int problems)
    {
        for (int i = 0; i < problems; ++i)
            test::addProblem(collection, chapter, test::pictureIndex(collection.ProblemCount + 1));
    }
    void choose(const QByteArray &chapter, int total, int drawCount)
    {
        ChapterRecord &row = definition.TestChapters[definition.TestChapterCount++];
        row.Name.assign(chapter);
        row.ProblemTotal = qint16(total);
        row.DrawCount = qint16(drawCount);
    }
    QList<int> drawn() const
    {
        return QList<int>(test.TestProblems.begin(), test.TestProblems.begin() + 9);
    }
};

} // namespace

class TstDraw : public QObject
{
    Q_OBJECT

private slots:
    void randomIndex_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<double>("r");
        QTest::addColumn<int>("index");
        QTest::newRow("0") << 10 << 0.0 << 0;
        QTest::newRow("float rounding up to 1 stays inside") << 3 << 0.99999999999 << 2;
        QTest::newRow("largest generated value") << 6999 << 1.0 - 1.0 / (1 << 24) << 6998;
        QTest::newRow("nothing to pick") << 0 << 0.7 << 0;
    }
    void randomIndex()
    {
        QFETCH(int, n);
        QFETCH(double, r);
        QFETCH(int, index);
        QCOMPARE(int(culegere::randomIndex(qint16(n), r)), index);
    }

    // Over many draws: nine different problems, never one of a reserved
    // chapter, per chapter in the order the chapters were added (a chapter's
    // total counted afresh from the catalogue), each unanswered, and every
    // problem that may be drawn is drawn at some point.
    void drawsKeepTheirRules_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::newRow("whole collection") << true;
        QTest::newRow("per chapter") << false;
    }
    void drawsKeepTheirRules()
    {
        QFETCH(bool, whole);
        Catalogue c;
        c.add("Benzi de completare", 3);            // rows 2..4
        c.add("A", 6);                              // rows 5..10
        c.add("  Benzi de completare subtiri ", 2); // rows 11..12
        c.add("B", 5);                              // rows 13..17
        c.add("*Rezerva", 2);                       // rows 18..19
        c.add("   *x", 1);                          // row 20
        // Names close to the reserved ones, rows 21..23.
        for (const char *name : {"benzi de completare", "Benzi de completare 2", "Ecuatii *"})
            c.add(name, 1);
        std::set<int> drawable = {5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17, 21};
        if (whole) { // from a larger catalogue
            c.definition.TestWholeCollection = true;
            c.add("C", 200);
            for (int row = 22; row <= 223; ++row)
                drawable.insert(row);
        } else {
            c.choose("B", 40, 4); // a stale total
            c.choose("A", 6, 4);
            c.choose("benzi de completare", 1, 1);
        }
        std::mt19937 rng(7);
        const RandomSource random = [&rng] { return (rng() >> 8) / double(1 << 24); };
        std::set<int> seen;
        for (int i = 0; i < 600; ++i) {
            for (int row = 2; row <= c.collection.lastProblemRow(); ++row)
                c.collection.ProblemTable[row].ChosenAnswer = 2;
            QCOMPARE(drawTest(c.collection, c.definition, c.test, c.order, random).outcome,
                     DrawResult::Drawn);
            const QList<int> rows = c.drawn();
            QCOMPARE(std::set<int>(rows.begin(), rows.end()).size(), size_t(9));
            for (int p = 0; p < 9; ++p) {
                const ProblemRecord &problem = c.collection.ProblemTable[rows[p]];
                QVERIFY2(drawable.count(rows[p]), qPrintable(QString::number(rows[p])));
                QCOMPARE(problem.ChosenAnswer, ProblemRecord::NoAnswer);
                if (!whole)
                    QCOMPARE(problem.Chapter.Name.trimmed(),
                             QByteArray(p < 4   ? "B"
                                        : p < 8 ? "A"
                                                : "benzi de completare"));
            }
            seen.insert(rows.begin(), rows.end());
        }
        QCOMPARE(seen, drawable);
        if (!whole)
            QCOMPARE(c.definition.TestChapters[0].ProblemTotal, 5);
    }

    // A draw that cannot fill the nine positions, or leaves one over, draws
    // nothing: the test and the catalogue stay as they were.
    void refusedDrawsChangeNothing_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QList<int>>("problems"); // per chapter C0, C1, ...
        QTest::addColumn<QList<int>>("asked");    // per chapter
        QTest::addColumn<int>("outcome");
        QTest::newRow("whole: 8 besides 20 reserved")
            << true << QList<int>{20, 8} << QList<int>{} << int(DrawResult::TooFewProblems);
        const QList<int> tens = {10, 10, 10};
        QTest::newRow("no chapter") << false << tens << QList<int>{} << int(DrawResult::NotDefined);
        QTest::newRow("4 + 4") << false << tens << QList<int>{4, 4} << int(DrawResult::NotDefined);
        QTest::newRow("4 + 5 + 1")
            << false << tens << QList<int>{4, 5, 1} << int(DrawResult::NotDefined);
        QTest::newRow("a count below one")
            << false << tens << QList<int>{10, -1} << int(DrawResult::NotDefined);
        QTest::newRow("5 of a chapter now holding 3")
            << false << QList<int>{20, 3} << QList<int>{4, 5} << int(DrawResult::ChapterTooSmall);
    }
    void refusedDrawsChangeNothing()
    {
        QFETCH(bool, whole);
        QFETCH(QList<int>, problems);
        QFETCH(QList<int>, asked);
        QFETCH(int, outcome);
        Catalogue c;
        for (int i = 0; i < problems.size(); ++i) {
            const QByteArray chapter =
                whole && i == 0 ? "Benzi de completare" : "C" + QByteArray::number(i);
            c.add(chapter, problems[i]);
            if (i < asked.size())
                c.choose(chapter, 9, asked[i]);
        }
        c.definition.TestWholeCollection = whole;
        c.test.TestProblems.fill(5);
        const auto before = std::make_unique<Collection>(c.collection);
        const DrawResult result =
            drawTest(c.collection, c.definition, c.test, c.order, [] { return 0.5; });
        QCOMPARE(int(result.outcome), outcome);
        if (outcome == DrawResult::ChapterTooSmall)
            QCOMPARE(result.chapter.trimmed(), QByteArray("C1"));
        QCOMPARE(c.drawn(), QList<int>(9, 5));
        for (int row = 2; row <= before->lastProblemRow(); ++row)
            QCOMPARE(c.collection.ProblemTable[row], before->ProblemTable[row]);
    }

    // Two versions beside a drawn test: drawn as the definition says, no
    // problem in two of the three tests (with just enough, every drawable
    // problem once), nothing reserved; too few draw nothing.
    void versionsShareNoProblem_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::addColumn<int>("a"); // problems of chapter A, beside 13 of B
        QTest::addColumn<int>("outcome");
        QTest::newRow("whole: 27, just enough") << true << 14 << int(DrawResult::Drawn);
        QTest::newRow("whole: 26") << true << 13 << int(DrawResult::TooFewProblems);
        QTest::newRow("B 4 and A 5: 15 of A") << false << 15 << int(DrawResult::Drawn);
        QTest::newRow("B 4 and A 5: 14 of A") << false << 14 << int(DrawResult::ChapterTooSmall);
    }
    void versionsShareNoProblem()
    {
        QFETCH(bool, whole);
        QFETCH(int, a);
        QFETCH(int, outcome);
        Catalogue c;
        c.add("Benzi de completare", 4);
        c.add("A", a);
        c.add("B", 13);
        c.definition.TestWholeCollection = whole;
        c.choose("B", 13, 4);
        c.choose("A", a, 5);
        std::mt19937 rng(3);
        const RandomSource random = [&rng] { return (rng() >> 8) / double(1 << 24); };
        QCOMPARE(drawTest(c.collection, c.definition, c.test, c.order, random).outcome,
                 DrawResult::Drawn);
        std::set<int> all(c.test.TestProblems.begin(), c.test.TestProblems.begin() + 9);
        const VersionsDrawn drawn =
            drawVersions(c.collection, c.definition, c.test.TestProblems, 2, random);
        QCOMPARE(int(drawn.result.outcome), outcome);
        if (outcome == DrawResult::ChapterTooSmall)
            QCOMPARE(drawn.result.chapter.trimmedText(), QString("A"));
        for (const auto &version : drawn.versions) {
            for (int p = 0; p < 9; ++p) {
                QVERIFY(all.insert(version[p]).second);
                const auto chapter = c.collection.ProblemTable[version[p]].Chapter.Name.trimmed();
                QVERIFY(whole ? chapter != "Benzi de completare" : chapter == (p < 4 ? "B" : "A"));
            }
        }
        QCOMPARE(int(all.size()), outcome == DrawResult::Drawn ? 27 : 9);
    }
};

QTEST_GUILESS_MAIN(TstDraw)
#include "tst_draw.moc"
