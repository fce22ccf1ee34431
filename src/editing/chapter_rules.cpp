#include "editing/chapter_rules.h"

#include <QHash>

namespace culegere {

namespace {

QByteArray storedName(const QString &name)
{
    return FixedText<100>::fromText(name).trimmed();
}

int filedUnder(const Collection &c, const QByteArray &trimmedName)
{
    int count = 0;
    for (int row = Collection::FirstRow; row <= c.lastProblemRow(); ++row)
        count += c.ProblemTable[row].Chapter.Name.trimmed() == trimmedName ? 1 : 0;
    return count;
}

} // namespace

int findChapter(const Collection &c, const QString &name)
{
    const QByteArray wanted = storedName(name);
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row) {
        if (c.ChapterTable[row].Name.trimmed() == wanted)
            return row;
    }
    return 0;
}

void recountChapters(Collection &c)
{
    QHash<QByteArray, int> rows;
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row) {
        rows.insert(c.ChapterTable[row].Name.trimmed(), row);
        c.ChapterTable[row].ProblemTotal = 0;
    }
    for (int row = Collection::FirstRow; row <= c.lastProblemRow(); ++row) {
        const auto it = rows.constFind(c.ProblemTable[row].Chapter.Name.trimmed());
        if (it != rows.cend())
            ++c.ChapterTable[*it].ProblemTotal;
    }
}

ChapterRules::Added ChapterRules::add(const QString &name)
{
    if (m_locked)
        return Added::Refused;
    if (name.isEmpty())
        return Added::EmptyName;
    // Compared as it would be stored: a name with blanks around it, or one
    // longer than 100 characters, is the chapter it would become.
    if (findChapter(m_collection, name) != 0)
        return Added::Exists;
    if (m_collection.ChapterCount >= Collection::MaxChapters)
        return Added::Full;
    ChapterRecord &row = m_collection.ChapterTable[m_collection.ChapterCount + 2];
    row.Name.setText(name);
    row.ProblemTotal = 0;
    ++m_collection.ChapterCount;
    return Added::Added;
}

ChapterRules::Deleted ChapterRules::remove(int position)
{
    Collection &c = m_collection;
    if (m_locked)
        return Deleted::Refused;
    if (position < 0 || position >= c.ChapterCount)
        return Deleted::NothingSelected;
    const int row = position + Collection::FirstRow;
    // The counter is one short while the editor holds one of its problems:
    // the problems filed under it decide.
    if (c.ChapterTable[row].ProblemTotal >= 1 ||
        filedUnder(c, c.ChapterTable[row].Name.trimmed()) > 0)
        return Deleted::HasProblems;
    const int last = c.lastChapterRow();
    c.ChapterTable[row].Name = c.ChapterTable[last].Name;
    c.ChapterTable[row].ProblemTotal = c.ChapterTable[last].ProblemTotal;
    --c.ChapterCount;
    return Deleted::Deleted;
}

ChapterRules::Renamed ChapterRules::rename(bool selected, const QString &oldName,
                                           const QString &newName, int *renamedRow)
{
    if (renamedRow)
        *renamedRow = 0;
    if (m_locked)
        return Renamed::Refused;
    if (!selected)
        return Renamed::NothingSelected;
    if (newName.isEmpty())
        return Renamed::EmptyName;
    if (findChapter(m_collection, newName) != 0)
        return Renamed::Exists;
    Collection &c = m_collection;
    const QByteArray old = storedName(oldName);
    const int row = findChapter(c, oldName);
    if (row != 0) {
        c.ChapterTable[row].Name.setText(newName);
        if (renamedRow)
            *renamedRow = row;
    }
    const FixedText<100> renamed = FixedText<100>::fromText(newName);
    for (int p = Collection::FirstRow; p <= c.lastProblemRow(); ++p) {
        if (c.ProblemTable[p].Chapter.Name.trimmed() == old)
            c.ProblemTable[p].Chapter.Name = renamed;
    }
    return Renamed::Renamed;
}

void ChapterChoice::choose(int position, const QString &text)
{
    m_position = position < 0 ? -1 : position;
    m_titleSelected = m_position >= 0 && !text.isEmpty();
    m_selectedTitle = m_titleSelected ? text : QString();
}

void ChapterChoice::renamed(const QString &text)
{
    if (m_position >= 0)
        choose(m_position, text);
}

} // namespace culegere
