#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

namespace culegere {

// Problem pictures as files: read safely and fitted into a place. No widget
// takes part, so the screens' picture boxes and the printed sheet share it.

// The size a picture file's header claims; an invalid size for a file that
// is no picture or claims more pixels than a problem picture can sensibly
// have (such a file is never decoded).
QSize pictureSize(const QString &path);

// Reads a picture file, refusing one that pictureSize refuses and a JPEG cut
// short before its end; a null image on any failure. With `scaledTo`, a
// side longer than scaledTo's is decoded at scaledTo's length (a JPEG then
// costs only a fraction of its full decoding and memory).
QImage readPicture(const QString &path, QSize scaledTo = {});

// Where a picture of `picture` pixels stands in `area` (logical pixels) on a
// screen of `devicePixelRatio`: fitted with its proportions kept, centred
// across and from the top down, enlarged at most twice in the screen's own
// pixels.
QRect fittedRect(QSize picture, const QRect &area, qreal devicePixelRatio);

} // namespace culegere
