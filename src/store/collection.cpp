#include "store/collection.h"

#include <QDir>

namespace culegere {

bool appendToLog(UserTableRows &table, qint16 &next, const UserRecord &result)
{
    table[next] = result;
    ++next;
    if (next <= Collection::LastUserRow)
        return false;
    for (int k = Collection::FirstRow; k < Collection::LastUserRow; ++k)
        table[k] = table[k + 1];
    next = Collection::LastUserRow;
    return true;
}

QString ProblemImagePath(const QString &appPath, const QString &storedPath)
{
    QString trimmed = storedPath;
    while (trimmed.startsWith(u' '))
        trimmed.remove(0, 1);
    while (trimmed.endsWith(u' '))
        trimmed.chop(1);
    return QDir::fromNativeSeparators(appPath) + QStringLiteral("/probleme/probl") +
           trimmed.right(9);
}

QString ProblemImagePath(const QString &appPath, const FixedText<250> &storedPath)
{
    return ProblemImagePath(appPath, storedPath.trimmedText());
}

FixedText<250> cataloguePath(const QString &appPath, const QString &index)
{
    FixedText<250> path;
    path.assignKeepingEnd(encodeCp1250(QDir::toNativeSeparators(
        QDir::fromNativeSeparators(appPath) + QStringLiteral("/Probleme/probl") + index +
        QStringLiteral(".jpg"))));
    return path;
}

QString StripNull(QString &text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

QByteArray StripNull(QByteArray &text)
{
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

} // namespace culegere
