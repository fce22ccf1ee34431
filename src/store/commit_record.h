#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace culegere {

// The small file that turns the replacement of several data files into one
// step. It names, for each data file, the new file written beside it; once
// it is on the disk the new files stand, and what is left of the renames is
// finished even after a crash. See FORMAT.md, "Writing".
namespace commitrecord {

// Its name in the folder of the files it names.
inline const QString FileName = QStringLiteral(".culegere.commit");
// What a failure to read it names: the data files whose set it completes
// (the user knows these, never the record).
inline const QString SetNames = QStringLiteral("Caps.stn, Problems.stn, Users.stn");

struct Entry
{
    QString newFile; // a name durable::writeNew made
    QString target;  // Users.stn, Caps.stn or Problems.stn, as spelled on disk
};

QByteArray encode(const std::vector<Entry> &entries);

// The entries of a complete, undamaged record; nothing for any other bytes,
// also for a record naming a file that is not a new file of the program or
// not a data file.
std::optional<std::vector<Entry>> decode(const QByteArray &bytes);

// What can still be read of a damaged record: each whole line that names a
// new file of the program and a data file, by new file.
std::map<QString, QString> readableEntries(const QByteArray &bytes);

// The data file ("Caps.stn") whose shape `content` has, as the exit writes
// it: whole records of that file's length, a header all zero but for its
// count, and the count positive where it always is (the log's). "" when it
// has no such shape or the shapes of more than one.
QString dataFileShapedAs(const QByteArray &content);

} // namespace commitrecord

} // namespace culegere
