#include "store/backup.h"

#include "store/atomic_file.h"

#include <QDir>
#include <QFile>

namespace culegere {

namespace {

bool readWhole(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace

BackupReport backupDataFiles(DataFiles &files, const AppFolder &folder)
{
    BackupReport report;
    const struct
    {
        QString source;
        QString copy;
    } copies[] = {{files.usersPath(), QStringLiteral("users.stn")},
                  {files.chaptersPath(), QStringLiteral("caps.stn")},
                  {files.problemsPath(), QStringLiteral("problems.stn")}};

    // Nothing is written into a folder another computer has taken over.
    const bool settled = files.lockHeld().ok() && files.finishPendingSave().ok();
    files.close();
    const QString backupDir = folder.resolve(QStringLiteral("\\backup"));
    const bool haveDir = settled && QDir().mkpath(backupDir);
    for (const auto &copy : copies) {
        QByteArray bytes;
        AtomicWriteSet write;
        const QString target = folder.resolve(QStringLiteral("\\backup\\") + copy.copy);
        if (!haveDir || !readWhole(copy.source, bytes)) {
            report.failedCopies.append(copy.copy);
            continue;
        }
        write.add(target, copy.copy, bytes);
        if (!write.commit().ok())
            report.failedCopies.append(copy.copy);
    }
    report.notReopened = files.reopen();
    return report;
}

} // namespace culegere
