#pragma once

#include "store/collection.h"

#include <QString>

namespace culegere {

// The chapter of a name as it would be stored (cut to 100 characters) and
// compared (trimmed): the row of the chapter with that name, or 0.
int findChapter(const Collection &collection, const QString &name);

// Sets every chapter's problem total to the number of catalogued problems
// filed under it (trimmed names compared).
void recountChapters(Collection &collection);

// Adding, deleting and renaming chapters on the chapter table. Chapter names
// stay unique after trimming, and no problem is ever left under a chapter
// that no longer exists. While a test is under way the rules are locked:
// every change is Refused.
class ChapterRules
{
public:
    explicit ChapterRules(Collection &collection) : m_collection(collection) {}

    void lock(bool locked) { m_locked = locked; }
    bool locked() const { return m_locked; }

    enum class Added { Added, EmptyName, Exists, Full, Refused };
    // A new chapter with no problems after the last one.
    Added add(const QString &name);

    enum class Deleted { Deleted, HasProblems, NothingSelected, Refused };
    // The chapter at list position p (row p + 2; -1: none); the last chapter
    // takes its row. Refused while any problem is filed under it.
    Deleted remove(int position);

    enum class Renamed { Renamed, NothingSelected, EmptyName, Exists, Refused };
    // Gives the chapter named `oldName` (trimmed) the name `newName`, and so
    // every problem filed under the old name. Returns, in `row`, the row
    // renamed (0 when no chapter had that name any more).
    Renamed rename(bool selected, const QString &oldName, const QString &newName,
                   int *row = nullptr);

private:
    Collection &m_collection;
    bool m_locked = false;
};

// The chapters screen's choice: the list entry the teacher chose, by a click
// or the arrow keys, and its name. It follows the entry shown selected: an
// entry unselected (Ctrl+click) is chosen no more, so the entry deleted or
// renamed is always the one shown chosen.
class ChapterChoice
{
public:
    // Entry `position` (-1: none) showing `text` was chosen; an entry with an
    // empty name counts as no title.
    void choose(int position, const QString &text);
    void clear() { choose(-1, QString()); }
    // The chosen entry was renamed to `text`; it stays chosen.
    void renamed(const QString &text);

    int position() const { return m_position; }
    bool titleSelected() const { return m_titleSelected; }    // TitleSelected
    QString selectedTitle() const { return m_selectedTitle; } // SelectedTitle

private:
    int m_position = -1;
    bool m_titleSelected = false;
    QString m_selectedTitle;
};

} // namespace culegere
