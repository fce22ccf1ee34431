#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

#include <optional>

namespace culegere {

// The lock that keeps a second copy of the program off an application folder
// while one works on it: a file naming the process and the computer that
// holds it (lines: process id, program, computer name, computer id, boot id),
// held open with the system's advisory lock while the program runs and
// removed when it ends, if it is still this program's.
//
// A lock file already there is judged by what it names:
// - empty or naming no process: a start cut short right after the file was
//   made; nobody holds it, so it is replaced (unless a copy is making it
//   at this very moment and holds it);
// - another computer (its name differs, or its computer id does): that copy
//   may still run there, or that computer may have stopped without the
//   exit. Only the user can tell, so the caller asks, and takeOver follows
//   a yes;
// - this computer: held while a copy holds it open (or, after the folder's
//   disk was taken out and put back, while the process it names still runs
//   this program); else left by a copy that ended, and replaced at once.
// A stale lock is removed only while this program holds it with the
// system's lock and only if the name still leads to it, so two copies
// replacing one stale lock never remove each other's new one.
class FolderLock
{
public:
    explicit FolderLock(const QString &path);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    enum class Outcome {
        Locked,        // the folder is this program's now
        HeldHere,      // a copy running on this computer holds it
        HeldElsewhere, // a copy on another computer took it
        CannotWrite,   // no lock can be made: the folder cannot be written
    };
    Outcome tryLock();

    // For HeldElsewhere: the computer named in the lock ("" when the lock
    // names none) and when the lock was taken.
    QString holder() const { return m_holder; }
    QDateTime takenAt() const { return m_takenAt; }

    // Replaces the other computer's lock by this program's; false when the
    // lock could not be taken after all.
    bool takeOver();

    // Nothing while the lock file is still this program's; else the computer
    // that holds the folder now ("" when its lock names none, or there is
    // no lock at all).
    std::optional<QString> lostTo() const;

private:
    enum class Made { Locked, NotMade, Failed };
    Made makeLockFile();
    enum class Judged { Stale, HeldHere, HeldElsewhere, Gone };
    // Judges the lock file there; a stale one is removed.
    Judged judgeAndRemoveStale(bool removeAnyHeldElsewhere);

    QString m_path;
    QFile m_file; // the lock made here, open while held
    QString m_holder;
    QDateTime m_takenAt;
};

} // namespace culegere
