#include "store/collection.h"

namespace culegere {

bool appendToLog(UserTableRows &table, qint16 &next, const UserRecord &result)
{
    table[next] = result;
    ++next;
    if (next <= Collection::LastUserRow)
        return false;
    for (int k = Collection::FirstRow; k < Collection::LastUserRow; ++k)
        table[k] = table[k + 1];
    next = Collection::LastUserRow;
    return true;
}

std::vector<qint16> chapterRows(const Collection &c, const FixedText<100> &chapter)
{
    std::vector<qint16> rows;
    for (int row = Collection::FirstRow;
         row <= c.lastProblemRow() && int(rows.size()) < Collection::MaxRowsPerChapter; ++row) {
        if (c.ProblemTable[row].Chapter.Name == chapter)
            rows.push_back(static_cast<qint16>(row));
    }
    return rows;
}

QStringList chapterNames(const Collection &c)
{
    QStringList names;
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row)
        names.append(c.ChapterTable[row].Name.trimmedText());
    return names;
}

} // namespace culegere
