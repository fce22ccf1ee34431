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
// before the first use. Every use catches the archive up with the results
// log: what the log holds and the archive lacks is added, once (the whole
// log on the first use of a new file), the tests of the pending record with
// their positions. A damaged file is never deleted: it is renamed aside
// (`<file>.deteriorata-<date>-<time>`, its journal with it) and a new
// archive started. A failure is told once while it lasts; a different one
// is told again, and so is any after a success. The next use tries again.
class ArchiveAccess
{
public:
    // `driver`: the Qt SQL driver (a test names a missing one).
    explicit ArchiveAccess(const QString &path, const QString &driver = QStringLiteral("QSQLITE"));
    ~ArchiveAccess();

    // The archive, open, made when missing and caught up with `log`;
    // nullptr when it cannot be opened. One that opens but cannot take what
    // it lacks (a read-only disk) is returned as it is, the failure told.
    ResultArchive *use(const QList<ArchivedTest> &log);
    // Keeps `test` in the pending record, before its result goes into the
    // log. False when the record could not be written: the test is still
    // archived whole by a catch-up of this run.
    bool keepPending(const ArchivedTest &test);
    // Takes the newest pending test out again: the log did not take it.
    void dropPending();
    // Whether a pending record is there (a run ended before the archive had
    // its tests).
    bool hasPending() const;
    // Adds to the archive what `log` holds and it lacks (see
    // ResultArchive::catchUp), the pending tests with their positions; the
    // pending record is removed once they are in. False when not done.
    bool catchUp(const QList<ArchivedTest> &log);
    // The archive as it is, for a copy or a check: opened when the file
    // exists, neither made nor repaired. nullptr with the reason otherwise.
    ResultArchive *existing(ArchiveResult &why);

    // What the teacher is to be told since the last call ("" when nothing).
    QString takeMessage();
    QString path() const { return m_path; }

    // A read of the archive failed with `why`. The archive is closed; a
    // file that a fresh opening confirms damaged is set aside, the teacher
    // told so, and the next use starts a new archive; any other failure is
    // told as a read that did not go through. Either way there is a message.
    void readFailed(const ArchiveResult &why);

private:
    // Opens the archive, setting a damaged file aside.
    bool open(const QString &failureText);
    // Catches the open archive up; a damaged file is set aside and the new
    // one caught up.
    ArchiveResult caughtUp(const QList<ArchivedTest> &log, const QString &failureText);
    const QList<ArchivedTest> &pendingTests();
    // Closes the archive and tells whether its file is damaged indeed.
    bool confirmedDamaged();
    bool setAside();
    void tell(const QString &text);
    void tellFailure(const QString &text);

    QString m_path;
    QString m_driver;
    std::unique_ptr<ResultArchive> m_archive;
    QList<ArchivedTest> m_pending;
    bool m_pendingRead = false;
    QString m_lastFailure; // the failure told last, "" after a success
    QString m_message;
};

} // namespace culegere
