#pragma once

#include "store/data_files.h"

#include <QStringList>

namespace culegere {

// What a backup did.
struct BackupReport
{
    QStringList failedCopies; // backup file names ("caps.stn") not copied
    QStringList notReopened;  // data files ("Caps.stn") that could not be opened again

    bool copiedAll() const { return failedCopies.isEmpty(); }
};

// Copies the three data files, as they are on disk, into the folder
// "backup" of the application folder (created when missing), as users.stn,
// caps.stn and problems.stn. The data files are closed for the copy and
// opened again in every case, each of them tried. Each old copy is replaced
// only once its new copy is complete, so a failed backup never leaves the
// folder without one. A save of the data files left unfinished in this
// session is finished first; while it cannot be, no copy is made (the files
// on disk would not belong together).
BackupReport backupDataFiles(DataFiles &files, const AppFolder &folder);

} // namespace culegere
