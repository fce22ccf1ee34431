// The full-size collection of the benchmarks; see full_collection.h.

#include "full_collection.h"

#include "store/collection_io.h"
#include "store/records.h"

#include <QDate>

namespace culegere::bench {

void fillFullCollection(Collection &c)
{
    c.ChapterCount = Collection::MaxChapters;
    for (int k = Collection::FirstRow; k <= c.lastChapterRow(); ++k) {
        c.ChapterTable[k].Name.setText(
            QStringLiteral("Capitolul %1: funcții, ecuații și șiruri").arg(k - 1));
    }
    c.ProblemCount = Collection::MaxProblems;
    const QString appPath = QStringLiteral("C:\\Program Files\\Culegere");
    for (int k = Collection::FirstRow; k <= c.lastProblemRow(); ++k) {
        ProblemRecord &p = c.ProblemTable[k];
        p.ImagePath = cataloguePath(appPath, QStringLiteral("%1").arg(k - 1, 5, 10, QChar(u'0')));
        ChapterRecord &chapter = c.ChapterTable[Collection::FirstRow + k % Collection::MaxChapters];
        p.Chapter.Name = chapter.Name;
        p.CorrectAnswer = static_cast<qint16>(k % 5);
        ++chapter.ProblemTotal;
    }
    // A log that has rolled: rows 2..100 in use, the header at 100.
    c.NextUserRecord = Collection::LastUserRow;
    for (int k = Collection::FirstRow; k <= Collection::LastUserRow; ++k) {
        UserRecord &u = c.UserTable[k];
        u.Name.setText(QStringLiteral("Elevul numărul %1").arg(k - 1));
        u.Grade = static_cast<qint16>(1 + k % 10);
        u.ElapsedTicks = static_cast<qint16>(60 * (5 + k % 40));
        u.TestDate = dateToSerial(QDate(2024, 9, 16).addDays(k));
    }
}

std::array<DataFile, 3> dataFilesOf(const Collection &c)
{
    return {{
        {datafile::Users, usersFileAfterRoll({}, c.UserTable, Collection::LastUserRow)},
        {datafile::Chapters, chaptersFileForExit({}, c)},
        {datafile::Problems, problemsFileForExit({}, c)},
    }};
}

} // namespace culegere::bench
