#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

#include <memory>

class QLockFile;

namespace culegere {

// The lock that keeps a second copy of the program off an application folder
// while one works on it: a file naming the process and the computer that
// holds it, removed when the program ends.
//
// A lock left by a copy that ended on this computer is taken over at once.
// One taken on another computer (the folder on a memory stick or a network
// share) cannot be checked from here: the program may still run there, or
// that computer may have stopped without the exit. Only the user can tell,
// so the caller asks, and takeOver follows a yes.
//
// Where no lock file is there, the lock is made directly: the file written
// in QLockFile's format (process id, program, computer name, computer id,
// boot id) and held open with the system's lock, as QLockFile holds its
// own, but not pushed to the disk, which only slowed every start and end
// (a lock file outlives no restart of the computer that made it anyway).
// A lock file already there is judged, and taken over, by QLockFile.
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

private:
    enum class Made { Locked, NotMade, Failed };
    Made makeLockFile();
    // Reads who holds the lock; false when it is this computer.
    bool heldByAnotherComputer();

    QString m_path;
    QFile m_file;                        // the lock made here, open while held
    std::unique_ptr<QLockFile> m_qtLock; // a lock file that was there already
    QString m_holder;
    QDateTime m_takenAt;
};

} // namespace culegere
