#include "archive/archive_upkeep.h"

#include "archive/archive_messages.h"
#include "store/atomic_file.h"
#include "store/durable_io.h"

#include <QDir>
#include <QFile>

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
    // The database writes its copy to a name of its own first; it becomes
    // the backup only whole.
    const QString copy = QDir(backupDir).filePath(kCopyName);
    removeBackupLeftovers(backupDir);
    why = archive->copyTo(copy);
    QString told = failed(why);
    QFile copied(copy);
    if (why.ok()) {
        QByteArray bytes;
        if (copied.open(QIODevice::ReadOnly))
            bytes = copied.readAll();
        AtomicWriteSet write;
        write.add(QDir(backupDir).filePath(kBackupName), kBackupName, bytes);
        if (copied.error() != QFileDevice::NoError || !copied.isOpen() || !write.commit().ok())
            told = archivemsg::BackupNotCopied.arg(archivemsg::BackupNotPlaced);
        copied.close();
    }
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
