#pragma once

#include "archive/archive_access.h"

#include <QString>

namespace culegere {

// The backup's copy of the archive, `arhiva.sqlite` in `backupDir` (which
// exists): a consistent copy taken while the archive stays open, then put in
// place as the data files' copies are (the old copy is replaced only by a
// complete new one). An archive that does not exist is not copied and is
// no failure (""); a damaged one, or one that cannot be copied, is a
// failure, told by the message returned, and the old copy stays.
QString backupArchive(ArchiveAccess &access, const QString &backupDir);

// Removes what a backup of the archive cut short left in `backupDir` (its
// copy and the database's files beside it), and nothing else.
void removeBackupLeftovers(const QString &backupDir);

// The integrity check's line on the archive: whether it opens and passes
// the quick check, and how many tests it holds; that there is none yet; or
// that it could not be looked at.
QString checkArchive(ArchiveAccess &access);

} // namespace culegere
