// Drawing a test: the scaling of the random values, the reserved chapters,
// the whole-collection and the per-chapter draw, and the draws refused.
#include "support/temp_app_folder.h"
#include "testing/draw.h"

#include <QtTest>

#include <deque>
#include <random>
#include <set>

using namespace culegere;

namespace {

// Random values from a script; 0 once it runs out.
RandomSource script(std::deque<double> values)
{
    auto shared = std::make_shared<std::deque<double>>(std::move(values));
    return [shared] {
        if (shared->empty())
            return 0.0;
        const double r = shared->front();
        shared->pop_front();
        return r;
    };
}

// The value that scales to index i of n.
double pick(int i, int n)
{
    return (i + 0.5) / n;
}

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
    DrawResult draw(const RandomSource &random)
    {
        return drawTest(collection, definition, test, order, random);
    }
    QList<int> drawn() const
    {
        return QList<int>(test.TestProblems.begin(), test.TestProblems.begin() + 9);
    }
    QByteArray chapterOf(int row) const
    {
        return collection.ProblemTable[row].Chapter.Name.trimmed();
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
        QTest::newRow("middle") << 10 << 0.5 << 5;
        QTest::newRow("just below 1") << 10 << 0.99999 << 9;
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

    void reservedCategories_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("reserved");
        QTest::newRow("strips") << QByteArray("Benzi de completare") << true;
        QTest::newRow("thin strips") << QByteArray("Benzi de completare subtiri") << true;
        QTest::newRow("blanks around") << QByteArray("  Benzi de completare  ") << true;
        QTest::newRow("lower case is not") << QByteArray("benzi de completare") << false;
        QTest::newRow("star") << QByteArray("*Rezerva") << true;
        QTest::newRow("star after blanks") << QByteArray("   *x") << true;
        QTest::newRow("star inside is not") << QByteArray("Ecuatii *") << false;
        QTest::newRow("a longer name is not") << QByteArray("Benzi de completare 2") << false;
    }
    void reservedCategories()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, reserved);
        QCOMPARE(isReservedCategory(FixedText<100>::fromBytes(name)), reserved);
    }

    void wholeCollectionFollowsTheScaledShuffle()
    {
        Catalogue c;
        c.add("Ecuatii", 10); // rows 2..11
        c.definition.TestWholeCollection = true;
        // Eleven exchanges; the first swaps order[2] and order[11], the rest
        // exchange an entry with itself.
        std::deque<double> values = {pick(0, 10), pick(9, 10)};
        for (int i = 0; i < 10; ++i)
            values.insert(values.end(), {pick(i, 10), pick(i, 10)});
        QCOMPARE(c.draw(script(values)).outcome, DrawResult::Drawn);
        QCOMPARE(c.drawn(), QList<int>({11, 3, 4, 5, 6, 7, 8, 9, 10}));
        QCOMPARE(int(c.order[2]), 11);
        QCOMPARE(int(c.order[11]), 2);
        for (int row : c.drawn())
            QCOMPARE(c.collection.ProblemTable[row].ChosenAnswer, ProblemRecord::NoAnswer);
    }

    void reservedChaptersAreNeverDrawn()
    {
        Catalogue c;
        c.add("Benzi de completare", 3); // rows 2..4 come first in the order
        c.add("  Benzi de completare subtiri ", 2);
        c.add("*Rezerva", 2);
        c.add("benzi de completare", 1); // not reserved
        c.add("Ecuatii", 8);
        c.definition.TestWholeCollection = true;
        QCOMPARE(c.draw(script({})).outcome, DrawResult::Drawn);
        QCOMPARE(c.drawn(), QList<int>({9, 10, 11, 12, 13, 14, 15, 16, 17}));

        std::mt19937 rng(7);
        const RandomSource random = [&rng] { return (rng() >> 8) / double(1 << 24); };
        for (int i = 0; i < 200; ++i) {
            QCOMPARE(c.draw(random).outcome, DrawResult::Drawn);
            const QList<int> rows = c.drawn();
            QCOMPARE(std::set<int>(rows.begin(), rows.end()).size(), size_t(9));
            for (int row : rows) {
                QVERIFY(row >= 9 && row <= 17);
                QVERIFY(!isReservedCategory(c.collection.ProblemTable[row].Chapter.Name));
            }
        }
    }

    void tooFewProblemsDrawNothing()
    {
        Catalogue c;
        c.add("Benzi de completare", 20);
        c.add("Ecuatii", 8);
        c.definition.TestWholeCollection = true;
        c.test.TestProblems.fill(5);
        QCOMPARE(c.draw(script({})).outcome, DrawResult::TooFewProblems);
        QCOMPARE(c.drawn(), QList<int>(9, 5));
    }

    // Every position is drawn and none is left over, or nothing is drawn.
    void perChapterCountsOtherThanNineDrawNothing_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("no chapter") << QList<int>{};
        QTest::newRow("4 + 4") << QList<int>{4, 4};
        QTest::newRow("4 + 5 + 1") << QList<int>{4, 5, 1};
        QTest::newRow("a count below one") << QList<int>{10, -1};
    }
    void perChapterCountsOtherThanNineDrawNothing()
    {
        QFETCH(QList<int>, counts);
        Catalogue c;
        for (int i = 0; i < counts.size(); ++i) {
            const QByteArray chapter = "C" + QByteArray::number(i);
            c.add(chapter, 10);
            c.choose(chapter, 10, counts[i]);
        }
        c.test.TestProblems.fill(5);
        QCOMPARE(c.draw(script({})).outcome, DrawResult::NotDefined);
        QCOMPARE(c.drawn(), QList<int>(9, 5));
    }

    void perChapterKeepsTheOrderChaptersWereAdded()
    {
        Catalogue c;
        c.add("A", 6); // rows 2..7
        c.add("B", 5); // rows 8..12
        c.choose("B", 5, 4);
        c.choose("A", 6, 5);
        std::mt19937 rng(11);
        QCOMPARE(c.draw([&rng] { return (rng() >> 8) / double(1 << 24); }).outcome,
                 DrawResult::Drawn);
        const QList<int> rows = c.drawn();
        QCOMPARE(std::set<int>(rows.begin(), rows.end()).size(), size_t(9));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(c.chapterOf(rows[i]), QByteArray("B"));
        for (int i = 4; i < 9; ++i)
            QCOMPARE(c.chapterOf(rows[i]), QByteArray("A"));
    }

    void wholeChapterAskedGivesAllOfIt()
    {
        Catalogue c;
        c.add("A", 9);
        c.add("B", 3);
        c.choose("A", 9, 9);
        std::mt19937 rng(3);
        QCOMPARE(c.draw([&rng] { return (rng() >> 8) / double(1 << 24); }).outcome,
                 DrawResult::Drawn);
        const QList<int> rows = c.drawn();
        QCOMPARE(std::set<int>(rows.begin(), rows.end()),
                 std::set<int>({2, 3, 4, 5, 6, 7, 8, 9, 10}));
    }

    void perChapterFollowsTheScaledShuffle()
    {
        Catalogue c;
        c.add("A", 5); // rows 2..6
        c.add("B", 4); // rows 7..10
        c.choose("A", 5, 5);
        c.choose("B", 4, 4);
        // A: six exchanges, the first of slots 0 and 4; B: five, none moving.
        std::deque<double> values = {pick(0, 5), pick(4, 5)};
        for (int i = 0; i < 5; ++i)
            values.insert(values.end(), {pick(1, 5), pick(1, 5)});
        for (int i = 0; i < 5; ++i)
            values.insert(values.end(), {pick(2, 4), pick(2, 4)});
        QCOMPARE(c.draw(script(values)).outcome, DrawResult::Drawn);
        QCOMPARE(c.drawn(), QList<int>({6, 3, 4, 5, 2, 7, 8, 9, 10}));
    }

    void chapterTotalsComeFromTheCatalogue()
    {
        // The definition still says 9 problems for A; the catalogue holds 3.
        Catalogue c;
        c.add("A", 3);
        c.add("B", 20);
        c.choose("A", 9, 5);
        c.choose("B", 20, 4);
        c.test.TestProblems.fill(0);
        const DrawResult refused = c.draw(script({}));
        QCOMPARE(refused.outcome, DrawResult::ChapterTooSmall);
        QCOMPARE(refused.chapter.trimmed(), QByteArray("A"));
        QCOMPARE(c.drawn(), QList<int>(9, 0));

        // A stale, larger total never reaches rows outside the chapter.
        Catalogue d;
        d.add("A", 5);
        d.add("B", 4);
        d.choose("A", 40, 5);
        d.choose("B", 4, 4);
        std::mt19937 rng(5);
        for (int i = 0; i < 50; ++i) {
            QCOMPARE(d.draw([&rng] { return (rng() >> 8) / double(1 << 24); }).outcome,
                     DrawResult::Drawn);
            for (int p = 0; p < 5; ++p)
                QCOMPARE(d.chapterOf(d.drawn()[p]), QByteArray("A"));
        }
        QCOMPARE(d.definition.TestChapters[0].ProblemTotal, 5);
    }

    void aSecondDrawForgetsTheAnswers()
    {
        Catalogue c;
        c.add("A", 12);
        c.definition.TestWholeCollection = true;
        QCOMPARE(c.draw(script({})).outcome, DrawResult::Drawn);
        for (int row = 2; row <= 13; ++row)
            c.collection.ProblemTable[row].ChosenAnswer = 2;
        QCOMPARE(c.draw(script({})).outcome, DrawResult::Drawn);
        for (int row : c.drawn())
            QCOMPARE(c.collection.ProblemTable[row].ChosenAnswer, ProblemRecord::NoAnswer);
    }

    void collectListsRowsInCatalogueOrder()
    {
        Catalogue c;
        c.add("A", 2);
        c.add("B", 1);
        c.add("A", 1); // row 5
        c.choose("A", 3, 3);
        c.choose("C", 0, 1);
        const std::vector<int> found = collectChapterProblems(c.collection, c.definition);
        QCOMPARE(found, std::vector<int>({3, 0}));
        QCOMPARE(int(c.definition.TestChapterProblems[0][0]), 2);
        QCOMPARE(int(c.definition.TestChapterProblems[0][1]), 3);
        QCOMPARE(int(c.definition.TestChapterProblems[0][2]), 5);
    }
};

QTEST_GUILESS_MAIN(TstDraw)
#include "tst_draw.moc"
