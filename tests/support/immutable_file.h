#pragma once

#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace culegere::test {

// Until release(), the file cannot be replaced, renamed or removed, by root
// either (the immutable flag chattr +i sets): a rename over it fails as on a
// memory stick that refuses it. held() is false where the flag cannot be set.
class ImmutableFile
{
public:
    explicit ImmutableFile(const QString &path) : m_path(QFile::encodeName(path))
    {
        m_held = setFlag(FS_IMMUTABLE_FL);
    }
    ~ImmutableFile() { release(); }
    bool held() const { return m_held; }
    void release() { m_held = m_held && !setFlag(0); }

private:
    bool setFlag(int flag) const
    {
        const int fd = ::open(m_path.constData(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = (flags & ~FS_IMMUTABLE_FL) | flag;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        return (fd < 0 || ::close(fd) == 0) && done;
    }

    QByteArray m_path;
    bool m_held = false;
};

} // namespace culegere::test
