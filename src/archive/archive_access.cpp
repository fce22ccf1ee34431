#include "archive/archive_access.h"

#include "archive/archive_messages.h"
#include "archive/pending_results.h"
#include "store/durable_io.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace culegere {

QString archivemsg::reason(const ArchiveResult &result)
{
    // SQLite's primary result codes.
    enum Code {
        Perm = 3,
        Busy = 5,
        Locked = 6,
        ReadOnlyDb = 8,
        IoErr = 10,
        Full = 13,
        CantOpen = 14,
        Auth = 23
    };
    switch (result.error) {
    case ArchiveError::NoDriver:
        return NoDriver;
    case ArchiveError::TooNew:
        return TooNew;
    case ArchiveError::Damaged:
        return DamagedFile;
    case ArchiveError::CannotOpen:
        if (result.code == 0)
            return CannotOpenFile;
        break;
    default:
        break;
    }
    switch (result.code) {
    case Perm:
    case ReadOnlyDb:
    case Auth:
        return ReadOnly;
    case Busy:
    case Locked:
        return InUse;
    case IoErr:
        return DiskError;
    case Full:
        return DiskFull;
    case CantOpen:
        return CannotOpenFile;
    default:
        return Unexpected;
    }
}

QString archivemsg::failure(const QString &text, const ArchiveResult &result)
{
    const bool own = result.error == ArchiveError::NoDriver || result.error == ArchiveError::TooNew;
    const QString detail = result.detail.trimmed();
    return own || detail.isEmpty() ? text.arg(reason(result))
                                   : text.arg(reason(result)) + u'\n' + Details.arg(detail);
}

QList<ArchivedTest> loggedResults(const Collection &collection)
{
    QList<ArchivedTest> log;
    for (int row = Collection::FirstRow; row < collection.NextUserRecord; ++row) {
        const UserRecord &r = collection.UserTable[row];
        ArchivedTest test;
        test.pupil = r.Name.trimmedText();
        test.date = serialToDate(r.TestDate);
        test.stopwatch = r.ElapsedTicks;
        test.grade = r.Grade;
        test.imported = true;
        log.append(test);
    }
    return log;
}

ArchiveAccess::ArchiveAccess(const QString &path, const QString &driver)
    : m_path(path), m_driver(driver)
{
}

ArchiveAccess::~ArchiveAccess() = default;

void ArchiveAccess::tell(const QString &text)
{
    m_message = m_message.isEmpty() ? text : m_message + QStringLiteral("\n\n") + text;
}

void ArchiveAccess::tellFailure(const QString &text)
{
    if (text == m_lastFailure)
        return;
    m_lastFailure = text;
    tell(text);
}

QString ArchiveAccess::takeMessage()
{
    return std::exchange(m_message, QString());
}

bool ArchiveAccess::confirmedDamaged()
{
    // A read that failed once (a memory stick pulled and put back) can look
    // like damage: only a file that a fresh opening finds damaged again, or
    // that fails the quick check, is set aside.
    m_archive.reset();
    ResultArchive fresh(m_path, m_driver);
    ArchiveResult result = fresh.open(false);
    if (result.ok())
        result = fresh.quickCheck();
    return result.error == ArchiveError::Damaged;
}

bool ArchiveAccess::setAside()
{
    m_archive.reset();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = m_path + QStringLiteral(".deteriorata-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = m_path + QStringLiteral(".deteriorata-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(m_path, aside))
        return false;
    // A journal left beside the damaged file belongs to it: the new archive
    // must not take it for its own.
    const QString journal = m_path + QStringLiteral("-journal");
    if (QFileInfo::exists(journal))
        QFile::rename(journal, aside + QStringLiteral("-journal"));
    tell(archivemsg::SetAside.arg(QDir::toNativeSeparators(aside)));
    return true;
}

bool ArchiveAccess::open(const QString &failureText)
{
    if (m_archive && m_archive->isOpen())
        return true;
    m_archive = std::make_unique<ResultArchive>(m_path, m_driver);
    ArchiveResult result = m_archive->open();
    if (result.error == ArchiveError::Damaged && confirmedDamaged()) {
        if (!setAside()) {
            tellFailure(failureText.arg(archivemsg::NotRenamed));
            return false;
        }
        m_archive = std::make_unique<ResultArchive>(m_path, m_driver);
        result = m_archive->open();
    }
    if (!result.ok()) {
        m_archive.reset();
        tellFailure(archivemsg::failure(failureText, result));
        return false;
    }
    return true;
}

const QList<ArchivedTest> &ArchiveAccess::pendingTests()
{
    if (!m_pendingRead)
        m_pending = pending::read(pending::pathFor(m_path));
    m_pendingRead = true;
    return m_pending;
}

bool ArchiveAccess::keepPending(const ArchivedTest &test)
{
    pendingTests();
    m_pending.append(test);
    return pending::write(pending::pathFor(m_path), m_pending);
}

void ArchiveAccess::dropPending()
{
    if (pendingTests().isEmpty())
        return;
    m_pending.removeLast();
    pending::write(pending::pathFor(m_path), m_pending);
}

bool ArchiveAccess::hasPending() const
{
    return durable::presence(pending::pathFor(m_path)) != durable::Presence::Absent;
}

ArchiveResult ArchiveAccess::caughtUp(const QList<ArchivedTest> &log, const QString &failureText)
{
    ArchiveResult result = m_archive->catchUp(log, pendingTests());
    if (result.error == ArchiveError::Damaged && confirmedDamaged()) {
        if (!setAside()) {
            tellFailure(failureText.arg(archivemsg::NotRenamed));
            return result;
        }
        if (!open(failureText))
            return {ArchiveError::CannotOpen};
        result = m_archive->catchUp(log, pendingTests());
    }
    if (!result.ok()) {
        m_archive.reset(); // opened again next time, which then sees a repaired disk
        tellFailure(archivemsg::failure(failureText, result));
        return result;
    }
    m_lastFailure.clear();
    // Once the archive holds them they are no longer pending; a record that
    // stays (a failed removal) finds nothing to add next time.
    m_pending.clear();
    if (hasPending())
        pending::write(pending::pathFor(m_path), {});
    return result;
}

ResultArchive *ArchiveAccess::use(const QList<ArchivedTest> &log)
{
    if (!open(archivemsg::NotOpened))
        return nullptr;
    const ArchiveResult result = caughtUp(log, archivemsg::NotCaughtUp);
    if (result.ok() || result.error == ArchiveError::CannotWrite)
        open(archivemsg::NotOpened);
    return m_archive.get();
}

bool ArchiveAccess::catchUp(const QList<ArchivedTest> &log)
{
    return open(archivemsg::NotWritten) && caughtUp(log, archivemsg::NotWritten).ok();
}

ResultArchive *ArchiveAccess::existing(ArchiveResult &why)
{
    if (m_archive && m_archive->isOpen())
        return m_archive.get();
    auto archive = std::make_unique<ResultArchive>(m_path, m_driver);
    why = archive->open(false);
    if (!why.ok())
        return nullptr;
    m_archive = std::move(archive);
    return m_archive.get();
}

void ArchiveAccess::readFailed(const ArchiveResult &why)
{
    if (why.error == ArchiveError::Damaged && confirmedDamaged() && setAside())
        return;
    m_archive.reset();
    tell(archivemsg::failure(archivemsg::NotRead, why));
}

} // namespace culegere
