#include "testing/draw.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace culegere {

namespace {

const QByteArray kStrips = QByteArrayLiteral("Benzi de completare");
const QByteArray kThinStrips = QByteArrayLiteral("Benzi de completare subtiri");

bool inCatalogue(const Collection &c, int row)
{
    return row >= Collection::FirstRow && row <= c.lastProblemRow();
}

DrawResult drawWholeCollection(Collection &c, CurrentTest &test, ProblemOrder &order,
                               const RandomSource &random)
{
    const int lastRow = c.lastProblemRow();
    int eligible = 0;
    for (int row = Collection::FirstRow; row <= lastRow && eligible < CurrentTest::Size; ++row)
        eligible += isReservedCategory(c.ProblemTable[row].Chapter.Name) ? 0 : 1;
    if (eligible < CurrentTest::Size)
        return {DrawResult::TooFewProblems, {}};

    for (int i = 0; i <= c.ProblemCount; ++i) {
        const int a = randomIndex(c.ProblemCount, random()) + Collection::FirstRow;
        const int b = randomIndex(c.ProblemCount, random()) + Collection::FirstRow;
        std::swap(order[a], order[b]);
    }

    // Rows 2..ProblemCount+1 of the order hold exactly the catalogue's rows;
    // anything else (an order left from a larger catalogue) is passed over.
    std::array<qint16, CurrentTest::Size> drawn{};
    int j = 0;
    for (int k = Collection::FirstRow; k <= lastRow && j < CurrentTest::Size; ++k) {
        const int row = order[k];
        if (inCatalogue(c, row) && !isReservedCategory(c.ProblemTable[row].Chapter.Name))
            drawn[j++] = static_cast<qint16>(row);
    }
    if (j < CurrentTest::Size)
        return {DrawResult::TooFewProblems, {}};
    std::copy(drawn.begin(), drawn.end(), test.TestProblems.begin());
    return {};
}

DrawResult drawPerChapter(Collection &c, TestDefinition &d, CurrentTest &test,
                          const RandomSource &random)
{
    // Every position is filled and none is left over.
    int asked = 0;
    for (int e = 0; e < d.TestChapterCount; ++e) {
        if (d.TestChapters[e].DrawCount < 1)
            return {DrawResult::NotDefined, {}};
        asked += d.TestChapters[e].DrawCount;
    }
    if (asked != CurrentTest::Size)
        return {DrawResult::NotDefined, {}};
    const std::vector<int> found = collectChapterProblems(c, d);
    for (int e = 0; e < d.TestChapterCount; ++e) {
        if (found[e] < d.TestChapters[e].DrawCount)
            return {DrawResult::ChapterTooSmall, d.TestChapters[e].Name};
    }
    int pos = 0;
    for (int e = 0; e < d.TestChapterCount; ++e) {
        // The total counts what the catalogue holds now, not what it held
        // when the chapter was chosen.
        ChapterRecord &chapter = d.TestChapters[e];
        chapter.ProblemTotal = static_cast<qint16>(found[e]);
        auto &rows = d.TestChapterProblems[e];
        const qint16 total = chapter.ProblemTotal;
        for (int i = 0; i <= total; ++i) {
            const int a = randomIndex(total, random());
            const int b = randomIndex(total, random());
            std::swap(rows[a], rows[b]);
        }
        for (int m = 0; m < chapter.DrawCount; ++m)
            test.TestProblems[pos++] = rows[m];
    }
    return {};
}

} // namespace

ProblemOrder identityOrder()
{
    ProblemOrder order(7001);
    std::iota(order.begin(), order.end(), qint16(0));
    return order;
}

qint16 randomIndex(qint16 n, double r)
{
    if (n < 1)
        return 0;
    const auto index = static_cast<qint16>(static_cast<float>(n) * static_cast<float>(r));
    return std::clamp<qint16>(index, 0, static_cast<qint16>(n - 1));
}

bool isReservedCategory(const FixedText<100> &chapterName)
{
    const QByteArray name = chapterName.trimmed();
    return name == kStrips || name == kThinStrips || name.startsWith('*');
}

std::vector<int> collectChapterProblems(const Collection &c, TestDefinition &d)
{
    std::vector<int> found(d.TestChapterCount, 0);
    for (int e = 0; e < d.TestChapterCount; ++e) {
        const std::vector<qint16> rows = chapterRows(c, d.TestChapters[e].Name);
        std::copy(rows.begin(), rows.end(), d.TestChapterProblems[e].begin());
        found[e] = int(rows.size());
    }
    return found;
}

DrawResult drawTest(Collection &c, TestDefinition &d, CurrentTest &test, ProblemOrder &order,
                    const RandomSource &random)
{
    const DrawResult result = d.TestWholeCollection ? drawWholeCollection(c, test, order, random)
                                                    : drawPerChapter(c, d, test, random);
    if (result.outcome != DrawResult::Drawn)
        return result;
    for (int i = 0; i < CurrentTest::Size; ++i)
        c.ProblemTable[test.TestProblems[i]].ChosenAnswer = ProblemRecord::NoAnswer;
    return result;
}

} // namespace culegere
