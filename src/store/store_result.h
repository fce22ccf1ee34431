#pragma once

#include <QString>

namespace culegere {

enum class StoreError {
    None,
    CannotOpen,  // the file cannot be opened (or created) for reading and writing
    CannotRead,  // reading the file failed
    CannotWrite, // a write, a flush or the final rename failed; the old file stands
    // The new files are complete and recorded on the disk, but not all of them
    // could be renamed over the old ones yet: the next start-up (or the next
    // write) puts them in place. The change stands; nothing old comes back.
    SaveNotFinished,
    // The change is on the disk, but the file could not be opened again
    // afterwards; the next write opens it again.
    NotReopened,
    // The new files could not be written; the files of an earlier save,
    // recorded on the disk but not yet all in place, stand and will be put
    // in place (the new data are not on the disk).
    EarlierSaveStands,
    // The folder's lock is no longer this program's (another computer took
    // the collection over): nothing was written. `fileName` names the
    // computer that holds it now, "" when the lock does not say.
    LockLost,
    // A save cut short whose commit record was damaged on the disk: some data
    // files are of the new set, others of the old, and which new file goes
    // where cannot be told. `fileName` names those already new ("" when none
    // can be named); nothing was changed.
    SetMixed,
    HeaderTooLarge, // the header names more records than the tables hold
    HeaderNegative, // the header names a negative number of records
    FileCutShort,   // the file ends before the last record its header puts in use
};

// What a store operation did. The store never shows a message; the screen
// turns a failure into one, naming `fileName`.
struct [[nodiscard]] StoreResult
{
    StoreError error = StoreError::None;
    QString fileName; // the data file concerned, as the user knows it ("Caps.stn")
    qint64 value = 0; // for header and length errors: the count the header holds

    bool ok() const { return error == StoreError::None; }
    // The change reached its file: a success, or a file not opened again.
    bool written() const { return ok() || error == StoreError::NotReopened; }
    static StoreResult success() { return {}; }
    static StoreResult failure(StoreError error, const QString &fileName, qint64 value = 0)
    {
        return {error, fileName, value};
    }
};

} // namespace culegere
