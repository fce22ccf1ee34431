#pragma once

#include "printing/sheet_geometry.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

class QPainter;
class QPrinter;

namespace culegere {

// One line of the answer key: a problem of the sheet, in sheet order.
struct KeyRow
{
    QString pictureIndex; // the 5 characters of its picture's name
    QString chapter;
    QString answer; // "a" to "e"; "" where the catalogue holds no letter
};

// What a test sheet shows: the nine problems' picture files, in test order
// ("" or a file that cannot be read gives a blank block), the header text
// (one line per line), the page margins and the teacher's options; with
// the answer key, its lines.
struct SheetContent
{
    QStringList pictureFiles;
    QString header;
    Margins margins;
    SheetOptions options;
    QList<KeyRow> key;
};

// What the sheet is painted for. Paper (a page of pixels, a printer): the
// pictures decoded at the size they are drawn. Pdf: each picture at its own
// pixels, and the text without joined letters (ligatures), so it reads back
// as it was typed.
enum class Surface { Paper, Pdf };

// Paints the sheet on `painter`, whose device shows one A4 portrait page in
// `page` (device coordinates). The header is written in 14 pt bold from the
// strip's top-left corner, cut at its edges; the problems are stacked as the
// montage lays them out, stretched to the block, or, with the same width,
// each at the block's width in its own proportions. Numbered, "1." to "9."
// stand in the left margin beside the problems' tops.
void paintTestSheet(QPainter &painter, const QRectF &page, const SheetContent &content,
                    Surface surface = Surface::Paper);

// The answer key's page: the header, then a table of the key's lines with
// their numbers, picture indexes, chapters and letters, in sheet order.
void paintAnswerKey(QPainter &painter, const QRectF &page, const SheetContent &content,
                    Surface surface = Surface::Paper);

// The sheet (or the key) as a picture of the whole page at `dotsPerInch`,
// on white.
QImage renderTestSheet(const SheetContent &content, qreal dotsPerInch);
QImage renderAnswerKey(const SheetContent &content, qreal dotsPerInch);

// The sheet as a PDF of `copies` A4 portrait pages, its text as text and
// each picture at its own pixels; the key as a PDF of one page.
QByteArray testSheetPdf(const SheetContent &content, int copies);
QByteArray answerKeyPdf(const SheetContent &content);

// Prints the sheet, A4 portrait: one page the printer makes `copies` of;
// with the answer key, `copies` pages and the key after them, one job.
// False when the printer could not start or finish the job.
bool printTestSheet(QPrinter &printer, const SheetContent &content, int copies);

} // namespace culegere
