#include "archive/archive_access.h"

#include "archive/archive_messages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace culegere {

QString archivemsg::reason(const ArchiveResult &result)
{
    switch (result.error) {
    case ArchiveError::NoDriver:
        return NoDriver;
    case ArchiveError::TooNew:
        return TooNew;
    default:
        return result.detail;
    }
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

void ArchiveAccess::tellFailure(const QString &text)
{
    if (m_failureTold)
        return;
    m_failureTold = true;
    m_message = m_message.isEmpty() ? text : m_message + u'\n' + text;
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
    m_imported = false;
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
    const QString text = archivemsg::SetAside.arg(QDir::toNativeSeparators(aside));
    m_message = m_message.isEmpty() ? text : m_message + u'\n' + text;
    return true;
}

bool ArchiveAccess::openForUse(const QList<ArchivedTest> &log, const QString &failureText)
{
    if (!m_archive)
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
    if (result.ok() && !m_imported) {
        result = m_archive->importOnce(log);
        m_imported = result.ok();
    }
    if (!result.ok()) {
        m_archive.reset();
        tellFailure(failureText.arg(archivemsg::reason(result)));
        return false;
    }
    return true;
}

ResultArchive *ArchiveAccess::opened(const QList<ArchivedTest> &log, const QString &failureText)
{
    if (m_archive && m_archive->isOpen() && m_imported)
        return m_archive.get();
    return openForUse(log, failureText) ? m_archive.get() : nullptr;
}

ResultArchive *ArchiveAccess::use(const QList<ArchivedTest> &log)
{
    return opened(log, archivemsg::NotOpened);
}

bool ArchiveAccess::record(const ArchivedTest &test, const QList<ArchivedTest> &logBefore)
{
    if (!opened(logBefore, archivemsg::NotWritten))
        return false;
    ArchiveResult added = m_archive->add({test});
    if (added.error == ArchiveError::Damaged && confirmedDamaged()) {
        if (!setAside()) {
            tellFailure(archivemsg::NotWritten.arg(archivemsg::NotRenamed));
            return false;
        }
        if (!opened(logBefore, archivemsg::NotWritten))
            return false;
        added = m_archive->add({test});
    }
    if (!added.ok()) {
        // Opened again on the next result, which then sees a repaired disk.
        m_archive.reset();
        tellFailure(archivemsg::NotWritten.arg(archivemsg::reason(added)));
        return false;
    }
    return true;
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

} // namespace culegere
