#pragma once

#include "store/records.h"
#include "store/table.h"

#include <QString>

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

    Table<ChapterRecord, 51> ChapterTable; // rows 2..ChapterCount+1 in use
    qint16 ChapterCount = 0;
    Table<ProblemRecord, 7001> ProblemTable; // rows 2..ProblemCount+1 in use
    qint16 ProblemCount = 0;
    UserTableRows UserTable;          // rows 2..NextUserRecord-1 in use
    qint16 NextUserRecord = FirstRow; // 2..100
    ProblemRecord EditProblem;        // the problem editor's working record

    int lastChapterRow() const { return ChapterCount + 1; }
    int lastProblemRow() const { return ProblemCount + 1; }
};

// Puts `result` into row `next` and moves on. When the row after it would be
// 101 the table rolls: the oldest result (row 2) is dropped, rows 3..100 move
// up one, and `next` stays 100. Returns true on a roll.
bool appendToLog(UserTableRows &table, qint16 &next, const UserRecord &result);

// The picture file of a problem in the present application folder: appPath,
// "/probleme/probl" and the last 9 characters of the trimmed stored path (the
// 5-character index and ".jpg"). A trimmed path shorter than 9 is used whole.
QString ProblemImagePath(const QString &appPath, const QString &storedPath);
QString ProblemImagePath(const QString &appPath, const FixedText<250> &storedPath);

// The path stored for a newly catalogued picture: appPath, "/Probleme/probl",
// the index and ".jpg". A path too long for the field keeps its end, so the
// picture's name always survives.
FixedText<250> cataloguePath(const QString &appPath, const QString &index);

// The part of `text` before its first NUL; `text` is replaced by it too.
QString StripNull(QString &text);
QByteArray StripNull(QByteArray &text);

} // namespace culegere
