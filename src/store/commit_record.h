#pragma once

#include <QByteArray>
#include <QString>

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

} // namespace commitrecord

} // namespace culegere
