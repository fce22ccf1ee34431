// The archive's queries, its copy and its check.
#include "archive/name_folding.h"
#include "archive/result_archive.h"
#include "archive/sql_steps.h"

#include <QHash>
#include <QSqlDatabase>

namespace culegere {

QList<ArchiveRow> ResultArchive::rows() const
{
    QList<ArchiveRow> rows;
    if (!m_open)
        return rows;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, pupil, taken_on, taken_at, stopwatch, grade, "
                                   "definition FROM tests ORDER BY id")))
        return rows;
    // Pupils and definitions repeat: each is folded (or kept) once and shared.
    QHash<QString, QString> keys;
    QHash<QString, QString> definitions;
    while (query.next()) {
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
    return rows;
}

ArchivedTest ResultArchive::test(qint64 id) const
{
    ArchivedTest test;
    if (!m_open)
        return test;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!sql::run(query,
                  QStringLiteral("SELECT pupil, taken_on, taken_at, stopwatch, grade, imported, "
                                 "whole_collection FROM tests WHERE id = ?"),
                  {id}) ||
        !query.next())
        return test;
    test.pupil = query.value(0).toString();
    test.date = sql::dayOf(query.value(1).toInt());
    test.time = sql::clockOf(query.value(2));
    test.stopwatch = query.value(3).toInt();
    test.grade = query.value(4).toInt();
    test.imported = query.value(5).toInt() != 0;
    test.wholeCollection = query.value(6).toInt() != 0;
    if (sql::run(query,
                 QStringLiteral("SELECT chapter, problems FROM test_chapters WHERE test_id = ? "
                                "ORDER BY position"),
                 {id})) {
        while (query.next())
            test.chapters.append({query.value(0).toString(), query.value(1).toInt()});
    }
    if (sql::run(query,
                 QStringLiteral("SELECT problem_index, chapter, marked, correct FROM answers "
                                "WHERE test_id = ? ORDER BY position"),
                 {id})) {
        while (query.next())
            test.answers.append({query.value(0).toString(), query.value(1).toString(),
                                 query.value(2).toInt(), query.value(3).toInt()});
    }
    return test;
}

QList<ProblemStats> ResultArchive::problemStats() const
{
    QList<ProblemStats> stats;
    if (!m_open)
        return stats;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT problem_index, chapter, drawn, answered_right FROM problem_stats")))
        return stats;
    while (query.next())
        stats.append({query.value(0).toString(), query.value(1).toString(), query.value(2).toInt(),
                      query.value(3).toInt()});
    return stats;
}

int ResultArchive::testCount() const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!m_open || !query.exec(QStringLiteral("SELECT COUNT(*) FROM tests")) || !query.next())
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
