// The archive's queries, its copy and its check.
#include "archive/name_folding.h"
#include "archive/result_archive.h"
#include "archive/sql_steps.h"

#include <QHash>
#include <QSqlDatabase>

#include <algorithm>

namespace culegere {

namespace {

// Whether a read went through to its end: `query`'s statement ran and its
// rows were read without an error. Otherwise `failure`, when given, says
// why and `partial` is emptied: a part is never shown as the whole.
template <typename T>
bool readWhole(const QSqlQuery &query, bool ran, ArchiveResult *failure, T &partial)
{
    if (ran && !query.lastError().isValid())
        return true;
    if (failure)
        *failure = sql::failureOf(query.lastError());
    partial = T();
    return false;
}

// The failure of a read of a closed archive.
template <typename T> T notOpen(const QString &path, ArchiveResult *failure)
{
    if (failure)
        *failure = {ArchiveError::CannotOpen, path};
    return T();
}

} // namespace

QList<ArchiveRow> ResultArchive::rows(ArchiveResult *failure) const
{
    QList<ArchiveRow> rows;
    if (!m_open)
        return notOpen<QList<ArchiveRow>>(m_path, failure);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    const bool ran = query.exec(QStringLiteral("SELECT id, pupil, taken_on, taken_at, stopwatch, "
                                               "grade, definition FROM tests ORDER BY id"));
    // Pupils and definitions repeat: each is folded (or kept) once and shared.
    QHash<QString, QString> keys;
    QHash<QString, QString> definitions;
    while (ran && query.next()) {
        ArchiveRow row;
        row.id = query.value(0).toLongLong();
        row.pupil = query.value(1).toString();
        auto key = keys.constFind(row.pupil);
        if (key == keys.constEnd())
            key = keys.insert(row.pupil, foldName(row.pupil));
        row.pupil = key.key();
        row.pupilKey = key.value();
        row.date = sql::dayOf(query.value(2).toInt());
        row.time = sql::clockOf(query.value(3));
        row.stopwatch = query.value(4).toInt();
        row.grade = query.value(5).toInt();
        const QString definition = query.value(6).toString();
        auto shared = definitions.constFind(definition);
        if (shared == definitions.constEnd())
            shared = definitions.insert(definition, definition);
        row.definition = shared.value();
        rows.append(std::move(row));
    }
    readWhole(query, ran, failure, rows);
    return rows;
}

ArchivedTest ResultArchive::test(qint64 id, ArchiveResult *failure) const
{
    ArchivedTest test;
    if (!m_open)
        return notOpen<ArchivedTest>(m_path, failure);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    bool ran = sql::run(query,
                        QStringLiteral("SELECT pupil, taken_on, taken_at, stopwatch, grade, "
                                       "imported, whole_collection FROM tests WHERE id = ?"),
                        {id});
    if (!(ran && query.next())) {
        readWhole(query, ran, failure, test);
        return test;
    }
    test.pupil = query.value(0).toString();
    test.date = sql::dayOf(query.value(1).toInt());
    test.time = sql::clockOf(query.value(2));
    test.stopwatch = query.value(3).toInt();
    test.grade = query.value(4).toInt();
    test.imported = query.value(5).toInt() != 0;
    test.wholeCollection = query.value(6).toInt() != 0;
    ran = sql::run(query,
                   QStringLiteral("SELECT chapter, problems FROM test_chapters WHERE test_id = ? "
                                  "ORDER BY position"),
                   {id});
    while (ran && query.next())
        test.chapters.append({query.value(0).toString(), query.value(1).toInt()});
    if (!readWhole(query, ran, failure, test))
        return test;
    ran = sql::run(query,
                   QStringLiteral("SELECT problem_index, chapter, marked, correct FROM answers "
                                  "WHERE test_id = ? ORDER BY position"),
                   {id});
    while (ran && query.next())
        test.answers.append({query.value(0).toString(), query.value(1).toString(),
                             query.value(2).toInt(), query.value(3).toInt()});
    readWhole(query, ran, failure, test);
    return test;
}

QList<ProblemStats> ResultArchive::problemStats(ArchiveResult *failure) const
{
    QList<ProblemStats> stats;
    if (!m_open)
        return notOpen<QList<ProblemStats>>(m_path, failure);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    const bool ran = query.exec(
        QStringLiteral("SELECT problem_index, chapter, drawn, answered_right FROM problem_stats"));
    while (ran && query.next())
        stats.append({query.value(0).toString(), query.value(1).toString(), query.value(2).toInt(),
                      query.value(3).toInt()});
    readWhole(query, ran, failure, stats);
    return stats;
}

ArchivedMarks ResultArchive::marks(ArchiveResult *failure) const
{
    ArchivedMarks marks;
    if (!m_open)
        return notOpen<ArchivedMarks>(m_path, failure);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    // Read in the table's own order (tests are added in order), which is
    // far quicker than through the key's index; ordered after if need be.
    const bool ran = query.exec(
        QStringLiteral("SELECT test_id, problem_index, chapter, marked, correct FROM answers"));
    // Problems and chapters repeat: each is kept once, by number.
    QHash<QString, int> problems;
    QHash<QString, int> chapters;
    auto numbered = [](QHash<QString, int> &seen, QStringList &list, const QString &text) {
        auto found = seen.constFind(text);
        if (found == seen.constEnd()) {
            found = seen.insert(text, int(list.size()));
            list.append(text);
        }
        return found.value();
    };
    while (ran && query.next()) {
        ArchivedMarks::Mark mark;
        mark.testId = query.value(0).toLongLong();
        mark.problem = numbered(problems, marks.problems, query.value(1).toString());
        mark.chapter = numbered(chapters, marks.chapters, query.value(2).toString());
        mark.marked = qint8(query.value(3).toInt());
        mark.correct = qint8(query.value(4).toInt());
        marks.marks.append(mark);
    }
    auto byTest = [](const ArchivedMarks::Mark &a, const ArchivedMarks::Mark &b) {
        return a.testId < b.testId;
    };
    if (!std::is_sorted(marks.marks.cbegin(), marks.marks.cend(), byTest))
        std::stable_sort(marks.marks.begin(), marks.marks.end(), byTest);
    readWhole(query, ran, failure, marks);
    return marks;
}

int ResultArchive::testCount() const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!m_open || !query.exec(QStringLiteral("SELECT COUNT(*) FROM tests")) || !query.next() ||
        query.lastError().isValid())
        return -1;
    return query.value(0).toInt();
}

ArchiveResult ResultArchive::copyTo(const QString &file) const
{
    if (!m_open)
        return {ArchiveError::CannotOpen, m_path};
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    // SQLite's own statement: a copy of the committed state, taken while the
    // archive stays open.
    if (!sql::run(query, QStringLiteral("VACUUM INTO ?"), {file}))
        return sql::failureOf(query.lastError());
    return {};
}

ArchiveResult ResultArchive::quickCheck() const
{
    if (!m_open)
        return {ArchiveError::CannotOpen, m_path};
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        return sql::failureOf(query.lastError());
    QStringList problems;
    while (query.next())
        problems.append(query.value(0).toString());
    if (problems == QStringList{QStringLiteral("ok")})
        return {};
    return {ArchiveError::Damaged, problems.join(u'\n')};
}

} // namespace culegere
