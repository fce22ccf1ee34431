#pragma once

#include <QByteArray>
#include <QString>

namespace culegere::durable {

// The few file-system steps that replacing files safely is made of, each
// reporting whether it reached the disk. This is the one place where the
// program calls the operating system for files itself: everything else goes
// through Qt. Linux (POSIX) and Windows each have their branch in
// durable_io.cpp; a port to another system is a matter of that file alone.
//
// New content is written into a file whose name only this program makes:
// ".culegere.new-" and 12 random hexadecimal digits. Whatever such a file a
// save cut short leaves behind can be recognised beyond doubt and removed;
// no other name is ever taken for a leftover.

// Whether `name` (a file name, no folder) is one that writeNew makes.
bool isNewFileName(const QString &name);

// Writes `content` whole into a new file of such a name in `folder`, with
// the permissions of `permissionsOf` when that file exists and the file
// system keeps permissions (one that refuses them fails nothing), and pushes
// it to the disk (`Push::Later`: left to the next sync of the disk). Returns the new file's path,
// or "" when anything failed (the new file is then removed again).
enum class Push { Now, Later };
QString writeNew(const QString &folder, const QByteArray &content, const QString &permissionsOf,
                 Push push = Push::Now);

// Pushes the folder's entries (new names, renames, removals) to the disk.
bool syncFolder(const QString &folder);

// Pushes a file's content, written by another (a database's copy), to the
// disk.
bool syncFile(const QString &path);

// Renames `from` over `to`, replacing it in one step.
bool replace(const QString &from, const QString &to);

// Removes a file; true when it is gone (also when it was not there).
bool remove(const QString &path);

// Whether a file is there; Unknown when the disk would not say.
enum class Presence { Present, Absent, Unknown };
Presence presence(const QString &path);

// Marks a file this process holds open (its handle, as QFile::handle gives
// it) as held for as long as it stays open, with the system's advisory lock
// that Qt's lock files take too: another copy that judged the file stale
// cannot remove it while it is held. True when held or where the system
// needs no such mark (Windows keeps an open file from being removed).
bool holdOpenFile(int handle);

// Whether the open file `handle` is the one `path` names now (not one put
// in its place since, nor gone).
bool sameFile(int handle, const QString &path);

} // namespace culegere::durable
