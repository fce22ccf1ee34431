// The full-size collection the benchmarks work on: 49 chapters, 6999
// problems and a results log that has rolled (header 100, records 2..100),
// the three data files that hold it, and an application folder around them.

#pragma once

#include "store/collection.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <string>

namespace culegere::bench {

// Fills a freshly made `c`: every chapter named, every problem with its
// catalogue path, its chapter (the chapters taking turns over the rows) and a
// correct answer, each chapter's total its count; every row of the log in use.
void fillFullCollection(Collection &c);

struct DataFile
{
    QString name; // as in the application folder: "Users.stn", ..
    QByteArray bytes;
};

// The three data files holding `c`, as its exit writes them, with the results
// file as a roll of the log leaves it: Users.stn, Caps.stn, Problems.stn.
std::array<DataFile, 3> dataFilesOf(const Collection &c);

// Writes a full application folder at `root` (made if missing): the three
// data files of the full collection, the six sound cues (a tenth of a second
// of silence each), the help (help.chm and help/index.html, placeholders),
// "probleme" with an empty file for every problem, and the empty folders
// "teste" and "backup". False, with `error` saying why, when it cannot.
bool writeApplicationFolder(const QString &root, std::string &error);

} // namespace culegere::bench
