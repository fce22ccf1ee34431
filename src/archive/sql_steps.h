#pragma once

#include "archive/result_archive.h"

#include <QSqlError>
#include <QSqlQuery>

namespace culegere::sql {

// The failure an error of the database stands for: a file that is no
// database or has damaged pages is Damaged, anything else CannotWrite.
ArchiveResult failureOf(const QSqlError &error);

// Runs `statement` with `values` bound in order; false on failure, the
// query holding the error.
bool run(QSqlQuery &query, const QString &statement, const QVariantList &values = {});

} // namespace culegere::sql
