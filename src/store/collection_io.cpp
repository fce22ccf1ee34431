#include "store/collection_io.h"

#include "store/little_endian.h"
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

StoreResult loadCollection(const QByteArray &users, const QByteArray &chapters,
                           const QByteArray &problems, Collection &c)
{
    const RecordImage userFile(users, UserRecord::Size);
    const RecordImage chapterFile(chapters, ChapterRecord::Size);
    const RecordImage problemFile(problems, ProblemRecord::Size);

    const qint16 next = userFile.record<UserRecord>(1).Grade;
    if (next > Collection::LastUserRow)
        return StoreResult::failure(StoreError::HeaderTooLarge, datafile::Users, next);

    const qint16 chapterCount = chapterFile.record<ChapterRecord>(1).ProblemTotal;
    if (chapterCount > Collection::MaxChapters)
        return StoreResult::failure(StoreError::HeaderTooLarge, datafile::Chapters, chapterCount);
    if (chapterCount < 0)
        return StoreResult::failure(StoreError::HeaderNegative, datafile::Chapters, chapterCount);

    const qint16 problemCount = problemFile.record<ProblemRecord>(1).CorrectAnswer;
    if (problemCount > Collection::MaxProblems)
        return StoreResult::failure(StoreError::HeaderTooLarge, datafile::Problems, problemCount);
    if (problemCount < 0)
        return StoreResult::failure(StoreError::HeaderNegative, datafile::Problems, problemCount);

    // The row at NextUserRecord is read too (normally past the end: a zero
    // record), as the log has always been read.
    if (next > 1) {
        c.NextUserRecord = next;
        for (int k = Collection::FirstRow; k <= next; ++k)
            c.UserTable[k] = userFile.record<UserRecord>(k);
    } else {
        c.NextUserRecord = Collection::FirstRow;
    }

    // Only the fields kept in memory are taken from each record, straight from
    // its bytes: decoding whole records first made loading a full catalogue
    // several times slower than reading its file.
    c.ChapterCount = chapterCount;
    for (int k = Collection::FirstRow; k <= c.lastChapterRow(); ++k) {
        const char *in = chapterFile.recordData(k);
        ChapterRecord &row = c.ChapterTable[k];
        row.Name = FixedText<100>::fromRaw(in + ChapterRecord::Offset::Name);
        row.ProblemTotal = le::getInt16(in + ChapterRecord::Offset::ProblemTotal);
    }

    c.ProblemCount = problemCount;
    for (int k = Collection::FirstRow; k <= c.lastProblemRow(); ++k) {
        const char *in = problemFile.recordData(k);
        ProblemRecord &row = c.ProblemTable[k];
        row.ImagePath = FixedText<250>::fromRaw(in + ProblemRecord::Offset::ImagePath);
        row.CorrectAnswer = le::getInt16(in + ProblemRecord::Offset::CorrectAnswer);
        row.Chapter.Name =
            FixedText<100>::fromRaw(in + ProblemRecord::Offset::Chapter + ChapterRecord::Offset::Name);
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

QByteArray usersFileAfterRoll(QByteArray old, const UserTableRows &table, qint16 nextUserRecord)
{
    for (int k = Collection::FirstRow; k <= Collection::LastUserRow; ++k)
        putRecord(old, k, table[k].encoded());
    return usersFileWithHeader(std::move(old), nextUserRecord);
}

} // namespace culegere
