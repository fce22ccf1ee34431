#include "folder/app_folder.h"

#include <QDir>
#include <QFileInfo>

namespace culegere {

namespace {

QString cleanRoot(const QString &root)
{
    QString path = QDir::cleanPath(QDir::fromNativeSeparators(QFileInfo(root).absoluteFilePath()));
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

// The entry of `dir` whose name equals `name` ignoring case, or "" when none.
QString findIgnoringCase(const QString &dir, const QString &name)
{
    const QStringList entries = QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

} // namespace

AppFolder::AppFolder(const QString &root) : m_root(cleanRoot(root)) {}

QString AppFolder::resolve(const QString &name) const
{
    QString path = m_root;
    bool onDisk = true;
    const QStringList parts = QString(name).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        QString next = path + u'/' + part;
        if (onDisk && !QFileInfo::exists(next)) {
            const QString match = findIgnoringCase(path, part);
            if (match.isEmpty())
                onDisk = false;
            else
                next = path + u'/' + match;
        }
        path = next;
    }
    return path;
}

QString AppFolder::resolvePath(const QString &path) const
{
    const QString full = QDir::fromNativeSeparators(path);
    const QString prefix = m_root + u'/';
    if (!full.startsWith(prefix))
        return path;
    return resolve(full.mid(prefix.size()));
}

bool isPlainName(const QString &name)
{
    if (name.contains(QStringLiteral("..")))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

} // namespace culegere
