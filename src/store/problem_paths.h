#pragma once

#include "folder/app_folder.h"
#include "store/fixed_text.h"

#include <QString>

namespace culegere {

// Where a problem's picture is. The catalogue stores a full path, as it was
// when the picture was catalogued (perhaps in another folder or on another
// computer); only its last 9 characters, the 5-character index and ".jpg",
// name the picture, which is always looked for in the folder "probleme" of
// the present application folder.

// The path stored for the picture of `index`: appPath, "\Probleme\probl",
// the index and ".jpg", with the system's separators.
QString storedPicturePath(const QString &appPath, const QString &index);

// storedPicturePath as the catalogue's field holds it: a path too long for
// the field keeps its end, so the picture's name always survives.
FixedText<250> cataloguePath(const QString &appPath, const QString &index);

// The picture file of a problem in the present application folder: appPath,
// "/probleme/probl" and the last 9 characters of the trimmed stored path. A
// trimmed path shorter than 9 is used whole.
QString problemImagePath(const QString &appPath, const QString &storedPath);
QString problemImagePath(const QString &appPath, const FixedText<250> &storedPath);

// problemImagePath in `folder`, each part of it found on the disk without
// regard to letter case: the file a screen or the sheet shows.
QString problemPictureFile(const AppFolder &folder, const QString &storedPath);
QString problemPictureFile(const AppFolder &folder, const FixedText<250> &storedPath);

// The problem's index as its stored path names it: the first 5 of the last 9
// characters of the trimmed path ("00012"); a shorter path gives what it has.
QString problemIndex(const FixedText<250> &storedPath);

} // namespace culegere
