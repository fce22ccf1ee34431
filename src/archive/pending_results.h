#pragma once

#include "archive/archived_test.h"

#include <QList>
#include <QString>

// The pending record: the corrected tests whose results go into the results
// log while the archive has not taken them yet, with their positions. It is
// a small file beside the archive (SCHEMA.md), written before the log and
// removed once the archive holds them; a catch-up matches its tests with the
// log's rows the archive lacks.
namespace culegere::pending {

// The file of the archive at `archivePath`.
QString pathFor(const QString &archivePath);

// The tests the file holds, oldest first: none when there is no file, and
// none from a file that cannot be read whole (its results then come in as
// imported ones).
QList<ArchivedTest> read(const QString &path);

// Replaces the file in one step by one holding `tests` (at most the log's
// 98: the oldest beyond are dropped), or removes it when there are none.
// False when the disk refused.
bool write(const QString &path, QList<ArchivedTest> tests);

} // namespace culegere::pending
