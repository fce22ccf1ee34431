#pragma once

#include "store/records.h"
#include "store/table.h"

#include <QStringList>

#include <vector>

namespace culegere {

using UserTableRows = Table<UserRecord, 101>;

// The in-memory collection shared by every screen. Row k of a table holds
// record k of its file; data rows start at row 2, rows 0 and 1 are never used.
struct Collection
{
    static constexpr int FirstRow = 2;
    static constexpr int MaxChapters = 49;   // rows 2..50
    static constexpr int MaxProblems = 6999; // rows 2..7000
    static constexpr int LastUserRow = 100;  // the log keeps the latest 98 results in rows 2..99
    // The rows of one chapter that a list or a draw takes, at most.
    static constexpr int MaxRowsPerChapter = 701;

    Table<ChapterRecord, 51> ChapterTable; // rows 2..ChapterCount+1 in use
    qint16 ChapterCount = 0;
    Table<ProblemRecord, 7001> ProblemTable; // rows 2..ProblemCount+1 in use
    qint16 ProblemCount = 0;
    UserTableRows UserTable;          // rows 2..NextUserRecord-1 in use
    qint16 NextUserRecord = FirstRow; // 2..100
    ProblemRecord EditProblem;        // the problem editor's working record
    // Pictures of problems deleted in this session (full paths): they are
    // deleted once the exit save that drops the problems is on the disk.
    QStringList PicturesToRemove;

    int lastChapterRow() const { return ChapterCount + 1; }
    int lastProblemRow() const { return ProblemCount + 1; }
};

// Puts `result` into row `next` and moves on. When the row after it would be
// 101 the table rolls: the oldest result (row 2) is dropped, rows 3..100 move
// up one, and `next` stays 100. Returns true on a roll.
bool appendToLog(UserTableRows &table, qint16 &next, const UserRecord &result);

// The catalogue rows filed under `chapter` (compared as 100-character padded
// names), in row order; at most the first MaxRowsPerChapter.
std::vector<qint16> chapterRows(const Collection &collection, const FixedText<100> &chapter);

// The chapters' names, trimmed, in row order: name k is row k + 2's.
QStringList chapterNames(const Collection &collection);

} // namespace culegere
