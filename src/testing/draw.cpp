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

// Takes `count` rows of `pool` at random to its front (a partial shuffle).
void takeAtRandom(std::vector<qint16> &pool, int count, const RandomSource &random)
{
    for (int i = 0; i < count; ++i) {
        const int j = i + randomIndex(qint16(pool.size() - i), random());
        std::swap(pool[i], pool[j]);
    }
}

} // namespace

VersionsDrawn drawVersions(const Collection &c, const TestDefinition &d,
                           const std::array<qint16, 10> &first, int count,
                           const RandomSource &random)
{
    VersionsDrawn drawn;
    const auto isFree = [&](qint16 row) {
        return std::find(first.begin(), first.begin() + CurrentTest::Size, row) ==
               first.begin() + CurrentTest::Size;
    };
    // The rows each part of the sheet is drawn from, and how many it takes.
    std::vector<std::pair<std::vector<qint16>, int>> parts;
    if (d.TestWholeCollection) {
        std::vector<qint16> pool;
        for (int row = Collection::FirstRow; row <= c.lastProblemRow(); ++row) {
            if (!isReservedCategory(c.ProblemTable[row].Chapter.Name) && isFree(qint16(row)))
                pool.push_back(qint16(row));
        }
        parts.emplace_back(std::move(pool), CurrentTest::Size);
    } else {
        int asked = 0;
        for (int e = 0; e < d.TestChapterCount; ++e) {
            std::vector<qint16> pool = chapterRows(c, d.TestChapters[e].Name);
            std::erase_if(pool, [&](qint16 row) { return !isFree(row); });
            parts.emplace_back(std::move(pool), std::max<int>(d.TestChapters[e].DrawCount, 0));
            asked += parts.back().second;
        }
        if (asked != CurrentTest::Size)
            return {{DrawResult::NotDefined, {}}, {}};
    }
    for (std::size_t e = 0; e < parts.size(); ++e) {
        if (int(parts[e].first.size()) < parts[e].second * count) {
            if (d.TestWholeCollection)
                return {{DrawResult::TooFewProblems, {}}, {}};
            return {{DrawResult::ChapterTooSmall, d.TestChapters[e].Name}, {}};
        }
    }
    drawn.versions.resize(count);
    int pos = 0;
    for (auto &[pool, taken] : parts) {
        takeAtRandom(pool, taken * count, random);
        for (int v = 0; v < count; ++v) {
            for (int m = 0; m < taken; ++m)
                drawn.versions[v][pos + m] = pool[v * taken + m];
        }
        pos += taken;
    }
    return drawn;
}

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
