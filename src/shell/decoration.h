#pragma once

#include <QImage>
#include <QSize>

namespace culegere {

// The size the main screen shows its decorative picture at: the box's width
// in the window of 1024 with the layout's margins, the height its proportions
// give.
inline constexpr QSize kDecorationSize(1006, 80);

// The main screen's decorative picture, kDecorationSize, as the program
// holds it: drawn when the program was built and kept as its pixels, so that
// showing it at start-up takes no drawing, decoding or scaling. The image
// reads the program's own memory; it is never written.
QImage decorativePicture();

} // namespace culegere
