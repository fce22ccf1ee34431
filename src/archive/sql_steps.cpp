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
    return {damaged ? ArchiveError::Damaged : ArchiveError::CannotWrite, error.text(),
            numeric ? code : 0};
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

int dayNumber(QDate date)
{
    return date.isValid() ? date.year() * 10000 + date.month() * 100 + date.day() : 0;
}

QDate dayOf(int number)
{
    return QDate(number / 10000, number / 100 % 100, number % 100);
}

QVariant clockNumber(QTime time)
{
    if (!time.isValid())
        return QVariant(QMetaType(QMetaType::Int));
    return time.hour() * 10000 + time.minute() * 100 + time.second();
}

QTime clockOf(const QVariant &number)
{
    if (number.isNull())
        return QTime();
    const int n = number.toInt();
    return QTime(n / 10000, n / 100 % 100, n % 100);
}

} // namespace culegere::sql
