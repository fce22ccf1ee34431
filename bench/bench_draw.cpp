// Drawing a test from a full-size catalogue (49 chapters, 6999 problems) built
// in memory: from the whole collection, and per chapter.
//
// Every draw is checked as it is made: nine distinct rows of the catalogue,
// none from a reserved chapter in a whole-collection draw, each from its own
// chosen chapter in a per-chapter draw, each marked unanswered, and never the
// very draw made just before. A violation stops the benchmark with an error
// and the program exits with 1. There is no timing target.

#include "state/test_state.h"
#include "store/collection.h"
#include "testing/draw.h"

#include <QString>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <numeric>
#include <random>
#include <span>
#include <vector>

namespace {

using namespace culegere;

constexpr int kNone = -1;
// Chapter indices 0..48 stand in chapter rows 2..50.
constexpr int kLargest = 5;         // 701 problems: all a chapter can list
constexpr int kStrips = 12;         // "Benzi de completare", reserved
constexpr int kStarred = 30;        // a name beginning with "*", reserved
constexpr int kReservedShare = 700; // each reserved chapter: a fifth of the catalogue in all
constexpr std::uint32_t kSeed = 20240916;

// The catalogue, and what the checks know of it without asking the program.
struct Catalogue
{
    Collection collection;
    std::vector<int> chapterOfRow; // per table row; kNone outside the catalogue
    std::array<int, Collection::MaxChapters> count{};
    std::array<bool, Collection::MaxChapters> reserved{};

    static int chapterRow(int chapter) { return Collection::FirstRow + chapter; }

    void build()
    {
        Collection &c = collection;
        c.ChapterCount = Collection::MaxChapters;
        c.ProblemCount = Collection::MaxProblems;
        reserved[kStrips] = reserved[kStarred] = true;
        std::vector<int> ordinary;
        for (int k = 0; k < Collection::MaxChapters; ++k) {
            QString name = QStringLiteral("Capitolul %1: funcții, ecuații și șiruri").arg(k + 1);
            if (k == kStrips)
                name = QStringLiteral("Benzi de completare");
            else if (k == kStarred)
                name = QStringLiteral("*Probleme scoase din teste");
            c.ChapterTable[chapterRow(k)].Name.setText(name);
            if (k == kLargest)
                count[k] = TestDefinition::SlotsPerChapter;
            else if (reserved[k])
                count[k] = kReservedShare;
            else
                ordinary.push_back(k);
        }
        // The rest spread evenly over the other 46 chapters (106 or 107 each).
        const int rest =
            Collection::MaxProblems - TestDefinition::SlotsPerChapter - 2 * kReservedShare;
        const int n = static_cast<int>(ordinary.size());
        for (int i = 0; i < n; ++i)
            count[ordinary[i]] = rest / n + (i < rest % n ? 1 : 0);

        // Problems are catalogued over years, chapters interleaved: a chapter's
        // rows lie all over the table, so collecting them scans it whole.
        std::vector<int> shuffled;
        for (int k = 0; k < Collection::MaxChapters; ++k) {
            shuffled.insert(shuffled.end(), count[k], k);
            c.ChapterTable[chapterRow(k)].ProblemTotal = static_cast<qint16>(count[k]);
        }
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(kSeed));
        chapterOfRow.assign(Collection::MaxProblems + Collection::FirstRow, kNone);
        for (int row = Collection::FirstRow; row <= c.lastProblemRow(); ++row) {
            const int k = shuffled[static_cast<std::size_t>(row - Collection::FirstRow)];
            chapterOfRow[static_cast<std::size_t>(row)] = k;
            c.ProblemTable[row].Chapter.Name = c.ChapterTable[chapterRow(k)].Name;
        }
    }

    int chapterOf(int row) const
    {
        return row >= 0 && row < static_cast<int>(chapterOfRow.size())
                   ? chapterOfRow[static_cast<std::size_t>(row)]
                   : kNone;
    }
};

Catalogue *g_catalogue = nullptr;
bool g_failed = false;

void fail(benchmark::State &state, const char *message)
{
    g_failed = true;
    state.SkipWithError(message);
}

// The program's generator: 24 random bits scaled into [0, 1).
RandomSource randomSource(std::mt19937 &generator)
{
    return [&generator] { return static_cast<double>(generator() >> 8) / double(1u << 24); };
}

// The checks every draw passes, whatever its kind; nullptr when all hold.
// Each drawn row is then given an answer again, so the next draw must mark it.
const char *checkNineRows(Collection &c, const CurrentTest &test,
                          std::array<qint16, CurrentTest::Size> &previous)
{
    std::array<qint16, CurrentTest::Size> drawn{};
    std::copy_n(test.TestProblems.begin(), CurrentTest::Size, drawn.begin());
    for (int i = 0; i < CurrentTest::Size; ++i) {
        const int row = drawn[static_cast<std::size_t>(i)];
        if (row < Collection::FirstRow || row > c.lastProblemRow())
            return "a drawn row lies outside the catalogue";
        if (std::find(drawn.begin(), drawn.begin() + i, row) != drawn.begin() + i)
            return "a row was drawn twice in one test";
        if (c.ProblemTable[row].ChosenAnswer != ProblemRecord::NoAnswer)
            return "a drawn problem was not marked unanswered";
        c.ProblemTable[row].ChosenAnswer = 0;
    }
    if (drawn == previous)
        return "a draw repeated the one before it";
    previous = drawn;
    return nullptr;
}

void BM_DrawWholeCollection(benchmark::State &state)
{
    Catalogue &cat = *g_catalogue;
    auto definition = std::make_unique<TestDefinition>();
    definition->TestWholeCollection = true;
    CurrentTest test;
    std::array<qint16, CurrentTest::Size> previous{};
    ProblemOrder order = identityOrder();
    std::mt19937 generator(kSeed);
    const RandomSource random = randomSource(generator);
    std::int64_t skipped = 0;

    for (auto _ : state) {
        if (drawTest(cat.collection, *definition, test, order, random).outcome !=
            DrawResult::Drawn) {
            fail(state, "the whole-collection draw was refused");
            return;
        }
        // The draw takes the first nine rows in the order that are outside the
        // reserved chapters; find them independently, counting those passed over.
        std::array<qint16, CurrentTest::Size> expected{};
        std::size_t j = 0;
        for (std::size_t k = Collection::FirstRow; k < order.size() && j < expected.size(); ++k) {
            const int chapter = cat.chapterOf(order[k]);
            if (chapter == kNone)
                continue;
            if (cat.reserved[static_cast<std::size_t>(chapter)])
                ++skipped;
            else
                expected[j++] = order[k];
        }
        if (!std::equal(expected.begin(), expected.end(), test.TestProblems.begin())) {
            fail(state, "the draw is not the first nine eligible rows of the order");
            return;
        }
        if (const char *error = checkNineRows(cat.collection, test, previous)) {
            fail(state, error);
            return;
        }
    }
    std::vector<qint16> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    if (sorted != identityOrder())
        fail(state, "the order is no longer a permutation of 0..7000");
    // A fifth of the catalogue is reserved: a long run that never passed one
    // over did not draw from the whole catalogue.
    else if (state.iterations() >= 100 && skipped == 0)
        fail(state, "no draw ever passed over a reserved chapter");
    state.counters["skipped"] =
        benchmark::Counter(static_cast<double>(skipped), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DrawWholeCollection)->Unit(benchmark::kMicrosecond)->UseRealTime();

struct Pick
{
    int chapter;
    int drawCount;
};
constexpr std::array<Pick, 3> kThreeChapters{{{3, 3}, {24, 3}, {45, 3}}};
constexpr std::array<Pick, 9> kNineChapters{
    {{1, 1}, {6, 1}, {11, 1}, {17, 1}, {22, 1}, {28, 1}, {34, 1}, {40, 1}, {47, 1}}};
constexpr std::array<Pick, 1> kLargestChapter{{{kLargest, 9}}};

void BM_DrawPerChapter(benchmark::State &state, std::span<const Pick> picks)
{
    Catalogue &cat = *g_catalogue;
    auto definition = std::make_unique<TestDefinition>();
    definition->TestWholeCollection = false;
    definition->TestChapterCount = static_cast<qint16>(picks.size());
    for (std::size_t e = 0; e < picks.size(); ++e) {
        ChapterRecord &chosen = definition->TestChapters[e];
        chosen = cat.collection.ChapterTable[Catalogue::chapterRow(picks[e].chapter)];
        chosen.DrawCount = static_cast<qint16>(picks[e].drawCount);
    }
    CurrentTest test;
    std::array<qint16, CurrentTest::Size> previous{};
    ProblemOrder order = identityOrder();
    std::mt19937 generator(kSeed);
    const RandomSource random = randomSource(generator);

    for (auto _ : state) {
        if (drawTest(cat.collection, *definition, test, order, random).outcome !=
            DrawResult::Drawn) {
            fail(state, "the per-chapter draw was refused");
            return;
        }
        // Positions follow the definition: the first chapter's rows first.
        std::size_t pos = 0;
        for (std::size_t e = 0; e < picks.size(); ++e) {
            const int found = std::min(cat.count[static_cast<std::size_t>(picks[e].chapter)],
                                       TestDefinition::SlotsPerChapter);
            if (definition->TestChapters[e].ProblemTotal != found) {
                fail(state, "a chapter's total is not what the catalogue holds");
                return;
            }
            for (int m = 0; m < picks[e].drawCount; ++m, ++pos) {
                if (cat.chapterOf(test.TestProblems[pos]) != picks[e].chapter) {
                    fail(state, "a drawn row is not from the chapter it was drawn for");
                    return;
                }
            }
        }
        if (const char *error = checkNineRows(cat.collection, test, previous)) {
            fail(state, error);
            return;
        }
    }
    // A per-chapter draw never touches the whole-collection order.
    if (order != identityOrder())
        fail(state, "a per-chapter draw changed the whole-collection order");
}
BENCHMARK_CAPTURE(BM_DrawPerChapter, three_chapters, std::span<const Pick>(kThreeChapters))
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_DrawPerChapter, nine_chapters, std::span<const Pick>(kNineChapters))
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_DrawPerChapter, largest_chapter, std::span<const Pick>(kLargestChapter))
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    auto catalogue = std::make_unique<Catalogue>();
    catalogue->build();
    g_catalogue = catalogue.get();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_failed)
        std::fprintf(stderr, "bench_draw: a draw failed its checks\n");
    return g_failed ? 1 : 0;
}
