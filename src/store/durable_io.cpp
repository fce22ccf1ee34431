#include "store/durable_io.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace culegere::durable {

namespace {

const QString kNewFilePrefix = QStringLiteral(".culegere.new-");
constexpr int kRandomDigits = 12;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString randomName()
{
    const quint64 bits = QRandomGenerator::global()->generate64();
    return kNewFilePrefix +
           QStringLiteral("%1").arg(bits & 0xFFFF'FFFF'FFFFull, kRandomDigits, 16, QChar(u'0'));
}

bool writeWhole(int fd, const QByteArray &content)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        // A short count with no error is how a full disk may answer.
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

bool isNewFileName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^%1[0-9a-f]{%2}$")
                                                .arg(QRegularExpression::escape(kNewFilePrefix))
                                                .arg(kRandomDigits));
    return pattern.match(name).hasMatch();
}

QString writeNew(const QString &folder, const QByteArray &content, const QString &permissionsOf)
{
    QString path;
    int fd = -1;
    // Another file of the same name is next to impossible; a few tries settle it.
    for (int attempt = 0; attempt < 4 && fd < 0; ++attempt) {
        path = folder + u'/' + randomName();
        fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST)
            return {};
    }
    if (fd < 0)
        return {};
    struct stat old
    {
    };
    bool ok = ::stat(native(permissionsOf).constData(), &old) != 0 ||
              ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && writeWhole(fd, content) && ::fsync(fd) == 0;
    // A failed close can mean that written data never reached the disk.
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(native(path).constData());
        return {};
    }
    return path;
}

bool syncFolder(const QString &folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

bool replace(const QString &from, const QString &to)
{
    return ::rename(native(from).constData(), native(to).constData()) == 0;
}

bool remove(const QString &path)
{
    return ::unlink(native(path).constData()) == 0 || errno == ENOENT;
}

Presence presence(const QString &path)
{
    struct stat info
    {
    };
    if (::lstat(native(path).constData(), &info) == 0)
        return Presence::Present;
    return errno == ENOENT ? Presence::Absent : Presence::Unknown;
}

} // namespace culegere::durable
