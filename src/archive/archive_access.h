#pragma once

#include "archive/result_archive.h"
#include "store/collection.h"

#include <QString>

#include <memory>

namespace culegere {

// The results of the log (Users.stn) as the archive takes them over: name,
// date, stopwatch and grade; no time, no definition, no problems.
QList<ArchivedTest> loggedResults(const Collection &collection);

// The program's way to its archive file: nothing of the database is touched
// before the first use, and the results log is taken over on that use, once
// for the life of the file. A damaged file is never deleted: it is renamed
// aside (`<file>.deteriorata-<date>-<time>`, its journal with it) and a new
// archive started. Failures are told once per run of the program; the next
// use tries again.
class ArchiveAccess
{
public:
    // `driver`: the Qt SQL driver (a test names a missing one).
    explicit ArchiveAccess(const QString &path, const QString &driver = QStringLiteral("QSQLITE"));
    ~ArchiveAccess();

    // The archive, open, made when missing and holding `log` (taken over on
    // its first use); nullptr when it cannot be opened.
    ResultArchive *use(const QList<ArchivedTest> &log);
    // Adds a corrected test; `logBefore` is the log without it, taken over
    // by an archive opened (or started anew) now. False when not archived.
    bool record(const ArchivedTest &test, const QList<ArchivedTest> &logBefore);
    // The archive as it is, for a copy or a check: opened when the file
    // exists, neither made nor repaired. nullptr with the reason otherwise.
    ResultArchive *existing(ArchiveResult &why);

    // What the teacher is to be told since the last call ("" when nothing):
    // a failure once per run, every file set aside.
    QString takeMessage();
    QString path() const { return m_path; }

private:
    // `failureText`: the message a failure gives, with %1 for why.
    bool openForUse(const QList<ArchivedTest> &log, const QString &failureText);
    ResultArchive *opened(const QList<ArchivedTest> &log, const QString &failureText);
    // Closes the archive and tells whether its file is damaged indeed.
    bool confirmedDamaged();
    bool setAside();
    void tellFailure(const QString &text);

    QString m_path;
    QString m_driver;
    std::unique_ptr<ResultArchive> m_archive;
    bool m_imported = false;
    bool m_failureTold = false;
    QString m_message;
};

} // namespace culegere
