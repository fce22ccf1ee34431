#include "shell/folder_choice.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace culegere {

namespace {

const QString kHomeFolderName = QStringLiteral("Culegere");

bool copyTree(const QString &from, const QString &to, bool onlyMissing,
              const QStringList &skip = {})
{
    bool ok = QDir().mkpath(to);
    const QDir root(QFileInfo(from).absoluteFilePath());
    QDirIterator it(root.path(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = root.relativeFilePath(source);
        if (skip.contains(relative.section(u'/', 0, 0), Qt::CaseInsensitive))
            continue;
        const QString target = QDir(to).filePath(relative);
        if (it.fileInfo().isDir()) {
            ok = QDir().mkpath(target) && ok;
        } else if (!(onlyMissing && QFileInfo::exists(target))) {
            QFile::remove(target);
            ok = QFile::copy(source, target) && ok;
            QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                         QFile::ReadOther);
        }
    }
    return ok;
}

} // namespace

QString sharedFolder(const QString &programFolder)
{
    const QString shared =
        QDir(programFolder).absoluteFilePath(QStringLiteral("../share/culegere"));
    return QFileInfo(shared).isDir() ? QDir::cleanPath(shared) : QString();
}

QString chooseAppFolder(const QStringList &arguments, const QString &programFolder,
                        const QString &homeFolder)
{
    if (arguments.size() > 1 && !arguments.at(1).isEmpty())
        return arguments.at(1);
    if (sharedFolder(programFolder).isEmpty() && QFileInfo(programFolder).isWritable())
        return programFolder;
    return QDir(homeFolder).filePath(kHomeFolderName);
}

bool prepareAppFolder(const QString &folder, const QString &shared, bool withSample)
{
    if (shared.isEmpty())
        return true;
    if (withSample && !QFileInfo::exists(folder)) {
        const bool copied = copyTree(shared, folder, false);
        return QDir().mkpath(QDir(folder).filePath(QStringLiteral("teste"))) &&
               QDir().mkpath(QDir(folder).filePath(QStringLiteral("backup"))) && copied;
    }
    return copyTree(shared, folder, true,
                    {QStringLiteral("Caps.stn"), QStringLiteral("Problems.stn"),
                     QStringLiteral("Users.stn"), QStringLiteral("probleme")});
}

} // namespace culegere
