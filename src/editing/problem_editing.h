#pragma once

#include "platform/app_folder.h"
#include "store/collection.h"

#include <QString>

namespace culegere {

// The problem editor's work, without its screen: looking a picture up by its
// index, filing it under a chapter with its correct answer, re-filing and
// deleting catalogued problems.
//
// The editor is Idle, has a new picture open (one in "probleme" that is not
// catalogued) or a catalogued problem open. While a catalogued problem is
// open its chapter's counter is one short; whenever none is open, every
// chapter's counter equals the number of problems filed under it.
class ProblemEditing
{
public:
    ProblemEditing(Collection &collection, const AppFolder &folder);

    // The screen's buttons, as the state allows them.
    bool canLookUp() const { return m_canLookUp; }
    bool canSave() const { return m_canSave; }
    bool canDelete() const { return m_canDelete; }

    // The menu command: saving and deleting off, no answer marked. Used while
    // a problem is open, it leaves only Close.
    void open();

    struct LookUp
    {
        enum Kind { Catalogued, NewPicture, NoSuchProblem } kind = NoSuchProblem;
        QString picture;             // the picture file to show, "" when none
        bool pictureMissing = false; // a catalogued problem whose picture is gone
        QString chapter;             // the catalogued problem's chapter, trimmed
        int answer = -1;             // its correct answer 0..4, or -1 when it has none
    };
    // The index as typed (not trimmed): the picture AppPath\Probleme\probl<index>.jpg.
    LookUp lookUp(const QString &index);

    // Marks (0..4) or clears (-1) the correct answer on the screen.
    void markAnswer(int variant) { m_markedAnswer = variant; }
    int markedAnswer() const { return m_markedAnswer; }

    enum class Saved { Saved, Incomplete, CatalogueFull };
    // Files the open picture under the chapter named `chapter` with the marked
    // answer. Incomplete when there is no chapter of that name, no picture
    // open or no answer marked; nothing changes then.
    Saved save(const QString &chapter);

    enum class Deleted { Deleted, NothingOpen, NotCatalogued };
    // Deletes the open catalogued problem and its picture file; the last
    // problem takes its row.
    Deleted remove();

    // Close (and the program's exit): whatever is open is let go, and every
    // chapter's counter is right again.
    void close();

    int foundRow() const { return m_foundRow; }
    bool cataloguedOpen() const { return m_cataloguedOpen; }
    QString searchPath() const { return m_searchPath; }

    // FindProblemRow: the first catalogued row whose picture is `path`'s, or 0.
    int FindProblemRow(const QString &path) const;

private:
    QString pictureFile(const QString &path) const;
    void becomeIdle();

    Collection &m_collection;
    AppFolder m_folder;
    QString m_searchPath;
    int m_foundRow = 0;
    bool m_cataloguedOpen = false;
    int m_markedAnswer = -1;
    bool m_canLookUp = true;
    bool m_canSave = false;
    bool m_canDelete = false;
};

} // namespace culegere
