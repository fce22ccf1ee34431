#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace culegere {

// A CSV file as spreadsheet programs set to Romanian read it: UTF-8 with a
// byte-order mark, fields separated by ';', lines ended by CR LF. A field
// holding ';', '"', a line break or blanks at either end is put in double
// quotes, its quotes doubled. A field that a spreadsheet would take for a
// formula (beginning with '=', '+', '-', '@', a tab or a carriage return)
// begins with an apostrophe, so it stays the text it was. The fields of
// `textColumns` begin with an invisible word joiner, so a spreadsheet keeps
// them as text ("00012" stays five digits, not the number 12).
QByteArray csvBytes(const QStringList &header, const QList<QStringList> &rows,
                    const QList<int> &textColumns = {});

// A number with `decimals` digits after a decimal comma ("58,3").
QString decimalText(double value, int decimals);

} // namespace culegere
