#pragma once

#include "archive/result_archive.h"

#include <QSqlError>
#include <QSqlQuery>

#include <QDate>
#include <QTime>

namespace culegere::sql {

// The failure an error of the database stands for: a file that is no
// database or has damaged pages is Damaged, anything else CannotWrite.
ArchiveResult failureOf(const QSqlError &error);

// Runs `statement` with `values` bound in order; false on failure, the
// query holding the error.
bool run(QSqlQuery &query, const QString &statement, const QVariantList &values = {});

// Dates and times as the archive stores them, plain integers any SQL
// database sorts and compares: yyyymmdd (0 for no date) and hhmmss (NULL
// for no time).
int dayNumber(QDate date);
QDate dayOf(int number);
QVariant clockNumber(QTime time);
QTime clockOf(const QVariant &number);

} // namespace culegere::sql
