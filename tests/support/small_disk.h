#pragma once

#include "support/driver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace culegere::test {

// A tmpfs of a few megabytes mounted over a folder for as long as this
// lives, holding a copy of what the folder held; unmounted in every case,
// also when a check fails half-way. Mounting needs root (CI runs as root):
// mounted() is false elsewhere, with the reason in problem(). Start the
// program on it with Driver(folder).
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
        if (geteuid() != 0) {
            m_problem = QStringLiteral("mounting a small file system needs root (CI runs as root)");
            return;
        }
        const FolderBytes held = folderBytes(folder);
        const QByteArray options = "size=" + QByteArray::number(megabytes) + "m,mode=0700";
        if (::mount("culegere-test", m_folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData()) != 0) {
            m_problem = QStringLiteral("cannot mount a tmpfs: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_mounted = true;
        for (auto it = held.begin(); it != held.end(); ++it) {
            const QString path = QDir(folder).filePath(it.key());
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
                qFatal("cannot copy %s onto the small disk", qPrintable(path));
        }
    }
    ~SmallDisk()
    {
        if (m_readOnly)
            ::umount2(m_folder.constData(), MNT_DETACH);
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString problem() const { return m_problem; }

    // Writes the filler file until the disk has no room left.
    bool fill()
    {
        const QByteArray path = m_folder + '/' + QFile::encodeName(Filler);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            return false;
        const QByteArray chunk(64 * 1024, 'u');
        while (::write(fd, chunk.constData(), size_t(chunk.size())) >= 0) {
        }
        const int error = errno;
        ::close(fd);
        return error == ENOSPC;
    }
    bool makeRoom()
    {
        return ::unlink((m_folder + '/' + QFile::encodeName(Filler)).constData()) == 0;
    }

    bool setReadOnly()
    {
        if (::mount(m_folder.constData(), m_folder.constData(), nullptr, MS_BIND, nullptr) != 0)
            return false;
        m_readOnly = true;
        return ::mount(nullptr, m_folder.constData(), nullptr,
                       MS_REMOUNT | MS_BIND | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
    }
    bool setWritable()
    {
        m_readOnly = false;
        return ::umount2(m_folder.constData(), MNT_DETACH) == 0;
    }

private:
    QByteArray m_folder;
    QString m_problem;
    bool m_mounted = false;
    bool m_readOnly = false;
};

} // namespace culegere::test
