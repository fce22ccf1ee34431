#pragma once

#include <QByteArray>
#include <QString>

namespace culegere {

// Texts made as the program has always made them.

// The part of `text` before its first NUL; `text` is replaced by it too.
QString stripNull(QString &text);
QByteArray stripNull(QByteArray &text);

// A number with a blank where a minus sign would stand: " 12", "-3".
QString numberText(qint64 number);

} // namespace culegere
