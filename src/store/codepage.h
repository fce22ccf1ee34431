#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace culegere {

// The single-byte code page of the data files: Windows-1250, which holds the
// Romanian letters. Romanian s and t with comma below have no place in it and
// are written as their cedilla forms; any other character the code page cannot
// hold becomes '?'. Each character gives exactly one byte, so a text never
// spills into the neighbouring field.
QByteArray encodeCp1250(const QString &text);

// Bytes to text. NUL bytes stay NUL characters; the five bytes the code page
// leaves unassigned read as U+FFFD.
QString decodeCp1250(QByteArrayView bytes);

} // namespace culegere
