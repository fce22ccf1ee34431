#include "shell/folder_choice.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <functional>

namespace culegere {

namespace {

const QString kHomeFolderName = QStringLiteral("Culegere");

// What a folder gets from its source, by the name of an entry at its top.
bool isCueOrHelp(const QString &name)
{
    return name.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive) ||
           name.compare(QStringLiteral("help.chm"), Qt::CaseInsensitive) == 0 ||
           name.compare(QStringLiteral("help"), Qt::CaseInsensitive) == 0;
}
bool isSample(const QString &name)
{
    for (const char *part : {"Caps.stn", "Problems.stn", "probleme"}) {
        if (name.compare(QLatin1String(part), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Copies the files of `from` whose top-level entry `take` accepts; with
// `onlyMissing`, a file already in `to` is kept.
bool copyTree(const QString &from, const QString &to, bool onlyMissing,
              const std::function<bool(const QString &)> &take)
{
    bool ok = QDir().mkpath(to);
    const QDir root(QFileInfo(from).absoluteFilePath());
    QDirIterator it(root.path(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = root.relativeFilePath(source);
        if (!take(relative.section(u'/', 0, 0)))
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

// Whether every file of `from` that `take` accepts is in `to` with its size:
// a folder that could not be listed during the copy goes unnoticed by it.
bool allCopied(const QString &from, const QString &to,
               const std::function<bool(const QString &)> &take)
{
    const QDir root(QFileInfo(from).absoluteFilePath());
    QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = root.relativeFilePath(it.next());
        if (take(relative.section(u'/', 0, 0)) &&
            QFileInfo(QDir(to).filePath(relative)).size() != it.fileInfo().size())
            return false;
    }
    return true;
}

} // namespace

QString sharedFolder(const QString &programFolder)
{
    const QString shared =
        QDir(programFolder).absoluteFilePath(QStringLiteral("../share/culegere"));
    return QFileInfo(shared).isDir() ? QDir::cleanPath(shared) : QString();
}

QString fillingSource(const QString &programFolder)
{
    const QString shared = sharedFolder(programFolder);
    if (!shared.isEmpty() || QFileInfo(programFolder).isWritable())
        return shared;
    return QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
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

QString fillingFolder(const QString &folder)
{
    const QFileInfo target(folder);
    return target.absoluteDir().filePath(u'.' + target.fileName() + QStringLiteral(".umplere"));
}

bool prepareAppFolder(const QString &folder, const QString &source, bool withSample)
{
    if (source.isEmpty())
        return true;
    if (withSample && !QFileInfo::exists(folder)) {
        // Filled beside and put in place whole: a fill cut short leaves no
        // half collection to start on, and the next start begins it again.
        const QString beside = fillingFolder(folder);
        QDir(beside).removeRecursively();
        auto take = [](const QString &name) { return isCueOrHelp(name) || isSample(name); };
        const bool copied =
            copyTree(source, beside, false, take) && allCopied(source, beside, take);
        const bool filled = copied &&
                            QDir().mkpath(QDir(beside).filePath(QStringLiteral("teste"))) &&
                            QDir().mkpath(QDir(beside).filePath(QStringLiteral("backup")));
        if (filled && QDir().rename(beside, folder))
            return true;
        QDir(beside).removeRecursively();
        return false;
    }
    return copyTree(source, folder, true, isCueOrHelp);
}

} // namespace culegere
