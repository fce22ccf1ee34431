#pragma once

#include "store/store_result.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace culegere {

// Replaces whole files so that none is ever half-written, and several files
// as one set: after a failure or a crash at any moment, either every file of
// the set is old or every one is new (once finishInterruptedSave has run).
//
// Each new content is written completely beside its file under a name only
// the program makes, and pushed to the disk. One file is then renamed over
// the old one. Several files (data files of one folder, at most one of each
// name) get a commit record naming their new files first (see
// commit_record.h): up to the moment it is on the disk a failure removes the
// new files and every old file stands; from then on the set is new, and the
// renames that follow are finished by whoever finds the record.
class AtomicWriteSet
{
public:
    // `fileName` names the file in a failure ("Caps.stn").
    void add(const QString &path, const QString &fileName, QByteArray content);

    // Success: every file holds its new content. CannotWrite, naming a file:
    // nothing changed, every old file stands and nothing of the attempt is
    // left. SaveNotFinished, naming the first file not renamed: the set is new
    // on the disk, but some of its files are still beside their old ones.
    // A replacement left unfinished in the folder must be finished first.
    StoreResult commit();

private:
    StoreResult commitOne();
    StoreResult commitSet();

    struct Entry
    {
        QString path;
        QString fileName;
        QByteArray content;
        QString newPath; // where the new content was written
    };
    std::vector<Entry> m_entries;
};

// Finishes what a replacement cut short left in `folder`: with a complete
// commit record there, the recorded new files are renamed over the old ones
// and the record removed; without one (or with a damaged one) the new files
// are removed. Every other file of the folder stays as it is. A failure
// (SaveNotFinished: a rename; CannotRead: the record) changes nothing more.
StoreResult finishInterruptedSave(const QString &folder);

// Whether `folder` holds a commit record still to be finished (or cannot tell).
bool hasInterruptedSave(const QString &folder);

// Removes the new files that replacements cut short left in `folder`; the
// caller knows that no commit record there still needs them.
void removeLeftovers(const QString &folder);

} // namespace culegere
