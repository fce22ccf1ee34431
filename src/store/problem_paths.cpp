#include "store/problem_paths.h"

#include <QDir>

namespace culegere {

QString storedPicturePath(const QString &appPath, const QString &index)
{
    return QDir::toNativeSeparators(QDir::fromNativeSeparators(appPath) +
                                    QStringLiteral("/Probleme/probl") + index +
                                    QStringLiteral(".jpg"));
}

FixedText<250> cataloguePath(const QString &appPath, const QString &index)
{
    FixedText<250> path;
    path.assignKeepingEnd(encodeCp1250(storedPicturePath(appPath, index)));
    return path;
}

QString problemImagePath(const QString &appPath, const QString &storedPath)
{
    QString trimmed = storedPath;
    while (trimmed.startsWith(u' '))
        trimmed.remove(0, 1);
    while (trimmed.endsWith(u' '))
        trimmed.chop(1);
    return QDir::fromNativeSeparators(appPath) + QStringLiteral("/probleme/probl") +
           trimmed.right(9);
}

QString problemImagePath(const QString &appPath, const FixedText<250> &storedPath)
{
    return problemImagePath(appPath, storedPath.trimmedText());
}

QString problemIndex(const FixedText<250> &storedPath)
{
    return storedPath.trimmedText().right(9).left(5);
}

QString problemPictureFile(const AppFolder &folder, const QString &storedPath)
{
    return folder.resolvePath(problemImagePath(folder.root(), storedPath));
}

QString problemPictureFile(const AppFolder &folder, const FixedText<250> &storedPath)
{
    return folder.resolvePath(problemImagePath(folder.root(), storedPath));
}

} // namespace culegere
