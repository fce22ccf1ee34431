#pragma once

#include <QImage>
#include <QSize>

namespace culegere {

// Makes a picture smaller by giving each new pixel the average of the old
// pixels it covers, each weighted by how much of it is covered: what a
// smooth scaling does when it shrinks, without the conversions Qt makes of
// a grey picture on the way (about five times the work for a scanned page).
// A picture to be made larger on either side, or in a format other than
// grey, RGB32 or premultiplied ARGB32, is scaled smoothly by Qt instead.
QImage shrinkPicture(const QImage &image, QSize size);

} // namespace culegere
