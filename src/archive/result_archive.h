#pragma once

#include "archive/archived_test.h"

#include <QList>
#include <QSqlError>
#include <QString>
#include <QStringList>

namespace culegere {

enum class ArchiveError {
    None,
    NoDriver,    // Qt has no driver for the database (no SQLite driver installed)
    CannotOpen,  // the file cannot be opened, or does not exist where none may be made
    CannotWrite, // a write or the commit failed (a read-only file or folder, a full disk)
    Damaged,     // the file is no database, or its pages are damaged
    TooNew,      // the tables were made by a newer program: left untouched
};

// What an archive operation did; `detail` is the database's own words and
// `code` its own number for the failure (0 when none was given).
struct [[nodiscard]] ArchiveResult
{
    ArchiveError error = ArchiveError::None;
    QString detail{};
    int code = 0;

    bool ok() const { return error == ArchiveError::None; }
};

// What identifies a result in the results log: the log keeps no more.
struct LoggedResult
{
    QString pupil;
    int day = 0; // yyyymmdd, 0 without a valid date
    int stopwatch = 0;
    int grade = 0;

    bool operator==(const LoggedResult &) const = default;
};
LoggedResult loggedResultOf(const ArchivedTest &test);

// How many of the latest results of `log` are missing from `seen`, the log
// as it was before (both oldest first); `capacity`: how many results the log
// keeps (a full log drops its oldest for each new one). -1 when `log` cannot
// have come from `seen` (another log was put in its place).
int missingFromLog(const QList<LoggedResult> &seen, const QList<LoggedResult> &log, int capacity);

// One line of the archive screen's table.
struct ArchiveRow
{
    qint64 id = 0;
    QString pupil;
    QString pupilKey; // foldName(pupil)
    QDate date;
    QTime time; // invalid when not known
    int stopwatch = 0;
    int grade = 0;
    QString definition;
};

// The archived positions, compact: what the problems' statistics of a range
// of tests are counted from.
struct ArchivedMarks
{
    struct Mark
    {
        qint64 testId = 0;
        int problem = 0; // into `problems`
        int chapter = 0; // into `chapters`
        qint8 marked = 0;
        qint8 correct = 0;
    };
    QStringList problems; // the problems' indexes, "00012"
    QStringList chapters;
    QList<Mark> marks;
};

// The results archive: every corrected test, kept in a database file (see
// SCHEMA.md). Nothing is read or written before open(). Every write is one
// transaction: after a failure or a crash the archive holds the test whole
// or not at all. The journal is the classic one (no write-ahead log) and
// every commit is synced, which suits a memory stick or a network folder.
// Only the pragmas and the backup's VACUUM INTO are SQLite's own; the tables
// and queries are plain SQL.
class ResultArchive
{
public:
    static constexpr int SchemaVersion = 1;

    // `driver`: the Qt SQL driver (a test names a missing one).
    explicit ResultArchive(const QString &path, const QString &driver = QStringLiteral("QSQLITE"));
    ~ResultArchive();
    ResultArchive(const ResultArchive &) = delete;
    ResultArchive &operator=(const ResultArchive &) = delete;

    // Opens the file and makes or upgrades its tables. `create` false: a
    // missing file is CannotOpen and none is made. On any failure the
    // archive stays closed.
    ArchiveResult open(bool create = true);
    bool isOpen() const { return m_open; }
    void close();
    QString path() const { return m_path; }

    // Whether the results log was taken over already.
    bool hasImported() const;
    // Takes over the results of the log, once: in one transaction with the
    // mark that it was done, so a later call does nothing.
    ArchiveResult importOnce(const QList<ArchivedTest> &log);
    // Adds tests, all of them or none.
    ArchiveResult add(const QList<ArchivedTest> &tests);
    // Adds, in one transaction, the results of `log` (the results log as it
    // is now) that the archive lacks: those that came after the log the
    // archive last saw (kept in `logged_results`). A result of `known` (the
    // corrected tests whose log rows may be among them, oldest first) is
    // added with its positions, any other as imported. The first catch-up
    // of a new archive takes over the whole log; one of an archive made
    // before the log was kept beside it adds nothing. `added`: how many.
    ArchiveResult catchUp(const QList<ArchivedTest> &log, const QList<ArchivedTest> &known = {},
                          int *added = nullptr);

    // The reads below never return part of what was asked for: on a failed
    // read (a damaged page, a disk gone) they return nothing and, given
    // `failure`, say why there.

    // Every archived test, oldest first.
    QList<ArchiveRow> rows(ArchiveResult *failure = nullptr) const;
    // One test with its chapters and answers (an empty pupil when none).
    ArchivedTest test(qint64 id, ArchiveResult *failure = nullptr) const;
    // Every problem ever drawn.
    QList<ProblemStats> problemStats(ArchiveResult *failure = nullptr) const;
    // Every archived position, ordered by test.
    ArchivedMarks marks(ArchiveResult *failure = nullptr) const;
    int testCount() const;

    // A consistent copy of the database into `file`, which must not exist.
    ArchiveResult copyTo(const QString &file) const;
    // SQLite's quick check of the pages and indexes.
    ArchiveResult quickCheck() const;

private:
    ArchiveResult prepareTables();
    ArchiveResult addInTransaction(const QList<ArchivedTest> &tests);
    // Inserts `tests` inside the open transaction; false with the failed
    // query's error in `error`.
    bool insertTests(const QList<ArchivedTest> &tests, QSqlError &error);

    QString m_path;
    QString m_driver;
    QString m_connection;
    bool m_open = false;
};

} // namespace culegere
