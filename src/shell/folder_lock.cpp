#include "shell/folder_lock.h"

#include "store/durable_io.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSysInfo>

namespace culegere {

namespace {

// The lines of a lock: process id, program, computer name, computer id,
// boot id (QLockFile's, so that either judges the other's the same way).
enum Line { Process, Program, Computer, ComputerId, BootId, LineCount };

QByteArray lockContent()
{
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
           QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
           QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n' +
           QSysInfo::bootUniqueId() + '\n';
}

QList<QByteArray> linesOf(const QByteArray &content)
{
    QList<QByteArray> lines = content.split('\n');
    while (lines.size() < LineCount)
        lines.append(QByteArray());
    return lines;
}

bool namesAnotherComputer(const QList<QByteArray> &lines)
{
    const QByteArray name = lines[Computer];
    const QByteArray id = lines[ComputerId];
    const QByteArray ourId = QSysInfo::machineUniqueId();
    // A cloned computer keeps the id of the one it was cloned from: the
    // names tell them apart.
    return (!name.isEmpty() && name != QSysInfo::machineHostName().toUtf8()) ||
           (!id.isEmpty() && !ourId.isEmpty() && id != ourId);
}

// Whether the process still runs this program on this computer since its
// last start (Linux tells through /proc; elsewhere the system's lock alone
// tells, which is enough while the disk stays in). A lock of an older make
// names no boot.
bool stillRuns(const QList<QByteArray> &lines)
{
    if (!lines[BootId].isEmpty() && lines[BootId] != QSysInfo::bootUniqueId())
        return false;
    const QString exe =
        QFileInfo(QStringLiteral("/proc/%1/exe").arg(QString::fromLatin1(lines[Process])))
            .symLinkTarget();
    return !exe.isEmpty() && QFileInfo(exe).fileName() ==
                                 QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

} // namespace

FolderLock::FolderLock(const QString &path) : m_path(path), m_file(path) {}

FolderLock::~FolderLock()
{
    if (!m_file.isOpen())
        return;
    // Removed while still held, so no other copy takes a lock on the way
    // out; never when it is another's by now.
    if (!lostTo())
        durable::remove(m_path);
    m_file.close();
}

FolderLock::Made FolderLock::makeLockFile()
{
    // A lock file there already, or a folder that refuses a new file, is
    // judged by the caller, which tells the two apart.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Made::NotMade;
    durable::holdOpenFile(m_file.handle());
    const QByteArray content = lockContent();
    if (m_file.write(content) != content.size() || !m_file.flush()) {
        durable::remove(m_path);
        m_file.close();
        return Made::Failed;
    }
    return Made::Locked;
}

FolderLock::Judged FolderLock::judgeAndRemoveStale(bool removeAnyHeldElsewhere)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return durable::presence(m_path) == durable::Presence::Absent ? Judged::Gone
                                                                      : Judged::HeldHere;
    // Held open with the system's lock: a copy on this computer runs.
    if (!durable::holdOpenFile(file.handle()))
        return Judged::HeldHere;
    const QList<QByteArray> lines = linesOf(file.readAll());
    m_takenAt = QFileInfo(m_path).lastModified();
    m_holder = QString::fromUtf8(lines[Computer]);
    bool processNamed = false;
    lines[Process].toLongLong(&processNamed);
    if (processNamed && namesAnotherComputer(lines) && !removeAnyHeldElsewhere)
        return Judged::HeldElsewhere;
    if (processNamed && !namesAnotherComputer(lines) && stillRuns(lines))
        return Judged::HeldHere;
    // Stale: removed while held here, and only if the name still leads to it.
    if (durable::sameFile(file.handle(), m_path) && durable::remove(m_path))
        return Judged::Stale;
    return Judged::HeldHere;
}

FolderLock::Outcome FolderLock::tryLock()
{
    // A lock replaced by another copy between two steps is judged again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        switch (makeLockFile()) {
        case Made::Locked:
            // What an older program's removal of a stale lock left is no one's.
            durable::remove(m_path + QStringLiteral(".rmlock"));
            return Outcome::Locked;
        case Made::Failed:
            return Outcome::CannotWrite;
        case Made::NotMade:
            break;
        }
        switch (judgeAndRemoveStale(false)) {
        case Judged::Stale:
        case Judged::Gone:
            continue;
        case Judged::HeldHere:
            return durable::presence(m_path) == durable::Presence::Present ? Outcome::HeldHere
                                                                           : Outcome::CannotWrite;
        case Judged::HeldElsewhere:
            return Outcome::HeldElsewhere;
        }
    }
    return Outcome::HeldHere;
}

bool FolderLock::takeOver()
{
    const Judged judged = judgeAndRemoveStale(true);
    return (judged == Judged::Stale || judged == Judged::Gone) && makeLockFile() == Made::Locked;
}

std::optional<QString> FolderLock::lostTo() const
{
    QFile file(m_path);
    const QList<QByteArray> lines =
        linesOf(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    const QList<QByteArray> ours = linesOf(lockContent());
    if (m_file.isOpen() && lines[Process] == ours[Process] && lines[Computer] == ours[Computer] &&
        lines[ComputerId] == ours[ComputerId] && lines[BootId] == ours[BootId])
        return std::nullopt;
    return QString::fromUtf8(lines[Computer]);
}

} // namespace culegere
