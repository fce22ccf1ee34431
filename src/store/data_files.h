#pragma once

#include "folder/app_folder.h"
#include "store/collection.h"
#include "store/record_file.h"
#include "store/store_result.h"

#include <QStringList>

#include <functional>
#include <optional>

namespace culegere {

// The three data files of an application folder, open from start-up to exit.
//
// Results reach the disk at each correction; the chapters, the catalogue and
// the headers at exit. Every change is made so that a crash at any moment
// leaves each file either as it was or as it should be after the change.
class DataFiles
{
public:
    explicit DataFiles(const AppFolder &folder);

    // Asked before every write: nothing while the folder's lock is still this
    // program's, else the computer that holds it now ("" when unknown). A
    // write then refuses with LockLost and changes nothing.
    using LockCheck = std::function<std::optional<QString>()>;
    void setLockCheck(LockCheck check);
    // Success while the lock is this program's; LockLost otherwise.
    StoreResult lockHeld() const;

    // Opens the three files (creating missing ones, empty) and loads them into
    // `collection`, as loadCollection does. First a save cut short is
    // finished (or its new files removed, see finishInterruptedSave) and the
    // new files of any replacement cut short are removed from the folder and
    // its "backup" and "teste"; nothing else there is touched. On a refusal
    // no other file is created or changed, none stays open and `collection`
    // is untouched.
    StoreResult openAndLoad(Collection &collection);

    // Appends a result to the log: the file is replaced by one holding the
    // record and the header that counts it (after a roll, the rows moved up
    // as in the table). `collection` takes the result exactly when the file
    // did: on success, and on NotReopened (the new file is in place, but it
    // could not be opened again; the next write opens it). On any other
    // failure nothing changed. This and saveAtExit first open again a file
    // that an earlier failure (a read-only disk) left closed.
    StoreResult appendResult(Collection &collection, const UserRecord &result);

    // Writes the chapters, the catalogue and the three headers as one set
    // (see AtomicWriteSet): CannotWrite and the other failures leave every
    // file as it was, SaveNotFinished leaves the set written but not yet all
    // in place. A set of an earlier save not yet in place is finished first,
    // or, when it cannot be, replaced by this one (EarlierSaveStands: this
    // one could not be written, the earlier one stands). Once the set is on
    // the disk, the pictures of `collection.PicturesToRemove` that its
    // catalogue does not name are deleted. Afterwards the files are closed;
    // on a failure they are open again. Every write reads the old content of
    // its file by name, never through the handle opened at start-up.
    StoreResult saveAtExit(const Collection &collection);

    // Finishes a save of the set that failed half-way in this session, before
    // any other write (see finishInterruptedSave); the files are open again
    // afterwards as far as they can be.
    StoreResult finishPendingSave();

    void close();
    // Opens again every file that is closed (after close or a backup), each
    // tried; the names ("Caps.stn") of those that could not be opened.
    QStringList reopen();
    bool isOpen() const;

    QString usersPath() const { return m_users.path(); }
    QString chaptersPath() const { return m_chapters.path(); }
    QString problemsPath() const { return m_problems.path(); }

private:
    // Finishes or removes what saves cut short left behind (the folder is
    // ours: locked).
    StoreResult finishUnfinishedSaves() const;
    void removeDroppedPictures(const Collection &collection) const;

    struct Slot
    {
        RecordFile *file;
        QString name;
    };
    std::array<Slot, 3> dataFiles();

    AppFolder m_folder;
    RecordFile m_users;
    RecordFile m_chapters;
    RecordFile m_problems;
    LockCheck m_lockCheck;
};

} // namespace culegere
