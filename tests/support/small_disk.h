#pragma once

#include "support/driver.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace culegere::test {

// A tmpfs of a few megabytes mounted over a folder for as long as this lives,
// holding a copy of what the folder held; unmounted in every case, also when
// a check fails half-way. Start the program on it with Driver(folder).
// Mounting needs root (CI runs as root): elsewhere problem() says why not.
//
// A plain `remount,ro` is refused while the program holds files open for
// writing (its data files, its lock), so the disk turns read-only under the
// program the way the program then sees it: a read-only view of the file
// system is mounted over the folder, and taken away to make it writable.
class SmallDisk
{
public:
    static inline const QString Filler = QStringLiteral(".umplutura");

    SmallDisk(const QString &folder, int megabytes) : m_folder(QFile::encodeName(folder))
    {
        const FolderBytes held = folderBytes(folder);
        const QByteArray options = "size=" + QByteArray::number(megabytes) + "m,mode=0700";
        if (geteuid() != 0 || ::mount("culegere-test", m_folder.constData(), "tmpfs",
                                      MS_NOSUID | MS_NODEV, options.constData()) != 0) {
            m_problem = geteuid() != 0 ? "mounting a small file system needs root (CI runs as root)"
                                       : "cannot mount a tmpfs: " + qt_error_string(errno);
            return;
        }
        for (auto it = held.begin(); it != held.end(); ++it) {
            QDir(folder).mkpath(QFileInfo(it.key()).path());
            QFile file(QDir(folder).filePath(it.key()));
            if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
                qFatal("cannot copy %s onto the small disk", qPrintable(it.key()));
        }
    }
    ~SmallDisk()
    {
        for (int mounts = m_readOnly ? 2 : m_problem.isEmpty() ? 1 : 0; mounts > 0; --mounts)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    // Why the disk could not be mounted; "" when it is.
    QString problem() const { return m_problem; }

    // Writes the filler file until the disk has no room left.
    bool fill()
    {
        const int fd = ::open(m_folder + '/' + QFile::encodeName(Filler), O_WRONLY | O_CREAT, 0600);
        const QByteArray chunk(64 * 1024, 'u');
        while (fd >= 0 && ::write(fd, chunk.constData(), size_t(chunk.size())) > 0) {
        }
        const bool full = errno == ENOSPC;
        return ::close(fd) == 0 && full;
    }
    bool makeRoom() { return ::unlink(m_folder + '/' + QFile::encodeName(Filler)) == 0; }

    bool setReadOnly()
    {
        m_readOnly = ::mount(m_folder, m_folder, nullptr, MS_BIND, nullptr) == 0;
        return m_readOnly &&
               ::mount(nullptr, m_folder, nullptr,
                       MS_REMOUNT | MS_BIND | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
    }
    bool setWritable()
    {
        m_readOnly = false;
        return ::umount2(m_folder, MNT_DETACH) == 0;
    }

private:
    QByteArray m_folder;
    QString m_problem;
    bool m_readOnly = false;
};

} // namespace culegere::test
