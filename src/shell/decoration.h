#pragma once

#include <QImage>
#include <QSize>

namespace culegere {

// The main screen's decorative picture: a band of figures and formulas.
QImage decorativePicture(const QSize &size);

} // namespace culegere
