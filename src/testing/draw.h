#pragma once

#include "state/app_state.h"

#include <functional>
#include <vector>

namespace culegere {

// The order in which a whole-collection draw takes the catalogue's rows:
// entries 0..7000, a permutation that successive draws keep shuffling.
using ProblemOrder = std::vector<qint16>;
ProblemOrder identityOrder();

// A random source: each call gives a fresh value uniform in [0, 1).
using RandomSource = std::function<double()>;

// A random index below n: the integer part of n * r, both taken as single
// precision (0 when n < 1; never n, whatever r is).
qint16 randomIndex(qint16 n, double r);

// Chapters never drawn into a whole-collection test: "Benzi de completare",
// "Benzi de completare subtiri", and any whose trimmed name begins with "*".
bool isReservedCategory(const FixedText<100> &chapterName);

// For each chapter of the definition, its chapterRows into
// TestChapterProblems. Returns the number of rows found per chapter.
std::vector<int> collectChapterProblems(const Collection &collection, TestDefinition &definition);

struct DrawResult
{
    // NotDefined: no accepted definition, or one whose chapters do not ask
    // for exactly nine problems. Refused: the test's phase leads to no draw
    // (the session's answer; nothing changes and nothing is told).
    enum Outcome { Drawn, TooFewProblems, ChapterTooSmall, NotDefined, Refused } outcome = Drawn;
    FixedText<100> chapter; // the chapter that holds too few, for ChapterTooSmall
};

// Draws the nine problems of a test into `test` as the definition says, and
// marks each drawn row unanswered. A whole-collection test needs nine problems
// outside the reserved chapters; a per-chapter test needs counts that add up
// to nine and each chapter to hold at least its count (each chapter's total is
// first taken from the rows actually filed under it). Otherwise nothing is
// drawn and `test` and the catalogue are left as they were.
DrawResult drawTest(Collection &collection, TestDefinition &definition, CurrentTest &test,
                    ProblemOrder &order, const RandomSource &random);

// Versions of a test drawn for paper, so that neighbours get different
// sheets: `count` further sets of nine catalogue rows, each drawn as the
// definition says (the whole collection without the reserved chapters, or
// the same chapters with the same counts, in the same positions), with no
// problem of `first` or of another version. Drawn when the collection holds
// enough problems for that (ChapterTooSmall names the chapter that does
// not); the catalogue, the definition and the test stay as they are.
struct VersionsDrawn
{
    DrawResult result;
    std::vector<std::array<qint16, 10>> versions;
};
VersionsDrawn drawVersions(const Collection &collection, const TestDefinition &definition,
                           const std::array<qint16, 10> &first, int count,
                           const RandomSource &random);

} // namespace culegere
