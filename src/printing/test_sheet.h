#pragma once

#include "printing/sheet_geometry.h"

#include <QImage>
#include <QStringList>

class QPainter;
class QPrinter;

namespace culegere {

// What a test sheet shows: the nine problems' picture files, in test order
// ("" or a file that cannot be read gives a blank block), the header text
// (one line per line) and the page margins.
struct SheetContent
{
    QStringList pictureFiles;
    QString header;
    Margins margins;
};

// Paints the sheet on `painter`, whose device shows one A4 portrait page in
// `page` (device coordinates). The header is written in 14 pt bold from the
// strip's top-left corner, cut at its edges; the problems are stacked as the
// montage lays them out, stretched to the block. Pictures are decoded at the
// size they are drawn, so a large scan costs only what the page shows of it.
void paintTestSheet(QPainter &painter, const QRectF &page, const SheetContent &content);

// The sheet as a picture of the whole page at `dotsPerInch`, on white.
QImage renderTestSheet(const SheetContent &content, qreal dotsPerInch);

// Prints the sheet as one job of one page, A4 portrait; the printer makes
// the `copies`. False when the printer could not start or finish the job.
bool printTestSheet(QPrinter &printer, const SheetContent &content, int copies);

} // namespace culegere
