#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace culegere::test {

// While alive, the file cannot be replaced, renamed or removed, by root
// either (the file system's immutable flag, as chattr +i sets it): a save
// that renames over it fails as on a memory stick that refuses it. held()
// is false where the file system or the user cannot set the flag.
class ImmutableFile
{
public:
    explicit ImmutableFile(const QString &path) : m_path(QFile::encodeName(path))
    {
        m_held = setFlag(true);
    }
    ~ImmutableFile() { release(); }
    ImmutableFile(const ImmutableFile &) = delete;
    ImmutableFile &operator=(const ImmutableFile &) = delete;

    bool held() const { return m_held; }
    void release()
    {
        if (m_held)
            setFlag(false);
        m_held = false;
    }

private:
    bool setFlag(bool on)
    {
        const int fd = ::open(m_path.constData(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return done;
    }

    QByteArray m_path;
    bool m_held = false;
};

} // namespace culegere::test
