#include "store/durable_io.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

// The system calls each step is made of, on POSIX systems and on Windows:
//
//   step           POSIX                            Windows
//   writeNew       open(O_CREAT | O_EXCL), fchmod   CreateFileW(CREATE_NEW),
//                  (refused: no failure),
//                  write, fsync, close              WriteFile, FlushFileBuffers,
//                                                   CloseHandle (the folder's
//                                                   permissions are inherited)
//   syncFolder     open(O_DIRECTORY), fsync         nothing to do: see below
//   replace        rename                           MoveFileExW(MOVEFILE_REPLACE_
//                                                   EXISTING | MOVEFILE_WRITE_THROUGH)
//   remove         unlink (ENOENT: gone)            DeleteFileW (not found: gone)
//   presence       lstat                            GetFileAttributesW
//   holdOpenFile   flock(LOCK_EX | LOCK_NB)         nothing to do: an open file
//                                                   cannot be removed there
//   sameFile       fstat, stat                      GetFileInformationByHandle,
//                                                   CreateFileW (the volume and
//                                                   file index compared)
//
// Windows has no call that pushes a folder to the disk: there a rename asks
// for write-through instead (it returns once the rename is on the disk), and
// FlushFileBuffers on a new file commits the file system's journal (NTFS)
// with it, its name included. The Windows branch keeps to these few calls
// so that it can be read against the POSIX one step by step; no build or
// test of this project runs on Windows yet, so a port starts by building
// and running the store's tests there.
#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <io.h>

#include <QDir>

#include <algorithm>
#include <string>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace culegere::durable {

namespace {

const QString kNewFilePrefix = QStringLiteral(".culegere.new-");
constexpr int kRandomDigits = 12;
// Another file of the same name is next to impossible; a few tries settle it.
constexpr int kNameTries = 4;

QString randomName()
{
    const quint64 bits = QRandomGenerator::global()->generate64();
    return kNewFilePrefix +
           QStringLiteral("%1").arg(bits & 0xFFFF'FFFF'FFFFull, kRandomDigits, 16, QChar(u'0'));
}

#ifdef _WIN32

std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

bool goneOrMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool writeWhole(HANDLE file, const QByteArray &content)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const DWORD chunk = DWORD(std::min<qsizetype>(content.size() - done, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(file, content.constData() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

#else

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
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

// A file system that keeps no permissions (FAT, many shared folders) refuses
// to set them, with one of these answers; the new file then has what the
// folder gives every file, as the old one had.
bool copyPermissions(int fd, mode_t mode)
{
    if (::fchmod(fd, mode) == 0)
        return true;
    const int refused = errno;
    return refused == EPERM || refused == ENOSYS || refused == ENOTSUP || refused == EOPNOTSUPP;
}

#endif

} // namespace

bool isNewFileName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^%1[0-9a-f]{%2}$")
                                                .arg(QRegularExpression::escape(kNewFilePrefix))
                                                .arg(kRandomDigits));
    return pattern.match(name).hasMatch();
}

#ifdef _WIN32

QString writeNew(const QString &folder, const QByteArray &content, const QString &, Push push)
{
    QString path;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kNameTries && file == INVALID_HANDLE_VALUE; ++attempt) {
        path = folder + u'/' + randomName();
        file = CreateFileW(native(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return {};
    }
    if (file == INVALID_HANDLE_VALUE)
        return {};
    bool ok = writeWhole(file, content) && (push == Push::Later || FlushFileBuffers(file));
    ok = CloseHandle(file) && ok;
    if (!ok) {
        DeleteFileW(native(path).c_str());
        return {};
    }
    return path;
}

bool syncFolder(const QString &)
{
    return true;
}

bool syncFile(const QString &path)
{
    HANDLE file = CreateFileW(native(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(file);
    return CloseHandle(file) && flushed;
}

bool replace(const QString &from, const QString &to)
{
    return MoveFileExW(native(from).c_str(), native(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool remove(const QString &path)
{
    return DeleteFileW(native(path).c_str()) || goneOrMissing(GetLastError());
}

Presence presence(const QString &path)
{
    if (GetFileAttributesW(native(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return Presence::Present;
    return goneOrMissing(GetLastError()) ? Presence::Absent : Presence::Unknown;
}

bool holdOpenFile(int)
{
    return true;
}

bool sameFile(int handle, const QString &path)
{
    BY_HANDLE_FILE_INFORMATION held{}, named{};
    const HANDLE file =
        CreateFileW(native(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool known = GetFileInformationByHandle(HANDLE(_get_osfhandle(handle)), &held) &&
                       GetFileInformationByHandle(file, &named);
    CloseHandle(file);
    return known && held.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
           held.nFileIndexHigh == named.nFileIndexHigh && held.nFileIndexLow == named.nFileIndexLow;
}

#else

QString writeNew(const QString &folder, const QByteArray &content, const QString &permissionsOf,
                 Push push)
{
    QString path;
    int fd = -1;
    for (int attempt = 0; attempt < kNameTries && fd < 0; ++attempt) {
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
              copyPermissions(fd, old.st_mode & 07777);
    ok = ok && writeWhole(fd, content) && (push == Push::Later || ::fsync(fd) == 0);
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

bool syncFile(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
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

bool holdOpenFile(int handle)
{
    return ::flock(handle, LOCK_EX | LOCK_NB) == 0;
}

bool sameFile(int handle, const QString &path)
{
    struct stat held
    {
    };
    struct stat named
    {
    };
    return ::fstat(handle, &held) == 0 && ::stat(native(path).constData(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

#endif

} // namespace culegere::durable
