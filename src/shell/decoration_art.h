#pragma once

#include <QImage>
#include <QSize>

namespace culegere {

// Draws the main screen's decorative picture, a band of figures and
// formulas, at `size`. Used when the program is built (make_decoration.cpp);
// the program itself shows the pixels made then (decoration.h).
QImage drawDecoration(const QSize &size);

} // namespace culegere
