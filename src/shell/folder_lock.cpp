#include "shell/folder_lock.h"

#include "store/durable_io.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

namespace culegere {

namespace {

// QLockFile's lines, so that its judgement of a lock (ours, read by another
// copy, or another's, read by us) stays the same whoever made the file. The
// program is named by its file, as QLockFile names it, to tell a process id
// taken over by another program.
QByteArray lockContent()
{
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
           QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
           QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n' +
           QSysInfo::bootUniqueId() + '\n';
}

} // namespace

FolderLock::FolderLock(const QString &path) : m_path(path), m_file(path) {}

FolderLock::~FolderLock()
{
    if (m_file.isOpen()) {
        // Removed while still held, so no other copy takes a lock on the way out.
        QFile::remove(m_path);
        m_file.close();
    }
}

FolderLock::Made FolderLock::makeLockFile()
{
    // A lock file there already, or a folder that refuses a new file, is
    // left to QLockFile, which tells the two apart.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Made::NotMade;
    durable::holdOpenFile(m_file.handle());
    const QByteArray content = lockContent();
    if (m_file.write(content) != content.size() || !m_file.flush()) {
        QFile::remove(m_path);
        m_file.close();
        return Made::Failed;
    }
    return Made::Locked;
}

FolderLock::Outcome FolderLock::tryLock()
{
    switch (makeLockFile()) {
    case Made::Locked:
        return Outcome::Locked;
    case Made::Failed:
        return Outcome::CannotWrite;
    case Made::NotMade:
        break;
    }
    m_qtLock = std::make_unique<QLockFile>(m_path);
    m_qtLock->setStaleLockTime(0); // held for as long as the program runs
    // A lock of a copy that ended on this computer is removed by tryLock.
    if (m_qtLock->tryLock(0))
        return Outcome::Locked;
    if (m_qtLock->error() != QLockFile::LockFailedError)
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
    return m_qtLock && m_qtLock->removeStaleLockFile() && m_qtLock->tryLock(0);
}

} // namespace culegere
