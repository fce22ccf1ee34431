#pragma once

#include <QString>
#include <QStringList>

namespace culegere {

// Where the program keeps its collection (the application folder):
// - the folder given as the first argument, always;
// - else the program's own folder, as in a build or a copy of the whole
//   folder on a memory stick;
// - else, for a program installed for everyone (its shared files in
//   ../share/culegere beside its folder) or one whose folder cannot be
//   written, the folder "Culegere" in the user's home.
QString chooseAppFolder(const QStringList &arguments, const QString &programFolder,
                        const QString &homeFolder);

// The shared files of an installed program: the cues, the help and the
// sample collection, or "" for a program that is not installed.
QString sharedFolder(const QString &programFolder);

// Where the files that make an application folder ready come from: the
// shared files of an installed program; the program's own folder for one
// started from a folder it cannot write to (the collection, the cues and the
// help are there, and the program works in the home); else "" (none).
QString fillingSource(const QString &programFolder);

// Where a new application folder `folder` is filled before it is put in
// place: ".<name>.umplere" beside it.
QString fillingFolder(const QString &folder);

// Makes `folder` ready from `source` (see fillingSource): the cues and the
// help it lacks are copied in. With `withSample`, a folder that does not
// exist yet is created with the sample collection (Caps.stn, Problems.stn,
// probleme) as well, and the empty folders "teste" and "backup". Nothing
// else of `source` is copied (no results, no backup copies, no program), and
// a collection already there is never touched. The new folder is filled
// beside it (fillingFolder) and renamed into place only whole, so a fill cut
// short leaves no folder, and the next start fills it anew. False when
// something could not be copied (no folder is made then).
bool prepareAppFolder(const QString &folder, const QString &source, bool withSample);

} // namespace culegere
