#include "store/collection_io.h"

#include "store/record_file.h"

#include <cstring>

namespace culegere {

namespace {

// Writes `record` as record n (from 1) of `content`, growing it if needed.
void putRecord(QByteArray &content, int n, const QByteArray &record)
{
    const qsizetype end = qsizetype(n) * record.size();
    if (content.size() < end)
        content.append(end - content.size(), '\0');
    std::memcpy(content.data() + (end - record.size()), record.constData(), record.size());
}

} // namespace

QByteArray userHeader(qint16 nextUserRecord)
{
    UserRecord header;
    header.Grade = nextUserRecord;
    return header.encoded();
}

QByteArray chapterHeader(qint16 chapterCount)
{
    ChapterRecord header;
    header.ProblemTotal = chapterCount;
    return header.encoded();
}

QByteArray problemHeader(qint16 problemCount)
{
    ProblemRecord header;
    header.CorrectAnswer = problemCount;
    return header.encoded();
}

namespace {

struct Headers
{
    qint16 users;
    qint16 chapters;
    qint16 problems;
};

Headers readHeaders(const RecordImage &users, const RecordImage &chapters,
                    const RecordImage &problems)
{
    return {users.record<UserRecord>(1).Grade, chapters.record<ChapterRecord>(1).ProblemTotal,
            problems.record<ProblemRecord>(1).CorrectAnswer};
}

struct Lengths
{
    qsizetype users;
    qsizetype chapters;
    qsizetype problems;
};

// A file that ends before the last record its header puts in use lost
// records (a copy cut short); an empty file is a new one. Records past the
// ones in use may be missing or cut: they are left over and never read.
StoreResult checkLength(const QString &fileName, qsizetype length, int recordLength,
                        qint64 recordsInUse, qint16 count)
{
    if (length != 0 && length < recordsInUse * recordLength)
        return StoreResult::failure(StoreError::FileCutShort, fileName, count);
    return StoreResult::success();
}

StoreResult check(const Headers &h, const Lengths &l)
{
    if (h.users > Collection::LastUserRow)
        return StoreResult::failure(StoreError::HeaderTooLarge, datafile::Users, h.users);
    if (h.chapters > Collection::MaxChapters)
        return StoreResult::failure(StoreError::HeaderTooLarge, datafile::Chapters, h.chapters);
    if (h.chapters < 0)
        return StoreResult::failure(StoreError::HeaderNegative, datafile::Chapters, h.chapters);
    if (h.problems > Collection::MaxProblems)
        return StoreResult::failure(StoreError::HeaderTooLarge, datafile::Problems, h.problems);
    if (h.problems < 0)
        return StoreResult::failure(StoreError::HeaderNegative, datafile::Problems, h.problems);
    // Users.stn holds records 1 .. NextUserRecord - 1; record NextUserRecord
    // is normally past its end.
    const qint64 usersInUse = h.users > 1 ? h.users - 1 : 1;
    if (StoreResult r =
            checkLength(datafile::Users, l.users, UserRecord::Size, usersInUse, h.users);
        !r.ok())
        return r;
    if (StoreResult r = checkLength(datafile::Chapters, l.chapters, ChapterRecord::Size,
                                    h.chapters + 1, h.chapters);
        !r.ok())
        return r;
    return checkLength(datafile::Problems, l.problems, ProblemRecord::Size, h.problems + 1,
                       h.problems);
}

} // namespace

StoreResult checkHeaders(const QByteArray &users, const QByteArray &chapters,
                         const QByteArray &problems)
{
    return check(readHeaders(RecordImage(users, UserRecord::Size),
                             RecordImage(chapters, ChapterRecord::Size),
                             RecordImage(problems, ProblemRecord::Size)),
                 {users.size(), chapters.size(), problems.size()});
}

StoreResult loadCollection(const QByteArray &users, const QByteArray &chapters,
                           const QByteArray &problems, Collection &c)
{
    const RecordImage userFile(users, UserRecord::Size);
    const RecordImage chapterFile(chapters, ChapterRecord::Size);
    const RecordImage problemFile(problems, ProblemRecord::Size);
    const Headers headers = readHeaders(userFile, chapterFile, problemFile);
    if (StoreResult result = check(headers, {users.size(), chapters.size(), problems.size()});
        !result.ok())
        return result;

    // A header of 1 or less is an empty log. Otherwise the row at
    // NextUserRecord is read too (normally past the end: a zero record).
    if (headers.users > 1) {
        c.NextUserRecord = headers.users;
        for (int k = Collection::FirstRow; k <= headers.users; ++k)
            c.UserTable[k] = userFile.record<UserRecord>(k);
    } else {
        c.NextUserRecord = Collection::FirstRow;
    }

    c.ChapterCount = headers.chapters;
    for (int k = Collection::FirstRow; k <= c.lastChapterRow(); ++k) {
        const auto record = chapterFile.record<ChapterRecord>(k);
        c.ChapterTable[k].Name = record.Name;
        c.ChapterTable[k].ProblemTotal = record.ProblemTotal;
    }

    c.ProblemCount = headers.problems;
    for (int k = Collection::FirstRow; k <= c.lastProblemRow(); ++k) {
        const auto record = problemFile.record<ProblemRecord>(k);
        ProblemRecord &row = c.ProblemTable[k];
        row.ImagePath = record.ImagePath;
        row.CorrectAnswer = record.CorrectAnswer;
        row.Chapter.Name = record.Chapter.Name;
    }
    return StoreResult::success();
}

QByteArray chaptersFileForExit(QByteArray old, const Collection &c)
{
    for (int k = Collection::FirstRow; k <= c.lastChapterRow(); ++k) {
        const ChapterRecord &row = c.ChapterTable[k];
        ChapterRecord record; // DrawCount belongs to a test definition, never to the file
        record.Name = row.Name;
        record.ProblemTotal = row.ProblemTotal;
        record.Reserved = row.Reserved;
        putRecord(old, k, record.encoded());
    }
    putRecord(old, 1, chapterHeader(c.ChapterCount));
    return old;
}

QByteArray problemsFileForExit(QByteArray old, const Collection &c)
{
    for (int k = Collection::FirstRow; k <= c.lastProblemRow(); ++k) {
        const ProblemRecord &row = c.ProblemTable[k];
        ProblemRecord record; // the answer chosen in a test is never stored
        record.ImagePath = row.ImagePath;
        record.Chapter.Name = row.Chapter.Name;
        record.CorrectAnswer = row.CorrectAnswer;
        putRecord(old, k, record.encoded());
    }
    putRecord(old, 1, problemHeader(c.ProblemCount));
    return old;
}

QByteArray usersFileWithHeader(QByteArray old, qint16 nextUserRecord)
{
    putRecord(old, 1, userHeader(nextUserRecord));
    return old;
}

QByteArray usersFileWithResult(QByteArray old, int row, const UserRecord &result, qint16 next)
{
    putRecord(old, row, result.encoded());
    return usersFileWithHeader(std::move(old), next);
}

QByteArray usersFileAfterRoll(QByteArray old, const UserTableRows &table, qint16 nextUserRecord)
{
    for (int k = Collection::FirstRow; k <= Collection::LastUserRow; ++k)
        putRecord(old, k, table[k].encoded());
    return usersFileWithHeader(std::move(old), nextUserRecord);
}

} // namespace culegere
