#include "archive/archive_upkeep.h"

#include "archive/archive_messages.h"
#include "store/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace culegere {

namespace {
const QString kBackupName = QStringLiteral("arhiva.sqlite");
} // namespace

bool backupArchive(ArchiveAccess &access, const QString &backupDir)
{
    if (!QFileInfo::exists(access.path()))
        return true;
    ArchiveResult why;
    const ResultArchive *archive = access.existing(why);
    if (!archive)
        return false;
    // The database writes its copy to a name of its own first; it becomes
    // the backup only whole.
    const QString copy = QDir(backupDir).filePath(kBackupName + QStringLiteral(".copie"));
    QFile::remove(copy);
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
    QFile::remove(copy);
    return done;
}

QString checkArchive(ArchiveAccess &access)
{
    if (!QFileInfo::exists(access.path()))
        return archivemsg::CheckAbsent;
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
