#pragma once

#include "folder/app_folder.h"
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
// chapter's counter equals the number of problems filed under it. Each step
// is refused (changes nothing, tells nothing: Refused) in a state whose
// buttons do not lead to it, and so while a test is under way: then the
// editor is locked, nothing can be opened and only Close can be used.
class ProblemEditing
{
public:
    enum class State { Idle, NewPicture, Catalogued };
    // The screen's buttons in a state; Close can always be used.
    struct Controls
    {
        bool lookUp = false; // "Cauta problema"
        bool save = false;   // "Seteaza"
        bool remove = false; // "Sterge problema"

        bool operator==(const Controls &) const = default;
    };
    static Controls controlsFor(State state);

    ProblemEditing(Collection &collection, const AppFolder &folder);

    State state() const { return m_state; }
    Controls controls() const { return m_locked ? Controls{} : controlsFor(m_state); }

    // A test is under way (true) or no longer is: whatever is open is let go
    // first, as Close lets it go.
    void lock(bool locked);
    bool locked() const { return m_locked; }

    // The menu command: a problem still open is let go as Close lets it go;
    // Idle, no answer marked.
    void open();

    struct LookUp
    {
        enum Kind { Catalogued, NewPicture, NoSuchProblem, Refused } kind = NoSuchProblem;
        QString picture;             // the picture file to show, "" when none
        bool pictureMissing = false; // a catalogued problem whose picture is gone
        QString chapter;             // the catalogued problem's chapter, trimmed
        int answer = -1;             // its correct answer 0..4, or -1 when it has none
    };
    // The index as typed (not trimmed): the picture AppPath\Probleme\probl<index>.jpg,
    // of which the last 5 characters before ".jpg" count. Only when Idle.
    LookUp lookUp(const QString &index);

    // Marks (0..4) or clears (-1) the correct answer on the screen.
    void markAnswer(int variant) { m_markedAnswer = variant; }
    int markedAnswer() const { return m_markedAnswer; }

    enum class Saved { Saved, Incomplete, CatalogueFull, Refused };
    // Files the open picture under the chapter named `chapter` with the marked
    // answer; its stored path is AppPath\Probleme\probl<index>.jpg for the
    // picture's 5-character index. Incomplete when there is no chapter of that
    // name, no picture open or no answer marked; nothing changes then.
    Saved save(const QString &chapter);

    enum class Deleted { Deleted, NothingOpen, NotCatalogued, Refused };
    // Deletes the open catalogued problem; the last problem takes its row.
    // Its picture file is deleted by the exit save that drops the problem
    // (Collection::PicturesToRemove); until then the editor takes it for gone.
    Deleted remove();

    // Close (and any attempt to end the program): whatever is open is let go,
    // every chapter's counter is right again, and the editor is Idle.
    void close();

    int foundRow() const { return m_foundRow; }
    bool cataloguedOpen() const { return m_cataloguedOpen; }
    QString searchPath() const { return m_searchPath; }

    // The first catalogued row whose picture is `path`'s, or 0.
    int findProblemRow(const QString &path) const;

private:
    void becomeIdle();

    Collection &m_collection;
    AppFolder m_folder;
    State m_state = State::Idle;
    QString m_searchPath;
    int m_foundRow = 0;
    bool m_cataloguedOpen = false;
    int m_markedAnswer = -1;
    bool m_locked = false;
};

} // namespace culegere
