#include "archive/result_archive.h"

#include "archive/name_folding.h"
#include "archive/sql_steps.h"
#include "store/collection.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>

#include <algorithm>

namespace culegere {

namespace {

QAtomicInt connectionCount;

// The tables of schema version 1; SCHEMA.md describes them.
const char *const kTables[] = {
    "CREATE TABLE meta (name VARCHAR(40) PRIMARY KEY, value VARCHAR(200) NOT NULL)",
    "CREATE TABLE tests (id INTEGER PRIMARY KEY, pupil VARCHAR(30) NOT NULL, "
    "pupil_key VARCHAR(30) NOT NULL, taken_on INTEGER NOT NULL, taken_at INTEGER, "
    "stopwatch INTEGER NOT NULL, grade INTEGER NOT NULL, imported INTEGER NOT NULL, "
    "whole_collection INTEGER NOT NULL, definition VARCHAR(1200) NOT NULL)",
    "CREATE INDEX tests_by_pupil ON tests (pupil_key, taken_on)",
    "CREATE TABLE test_chapters (test_id INTEGER NOT NULL REFERENCES tests (id), "
    "position INTEGER NOT NULL, chapter VARCHAR(100) NOT NULL, problems INTEGER NOT NULL, "
    "PRIMARY KEY (test_id, position))",
    "CREATE TABLE answers (test_id INTEGER NOT NULL REFERENCES tests (id), "
    "position INTEGER NOT NULL, problem_index VARCHAR(5) NOT NULL, "
    "chapter VARCHAR(100) NOT NULL, marked INTEGER NOT NULL, correct INTEGER NOT NULL, "
    "PRIMARY KEY (test_id, position))",
    "CREATE TABLE problem_stats (problem_index VARCHAR(5) PRIMARY KEY, "
    "chapter VARCHAR(100) NOT NULL, drawn INTEGER NOT NULL, answered_right INTEGER NOT NULL)",
};

// The results log as the archive last saw it: what a later catch-up
// compares the log with. Made on the first catch-up, so that a file of an
// earlier program gets it too.
const char *const kLoggedTable =
    "CREATE TABLE logged_results (seq INTEGER PRIMARY KEY, pupil VARCHAR(30) NOT NULL, "
    "taken_on INTEGER NOT NULL, stopwatch INTEGER NOT NULL, grade INTEGER NOT NULL)";
// How many results the log keeps.
constexpr int kLogCapacity = Collection::LastUserRow - Collection::FirstRow;

const QString kVersionKey = QStringLiteral("schema_version");
const QString kImportedKey = QStringLiteral("users_stn_imported");

// An empty text is stored as one, never as NULL.
QString text(const QString &s)
{
    return s.isNull() ? QString("") : s;
}

} // namespace

QString ArchivedTest::definitionText() const
{
    if (imported)
        return QString();
    if (wholeCollection)
        return QStringLiteral("Toata culegerea");
    QStringList parts;
    for (const ArchivedChapter &chapter : chapters)
        parts.append(QStringLiteral("%1: %2").arg(chapter.name).arg(chapter.problems));
    return parts.join(QStringLiteral(", "));
}

ResultArchive::ResultArchive(const QString &path, const QString &driver)
    : m_path(path), m_driver(driver),
      m_connection(QStringLiteral("culegere-archive-%1").arg(connectionCount.fetchAndAddRelaxed(1)))
{
}

ResultArchive::~ResultArchive()
{
    close();
}

ArchiveResult ResultArchive::open(bool create)
{
    if (m_open)
        return {};
    if (!QSqlDatabase::isDriverAvailable(m_driver))
        return {ArchiveError::NoDriver, m_driver};
    if (!create && !QFileInfo::exists(m_path))
        return {ArchiveError::CannotOpen, m_path};
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(m_driver, m_connection);
        db.setDatabaseName(m_path);
        if (!db.open()) {
            const QString why = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connection);
            return {ArchiveError::CannotOpen, why};
        }
    }
    m_open = true;
    // Closed only once the tables' step has let go of the connection.
    const ArchiveResult prepared = prepareTables();
    if (!prepared.ok())
        close();
    return prepared;
}

void ResultArchive::close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    m_open = false;
}

ArchiveResult ResultArchive::prepareTables()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    // The first statements read the file: one that is no database fails here.
    for (const char *pragma : {"PRAGMA journal_mode = DELETE", "PRAGMA synchronous = FULL"}) {
        if (!query.exec(QLatin1String(pragma)))
            return sql::failureOf(query.lastError());
    }
    if (!sql::run(query, QStringLiteral("SELECT COUNT(*) FROM sqlite_master")))
        return sql::failureOf(query.lastError());
    if (db.tables().contains(QStringLiteral("meta"))) {
        if (!sql::run(query, QStringLiteral("SELECT value FROM meta WHERE name = ?"),
                      {kVersionKey}) ||
            !query.next())
            return {ArchiveError::Damaged, query.lastError().text()};
        const int version = query.value(0).toInt();
        if (version > SchemaVersion)
            return {ArchiveError::TooNew, QString::number(version)};
        // Version 1 is the first: later versions upgrade here, step by step.
        return {};
    }
    if (!db.transaction())
        return sql::failureOf(db.lastError());
    for (const char *statement : kTables) {
        if (!query.exec(QLatin1String(statement))) {
            const ArchiveResult failed = sql::failureOf(query.lastError());
            db.rollback();
            return failed;
        }
    }
    if (!sql::run(query, QStringLiteral("INSERT INTO meta (name, value) VALUES (?, ?)"),
                  {kVersionKey, QString::number(SchemaVersion)}) ||
        !db.commit()) {
        const ArchiveResult failed =
            sql::failureOf(query.lastError().isValid() ? query.lastError() : db.lastError());
        db.rollback();
        return failed;
    }
    return {};
}

bool ResultArchive::hasImported() const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    return m_open &&
           sql::run(query, QStringLiteral("SELECT value FROM meta WHERE name = ?"),
                    {kImportedKey}) &&
           query.next();
}

ArchiveResult ResultArchive::importOnce(const QList<ArchivedTest> &log)
{
    if (!m_open)
        return {ArchiveError::CannotOpen, m_path};
    if (hasImported())
        return {};
    return catchUp(log);
}

ArchiveResult ResultArchive::add(const QList<ArchivedTest> &tests)
{
    if (!m_open)
        return {ArchiveError::CannotOpen, m_path};
    return addInTransaction(tests);
}

ArchiveResult ResultArchive::addInTransaction(const QList<ArchivedTest> &tests)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return sql::failureOf(db.lastError());
    QSqlError error;
    if (!insertTests(tests, error) || !db.commit()) {
        if (!error.isValid())
            error = db.lastError();
        db.rollback();
        return sql::failureOf(error);
    }
    return {};
}

bool ResultArchive::insertTests(const QList<ArchivedTest> &tests, QSqlError &error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // Each statement is prepared once and run for every row.
    QSqlQuery next(db), insertTest(db), insertChapter(db), insertAnswer(db), countDrawn(db),
        firstDrawn(db);
    const QList<QSqlQuery *> all{&next,         &insertTest, &insertChapter,
                                 &insertAnswer, &countDrawn, &firstDrawn};
    auto bound = [](QSqlQuery &query, const QVariantList &values) {
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values[i]);
        return query.exec();
    };
    auto steps = [&]() -> bool {
        if (tests.isEmpty())
            return true;
        if (!next.prepare(QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM tests")) ||
            !insertTest.prepare(QStringLiteral(
                "INSERT INTO tests (id, pupil, pupil_key, taken_on, taken_at, stopwatch, grade, "
                "imported, whole_collection, definition) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")) ||
            !insertChapter.prepare(QStringLiteral("INSERT INTO test_chapters (test_id, position, "
                                                  "chapter, problems) VALUES (?, ?, ?, ?)")) ||
            !insertAnswer.prepare(QStringLiteral(
                "INSERT INTO answers (test_id, position, problem_index, chapter, marked, "
                "correct) VALUES (?, ?, ?, ?, ?, ?)")) ||
            !countDrawn.prepare(QStringLiteral(
                "UPDATE problem_stats SET drawn = drawn + 1, answered_right = answered_right + "
                "?, chapter = ? WHERE problem_index = ?")) ||
            !firstDrawn.prepare(
                QStringLiteral("INSERT INTO problem_stats (problem_index, "
                               "chapter, drawn, answered_right) VALUES (?, ?, 1, ?)")))
            return false;
        // One program writes at a time (the folder is locked): the next
        // number is the largest plus one, in any SQL database.
        if (!next.exec() || !next.next())
            return false;
        qint64 id = next.value(0).toLongLong();
        next.finish();
        for (const ArchivedTest &test : tests) {
            ++id;
            if (!bound(insertTest,
                       {id, text(test.pupil), text(foldName(test.pupil)), sql::dayNumber(test.date),
                        sql::clockNumber(test.time), test.stopwatch, test.grade, int(test.imported),
                        int(test.wholeCollection), text(test.definitionText())}))
                return false;
            for (int i = 0; i < test.chapters.size(); ++i) {
                if (!bound(insertChapter,
                           {id, i, text(test.chapters[i].name), test.chapters[i].problems}))
                    return false;
            }
            for (int i = 0; i < test.answers.size(); ++i) {
                const ArchivedAnswer &a = test.answers[i];
                if (!bound(insertAnswer,
                           {id, i, text(a.problemIndex), text(a.chapter), a.marked, a.correct}))
                    return false;
                // The per-problem counts are kept as each test comes, so the
                // statistics never have to go through every answer.
                if (!bound(countDrawn, {int(a.right()), text(a.chapter), text(a.problemIndex)}))
                    return false;
                if (countDrawn.numRowsAffected() == 0 &&
                    !bound(firstDrawn, {text(a.problemIndex), text(a.chapter), int(a.right())}))
                    return false;
            }
        }
        return true;
    };
    const bool done = steps();
    for (QSqlQuery *query : all) {
        if (!done && query->lastError().isValid())
            error = query->lastError();
        query->finish();
    }
    return done;
}

LoggedResult loggedResultOf(const ArchivedTest &test)
{
    return {test.pupil, sql::dayNumber(test.date), test.stopwatch, test.grade};
}

int missingFromLog(const QList<LoggedResult> &seen, const QList<LoggedResult> &log, int capacity)
{
    // The fewest new results that explain the log: those before them are
    // the latest of the log seen, less the oldest a full log dropped.
    const qsizetype n = log.size();
    for (qsizetype missing = 0; missing <= n; ++missing) {
        const qsizetype kept = n - missing;
        const qsizetype dropped = seen.size() - kept;
        if (dropped < 0 || (dropped > 0 && n < capacity))
            continue;
        if (std::equal(log.begin(), log.begin() + kept, seen.begin() + dropped))
            return int(missing);
    }
    return -1;
}

ArchiveResult ResultArchive::catchUp(const QList<ArchivedTest> &log,
                                     const QList<ArchivedTest> &known, int *added)
{
    if (added)
        *added = 0;
    if (!m_open)
        return {ArchiveError::CannotOpen, m_path};
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return sql::failureOf(db.lastError());
    bool imported = false, kept = false;
    QList<LoggedResult> logged;
    for (const ArchivedTest &test : log)
        logged.append(loggedResultOf(test));
    QSqlQuery query(db);
    QSqlError error;
    QList<ArchivedTest> missing;
    auto steps = [&]() -> bool {
        // Read here, every error checked: a damaged file must not pass for
        // one that lacks the log or the mark.
        if (!sql::run(query, QStringLiteral("SELECT COUNT(*) FROM meta WHERE name = ?"),
                      {kImportedKey}) ||
            !query.next())
            return false;
        imported = query.value(0).toInt() > 0;
        if (!sql::run(query, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = ?"),
                      {QStringLiteral("logged_results")}) ||
            !query.next())
            return false;
        kept = query.value(0).toInt() > 0;
        if (!kept && !query.exec(QLatin1String(kLoggedTable)))
            return false;
        QList<LoggedResult> seen;
        QList<qint64> seqs;
        if (kept) {
            if (!query.exec(QStringLiteral("SELECT seq, pupil, taken_on, stopwatch, grade FROM "
                                           "logged_results ORDER BY seq")))
                return false;
            while (query.next()) {
                seqs.append(query.value(0).toLongLong());
                seen.append({query.value(1).toString(), query.value(2).toInt(),
                             query.value(3).toInt(), query.value(4).toInt()});
            }
            if (query.lastError().isValid())
                return false;
        }
        // An archive made before the log was kept beside it is taken to hold
        // the log as it is: nothing is added twice.
        const int lacking = !kept && imported ? 0 : missingFromLog(seen, logged, kLogCapacity);
        const qsizetype stays = lacking < 0 || !kept ? 0 : log.size() - lacking;
        const qsizetype first = log.size() - std::max(lacking, 0);
        // The newest results come with their positions when known; the log's
        // row is matched from the newest back, each known test used once.
        qsizetype unused = known.size();
        for (qsizetype i = log.size() - 1; i >= first; --i) {
            ArchivedTest test = log[i];
            for (qsizetype k = unused - 1; k >= 0; --k) {
                if (loggedResultOf(known[k]) == logged[i]) {
                    test = known[k];
                    test.imported = false;
                    unused = k;
                    break;
                }
            }
            missing.prepend(test);
        }
        if (!insertTests(missing, error))
            return false;
        if (stays == seen.size() && stays == log.size() && imported)
            return true;
        // The log seen now: its kept rows stay, the rest follows them.
        const qint64 last = seqs.isEmpty() ? 0 : seqs.last();
        const qint64 firstKept = stays > 0 ? seqs[seqs.size() - stays] : last + 1;
        if (!sql::run(query, QStringLiteral("DELETE FROM logged_results WHERE seq < ?"),
                      {firstKept}) ||
            !query.prepare(QStringLiteral("INSERT INTO logged_results (seq, pupil, taken_on, "
                                          "stopwatch, grade) VALUES (?, ?, ?, ?, ?)")))
            return false;
        for (qsizetype i = stays; i < log.size(); ++i) {
            const LoggedResult &r = logged[i];
            query.bindValue(0, last + 1 + (i - stays));
            query.bindValue(1, text(r.pupil));
            query.bindValue(2, r.day);
            query.bindValue(3, r.stopwatch);
            query.bindValue(4, r.grade);
            if (!query.exec())
                return false;
        }
        return imported ||
               sql::run(query, QStringLiteral("INSERT INTO meta (name, value) VALUES (?, ?)"),
                        {kImportedKey, QStringLiteral("1")});
    };
    const bool done = steps();
    if (!done && !error.isValid())
        error = query.lastError();
    query.finish();
    if (!done || !db.commit()) {
        if (done)
            error = db.lastError();
        db.rollback();
        return sql::failureOf(error);
    }
    if (added)
        *added = int(missing.size());
    return {};
}

} // namespace culegere
