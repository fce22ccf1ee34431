#pragma once

#include "printing/sheet_geometry.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

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
// ("" where a row names no picture), the header text
// (one line per line), the page margins and the teacher's options; with
// the answer key, its lines.
struct SheetContent
{
    QStringList pictureFiles;
    QString header;
    Margins margins;
    SheetOptions options;
    QList<KeyRow> key;
    // "A" to "D" when the test is printed in versions: "Varianta A" stands at
    // the top right of the header strip of the sheet and of its key.
    QString version;
};

// Pictures are decoded once for a whole job (every copy's page draws the
// same ones), each at the size it is drawn on the device, at most at
// sheet::PictureDpi of its printed size and at its own pixels. A sheet is
// never made with a gap: when a problem's picture cannot be read (a missing
// file, a damaged one, a row naming none), nothing is made and
// `*unreadable` names the problem's position in the sheet (0 to 8); it is
// -1 when the sheet was made.

// The sheet (or the key) as a picture of the whole page at `dotsPerInch`,
// on white; a null image when a picture cannot be read.
QImage renderTestSheet(const SheetContent &content, qreal dotsPerInch, int *unreadable = nullptr);
QImage renderAnswerKey(const SheetContent &content, qreal dotsPerInch);

// The sheet as a PDF of `copies` A4 portrait pages, its text as text; the
// key as a PDF of one page. Empty when a picture cannot be read.
QByteArray testSheetPdf(const SheetContent &content, int copies, int *unreadable = nullptr);
QByteArray answerKeyPdf(const SheetContent &content);

// Each version's sheet as a PDF of its share of `sheets` pages (in desk
// order A, B, ... A, version v has every v-th sheet) and, with the answer
// key, the key's PDF; the versions are made side by side. Empty when a
// picture cannot be read: `*version` names the version, `*unreadable` the
// problem.
struct SheetFiles
{
    QByteArray sheet;
    QByteArray key;
};
QList<SheetFiles> versionPdfs(const QList<SheetContent> &versions, int sheets,
                              int *unreadable = nullptr, int *version = nullptr);

// Prints the sheet, A4 portrait, one-sided whatever the printer's default:
// one job of one page that the printer makes `copies` of; with the answer
// key, the key in a job of its own after it. False when the printer could
// not start or finish a job, or a picture cannot be read (then nothing is
// sent).
bool printTestSheet(QPrinter &printer, const SheetContent &content, int copies,
                    int *unreadable = nullptr);

// Prints several versions of the sheet in desk order: one job of `sheets`
// pages, one-sided, versions A, B, C, ... A, B, ... each page printed once;
// with the answer key, one key page per version, in version order, in a job
// of its own after it. One version prints as printTestSheet. `*version`
// names the version (0, 1, ...) whose picture `*unreadable` cannot be read.
bool printTestVersions(QPrinter &printer, const QList<SheetContent> &versions, int sheets,
                       int *unreadable = nullptr, int *version = nullptr);

} // namespace culegere
