#include "shell/folder_lock.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

namespace culegere {

FolderLock::FolderLock(const QString &path) : m_path(path), m_lock(path)
{
    m_lock.setStaleLockTime(0); // held for as long as the program runs
}

FolderLock::Outcome FolderLock::tryLock()
{
    // A lock of a copy that ended on this computer is removed by tryLock.
    if (m_lock.tryLock(0))
        return Outcome::Locked;
    if (m_lock.error() != QLockFile::LockFailedError)
        return Outcome::CannotWrite;
    return heldByAnotherComputer() ? Outcome::HeldElsewhere : Outcome::HeldHere;
}

bool FolderLock::heldByAnotherComputer()
{
    // The lock's lines: process id, program, computer name, computer id, boot id.
    QFile file(m_path);
    QList<QByteArray> lines;
    if (file.open(QIODevice::ReadOnly))
        lines = file.readAll().split('\n');
    m_takenAt = QFileInfo(m_path).lastModified();
    m_holder = lines.size() > 2 ? QString::fromUtf8(lines[2]) : QString();
    // A lock that names no process was cut short when it was made: its
    // maker cannot be running here, nor be asked about.
    bool processNamed = false;
    if (!lines.isEmpty())
        lines[0].toLongLong(&processNamed);
    if (!processNamed)
        return true;
    // The same test as the lock's own: the computer's id where both know one.
    const QByteArray hostId = lines.size() > 3 ? lines[3] : QByteArray();
    const QByteArray ourId = QSysInfo::machineUniqueId();
    if (!hostId.isEmpty() && !ourId.isEmpty())
        return hostId != ourId;
    return !m_holder.isEmpty() && m_holder != QSysInfo::machineHostName();
}

bool FolderLock::takeOver()
{
    return m_lock.removeStaleLockFile() && m_lock.tryLock(0);
}

} // namespace culegere
