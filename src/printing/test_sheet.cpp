#include "printing/test_sheet.h"

#include "pictures/picture_file.h"

#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace culegere {

namespace {

// A picture's size in twips, as the screen shows it; nothing for a file that
// is no readable picture or claims a size no problem picture has (it would
// shrink every other picture of the sheet to nothing).
QSize twipsSize(const QString &path)
{
    const QSize pixels = pictureSize(path);
    if (!pixels.isValid())
        return {};
    return pixels * sheet::TwipsPerPixel;
}

QRectF mapRect(const QRect &twips, const QRectF &page)
{
    const double sx = page.width() / sheet::PageWidth;
    const double sy = page.height() / sheet::PageHeight;
    return QRectF(page.left() + twips.x() * sx, page.top() + twips.y() * sy, twips.width() * sx,
                  twips.height() * sy);
}

void paintHeader(QPainter &painter, const QRectF &strip, const QString &text)
{
    painter.save();
    painter.setClipRect(strip);
    QFont font = painter.font();
    font.setPointSizeF(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(strip, Qt::AlignLeft | Qt::AlignTop, text);
    painter.restore();
}

void paintProblems(QPainter &painter, const QRectF &block, const QStringList &files)
{
    // A problem without a picture keeps the size of the one before it.
    QList<QSize> sizes;
    QList<bool> present;
    QSize last = sheet::BlankProblem;
    for (const QString &file : files) {
        const QSize size = twipsSize(file);
        present.append(size.isValid());
        if (size.isValid())
            last = size;
        sizes.append(last);
    }
    const MontageLayout montage = montageLayout(sizes);
    const double sx = block.width() / montage.size.width();
    const double sy = block.height() / montage.size.height();
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (!present[i])
            continue;
        const QRect &at = montage.pictures[i];
        const QRectF target(block.left() + at.x() * sx, block.top() + at.y() * sy, at.width() * sx,
                            at.height() * sy);
        const QImage image = readPicture(files[i], target.size().toSize());
        if (!image.isNull())
            painter.drawImage(target, image);
    }
    painter.restore();
}

} // namespace

void paintTestSheet(QPainter &painter, const QRectF &page, const SheetContent &content)
{
    const SheetGeometry geometry = sheetGeometry(content.margins);
    paintHeader(painter, mapRect(geometry.header, page), content.header);
    paintProblems(painter, mapRect(geometry.problems, page), content.pictureFiles);
}

QImage renderTestSheet(const SheetContent &content, qreal dotsPerInch)
{
    const double inchesPerTwip = 1.0 / 1440;
    QImage page(int(std::lround(sheet::PageWidth * inchesPerTwip * dotsPerInch)),
                int(std::lround(sheet::PageHeight * inchesPerTwip * dotsPerInch)),
                QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(dotsPerInch / 0.0254));
    page.setDotsPerMeterX(dotsPerMeter);
    page.setDotsPerMeterY(dotsPerMeter);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintTestSheet(painter, page.rect(), content);
    return page;
}

bool printTestSheet(QPrinter &printer, const SheetContent &content, int copies)
{
    printer.setCopyCount(copies);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    // The page's own coordinates: the margins are the teacher's.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    paintTestSheet(painter, printer.paperRect(QPrinter::DevicePixel), content);
    return painter.end();
}

} // namespace culegere
