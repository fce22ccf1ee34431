#pragma once

#include "archive/result_archive.h"

#include <QList>
#include <QStringList>

#include <vector>

namespace culegere {

// The per-problem statistics as the archive screen lists them: hardest
// first (the smallest share answered right), then the most drawn, then by
// index.
QList<ProblemStats> hardestFirst(QList<ProblemStats> stats);

// For each mark, the index in `rows` of its test (-1 when none); both are
// ordered by test.
std::vector<int> rowsOfMarks(const ArchivedMarks &marks, const QList<ArchiveRow> &rows);
// The statistics of every problem drawn in the tests `counted` lets
// through (a flag per row): how often drawn, answered right,
// each letter marked; the chapter and right letter are the latest seen.
QList<ProblemStats> countProblems(const ArchivedMarks &marks, const std::vector<int> &rowOfMark,
                                  const std::vector<char> &counted);

// The columns of the problems' table: index, chapter, drawn, answered right,
// the share as a percentage with a decimal comma ("58,3"), the right
// letter, then how often each letter was marked.
enum ProblemColumn { IndexColumn, ChapterColumn, RightLetterColumn = 5, FirstLetterColumn = 6 };
QStringList problemHeaderText();
QStringList problemLineText(const ProblemStats &stats);

} // namespace culegere
