#include "archive/sql_steps.h"

namespace culegere::sql {

namespace {
// SQLite's primary result codes.
constexpr int kCorrupt = 11;
constexpr int kNotADatabase = 26;
} // namespace

ArchiveResult failureOf(const QSqlError &error)
{
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric) & 0xff;
    const bool damaged = numeric && (code == kCorrupt || code == kNotADatabase);
    return {damaged ? ArchiveError::Damaged : ArchiveError::CannotWrite, error.text()};
}

bool run(QSqlQuery &query, const QString &statement, const QVariantList &values)
{
    if (values.isEmpty())
        return query.exec(statement);
    if (!query.prepare(statement))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

} // namespace culegere::sql
