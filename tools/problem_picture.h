#pragma once

#include "tools/sample_source.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSize>

#include <array>
#include <vector>

namespace culegere {

// The picture of a sample problem: on white, the statement's paragraphs
// word-wrapped, then the five variants "a) ..." .. "e) ...". The variants
// stand in 5, 3 or 2 columns, the most that lets every one of them fit its
// column on one line; otherwise one under the other, each wrapped. The
// picture is PictureWidth pixels wide and as high as its text, never less
// than MinPictureHeight (a shorter text is centred vertically). The same
// problem always gives the same bytes.

inline constexpr int PictureWidth = 1000;
inline constexpr int MinPictureHeight = 150;

struct ProblemLayout
{
    QSize size;
    std::vector<QRectF> paragraphs;     // one per statement paragraph
    std::array<QRectF, 5> variantCells; // label and text of each variant
    qreal labelWidth = 0;               // the text of a variant starts after it
    int columns = 1;
};

// DejaVu Sans at the pixel size the pictures use; the labels are its bold face.
QFont problemFont();
QFont labelFont(const QFont &font);
// True when the font the system gives for `font` is the family asked for.
bool fontAvailable(const QFont &font);

ProblemLayout layoutProblem(const SampleProblem &problem, const QFont &font,
                            int width = PictureWidth);
QImage renderProblem(const SampleProblem &problem, const QFont &font);
// JPEG at quality 90, 96 dpi.
QByteArray encodeJpeg(const QImage &image);

} // namespace culegere
