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
} // namespace

void removeBackupLeftovers(const QString &backupDir)
{
    for (const QString &companion : kCopyCompanions)
        durable::remove(QDir(backupDir).filePath(kCopyName + companion));
}

bool backupArchive(ArchiveAccess &access, const QString &backupDir)
{
    // An archive that cannot be looked at may well be there.
    const durable::Presence present = durable::presence(access.path());
    if (present != durable::Presence::Present)
        return present == durable::Presence::Absent;
    ArchiveResult why;
    const ResultArchive *archive = access.existing(why);
    if (!archive)
        return false;
    // The database writes its copy to a name of its own first; it becomes
    // the backup only whole.
    const QString copy = QDir(backupDir).filePath(kCopyName);
    removeBackupLeftovers(backupDir);
    QFile copied(copy);
    bool done = archive->copyTo(copy).ok() && copied.open(QIODevice::ReadOnly);
    if (done) {
        const QByteArray bytes = copied.readAll();
        done = copied.error() == QFileDevice::NoError;
        copied.close();
        AtomicWriteSet write;
        write.add(QDir(backupDir).filePath(kBackupName), kBackupName, bytes);
        done = done && write.commit().ok();
    }
    removeBackupLeftovers(backupDir);
    return done;
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
        return archivemsg::CheckFailed.arg(archivemsg::reason(why));
    if (!why.ok())
        return archivemsg::NotOpened.arg(archivemsg::reason(why));
    return archivemsg::CheckOk.arg(archive->testCount());
}

} // namespace culegere
