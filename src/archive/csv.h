#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace culegere {

// A CSV file as spreadsheet programs set to Romanian read it: UTF-8 with a
// byte-order mark, fields separated by ';', lines ended by CR LF. A field
// holding ';', '"', a line break or blanks at either end is put in double
// quotes, its quotes doubled.
QByteArray csvBytes(const QStringList &header, const QList<QStringList> &rows);

// A number with `decimals` digits after a decimal comma ("58,3").
QString decimalText(double value, int decimals);

} // namespace culegere
