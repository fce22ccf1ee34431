#include "archive/archive_upkeep.h"

#include "archive/archive_messages.h"
#include "store/durable_io.h"

#include <QDir>

namespace culegere {

namespace {
const QString kBackupName = QStringLiteral("arhiva.sqlite");
// The name the database writes its copy under, and what it keeps beside it
// while writing.
const QString kCopyName = kBackupName + QStringLiteral(".copie");
const QString kCopyCompanions[] = {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"),
                                   QStringLiteral("-shm")};

// What a backup that met `why` tells ("" when nothing failed).
QString failed(const ArchiveResult &why)
{
    if (why.ok())
        return {};
    if (why.error == ArchiveError::Damaged) {
        const QString detail = why.detail.trimmed();
        return detail.isEmpty()
                   ? archivemsg::BackupDamaged
                   : archivemsg::BackupDamaged + u'\n' + archivemsg::Details.arg(detail);
    }
    return archivemsg::failure(archivemsg::BackupNotCopied, why);
}

} // namespace

void removeBackupLeftovers(const QString &backupDir)
{
    for (const QString &companion : kCopyCompanions)
        durable::remove(QDir(backupDir).filePath(kCopyName + companion));
}

QString backupArchive(ArchiveAccess &access, const QString &backupDir)
{
    // An archive that cannot be looked at may well be there.
    const durable::Presence present = durable::presence(access.path());
    if (present == durable::Presence::Absent)
        return {};
    ArchiveResult why{ArchiveError::CannotOpen};
    const ResultArchive *archive =
        present == durable::Presence::Present ? access.existing(why) : nullptr;
    if (!archive)
        return failed(why);
    // The database writes its copy to a name of its own first, straight to
    // the disk (the archive is never held in memory); it becomes the backup
    // only whole, synced, by a rename.
    const QString copy = QDir(backupDir).filePath(kCopyName);
    removeBackupLeftovers(backupDir);
    why = archive->copyTo(copy);
    QString told = failed(why);
    if (why.ok() && !(durable::syncFile(copy) &&
                      durable::replace(copy, QDir(backupDir).filePath(kBackupName)) &&
                      durable::syncFolder(backupDir)))
        told = archivemsg::BackupNotCopied.arg(archivemsg::BackupNotPlaced);
    removeBackupLeftovers(backupDir);
    return told;
}

QString checkArchive(ArchiveAccess &access)
{
    switch (durable::presence(access.path())) {
    case durable::Presence::Absent:
        return archivemsg::CheckAbsent;
    case durable::Presence::Unknown:
        return archivemsg::CheckUnreadable;
    case durable::Presence::Present:
        break;
    }
    ArchiveResult why;
    const ResultArchive *archive = access.existing(why);
    if (archive)
        why = archive->quickCheck();
    if (why.error == ArchiveError::Damaged)
        return archivemsg::failure(archivemsg::CheckFailed, why);
    if (!why.ok())
        return archivemsg::failure(archivemsg::NotOpened, why);
    return archivemsg::CheckOk.arg(archive->testCount());
}

} // namespace culegere
