#pragma once

#include "store/collection.h"
#include "store/store_result.h"

#include <QByteArray>

namespace culegere {

// The data files as the user knows them, and their record lengths.
namespace datafile {
inline const QString Users = QStringLiteral("Users.stn");
inline const QString Chapters = QStringLiteral("Caps.stn");
inline const QString Problems = QStringLiteral("Problems.stn");
} // namespace datafile

// Conversions between the bytes of the three data files and the Collection.
// Pure functions on whole file contents, so they can be tested on any bytes.

// Checks the three headers: one naming more records than the tables hold, or
// a negative number of chapters or problems, refuses the files; so does a
// file, not empty, that ends before the last record its header puts in use
// (FileCutShort). A longer file, or one cut past its records in use, passes.
StoreResult checkHeaders(const QByteArray &users, const QByteArray &chapters,
                         const QByteArray &problems);

// Loads the three files into `collection`, row k from record k, once their
// headers pass checkHeaders (else `collection` is left untouched). Only the
// fields kept between runs are taken; the others of each row stay as they
// were. Record NextUserRecord, normally past the end of Users.stn, reads as
// a zero record.
StoreResult loadCollection(const QByteArray &users, const QByteArray &chapters,
                           const QByteArray &problems, Collection &collection);

// The files as the exit writes them: `old` with its header and the records in
// use replaced. Records past the new count stay as they were (the header makes
// them invisible), so nothing beyond the count is ever lost.
QByteArray chaptersFileForExit(QByteArray old, const Collection &collection);
QByteArray problemsFileForExit(QByteArray old, const Collection &collection);
QByteArray usersFileWithHeader(QByteArray old, qint16 nextUserRecord);

// The results file with `result` as record `row` and the header `next`.
QByteArray usersFileWithResult(QByteArray old, int row, const UserRecord &result, qint16 next);

// The results file after a roll of the log: header, then records 2..100 as
// rows 2..100 of the table, so a restart reads the latest results back.
QByteArray usersFileAfterRoll(QByteArray old, const UserTableRows &table, qint16 nextUserRecord);

QByteArray userHeader(qint16 nextUserRecord);
QByteArray chapterHeader(qint16 chapterCount);
QByteArray problemHeader(qint16 problemCount);

} // namespace culegere
