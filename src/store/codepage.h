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
// leaves unassigned (0x81, 0x83, 0x88, 0x90, 0x98) read as the control
// characters U+0081 .. U+0098 of the same number, which encodeCp1250 turns
// back into those bytes: every byte survives a decode and an encode.
QString decodeCp1250(QByteArrayView bytes);

} // namespace culegere
