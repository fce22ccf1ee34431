#include "printing/test_sheet.h"

#include "pictures/picture_file.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <cmath>
#include <functional>
#include <future>
#include <vector>

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

void setBoldFont(QPainter &painter, qreal points, Surface surface)
{
    QFont font = painter.font();
    font.setPointSizeF(points);
    font.setBold(true);
    if (surface == Surface::Pdf)
        font.setStyleStrategy(QFont::PreferNoShaping);
    painter.setFont(font);
}

void paintHeader(QPainter &painter, const QRectF &strip, const QString &text, Surface surface)
{
    painter.save();
    painter.setClipRect(strip);
    setBoldFont(painter, 14, surface);
    painter.setPen(Qt::black);
    painter.drawText(strip, Qt::AlignLeft | Qt::AlignTop, text);
    painter.restore();
}

// Where each problem stands in the block (device coordinates) and whether
// it has a picture to draw there.
struct Placement
{
    QList<QRectF> places;
    QList<bool> present;
};

Placement placeProblems(const QRectF &block, const QStringList &files, bool sameWidth)
{
    // A problem without a picture keeps the size of the one before it.
    QList<QSize> sizes;
    Placement placement;
    QSize last = sheet::BlankProblem;
    for (const QString &file : files) {
        const QSize size = twipsSize(file);
        placement.present.append(size.isValid());
        if (size.isValid())
            last = size;
        sizes.append(last);
    }
    if (sameWidth) {
        placement.places = sameWidthLayout(sizes, block);
        return placement;
    }
    const MontageLayout montage = montageLayout(sizes);
    const double sx = block.width() / montage.size.width();
    const double sy = block.height() / montage.size.height();
    for (const QRect &at : montage.pictures) {
        placement.places.append(QRectF(block.left() + at.x() * sx, block.top() + at.y() * sy,
                                       at.width() * sx, at.height() * sy));
    }
    return placement;
}

// The pictures of a sheet, each decoded whole, several at a time: a PDF
// keeps them at their own pixels, and every copy's page draws the same ones.
QList<QImage> wholePictures(const QStringList &files)
{
    std::vector<std::future<QImage>> decoding;
    for (const QString &file : files)
        decoding.push_back(std::async(std::launch::async, [file] { return readPicture(file); }));
    QList<QImage> pictures;
    for (std::future<QImage> &picture : decoding)
        pictures.append(picture.get());
    return pictures;
}

// `whole`: the pictures decoded whole, else each is decoded at its drawn size.
void paintProblems(QPainter &painter, const QRectF &block, const QStringList &files, bool sameWidth,
                   const QList<QImage> *whole)
{
    const Placement placement = placeProblems(block, files, sameWidth);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (!placement.present[i])
            continue;
        const QRectF &target = placement.places[i];
        const QImage image =
            whole ? whole->value(i) : readPicture(files[i], target.size().toSize());
        if (!image.isNull())
            painter.drawImage(target, image);
    }
    painter.restore();
}

void paintNumbers(QPainter &painter, const QRectF &page, const QRectF &block,
                  const QStringList &files, bool sameWidth, Surface surface)
{
    const Placement placement = placeProblems(block, files, sameWidth);
    painter.save();
    setBoldFont(painter, 12, surface);
    painter.setPen(Qt::black);
    const double unitsPerTwip = page.width() / sheet::PageWidth;
    for (qsizetype i = 0; i < placement.places.size(); ++i) {
        painter.drawText(numberBox(placement.places[i].top(), block.left(), unitsPerTwip),
                         Qt::AlignRight | Qt::AlignTop, QStringLiteral("%1.").arg(i + 1));
    }
    painter.restore();
}

QImage blankPage(qreal dotsPerInch)
{
    const double inchesPerTwip = 1.0 / 1440;
    QImage page(int(std::lround(sheet::PageWidth * inchesPerTwip * dotsPerInch)),
                int(std::lround(sheet::PageHeight * inchesPerTwip * dotsPerInch)),
                QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(dotsPerInch / 0.0254));
    page.setDotsPerMeterX(dotsPerMeter);
    page.setDotsPerMeterY(dotsPerMeter);
    page.fill(Qt::white);
    return page;
}

using PagePainter = std::function<void(QPainter &, const QRectF &page)>;

QImage renderPage(qreal dotsPerInch, const PagePainter &paint)
{
    QImage page = blankPage(dotsPerInch);
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paint(painter, page.rect());
    return page;
}

QByteArray pdfPages(int pages, const QString &title, const PagePainter &paint)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(sheet::PdfResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Culegere electronica"));
    QPainter painter(&writer);
    const QRectF page(0, 0, writer.width(), writer.height());
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        paint(painter, page);
    }
    return painter.end() ? pdf : QByteArray();
}

void paintSheet(QPainter &painter, const QRectF &page, const SheetContent &content, Surface surface,
                const QList<QImage> *whole)
{
    const SheetGeometry geometry = sheetGeometry(content.margins);
    const QRectF block = mapRect(geometry.problems, page);
    paintHeader(painter, mapRect(geometry.header, page), content.header, surface);
    paintProblems(painter, block, content.pictureFiles, content.options.sameWidth, whole);
    if (content.options.numbered) {
        paintNumbers(painter, page, block, content.pictureFiles, content.options.sameWidth,
                     surface);
    }
}

} // namespace

void paintTestSheet(QPainter &painter, const QRectF &page, const SheetContent &content,
                    Surface surface)
{
    if (surface == Surface::Pdf) {
        const QList<QImage> whole = wholePictures(content.pictureFiles);
        paintSheet(painter, page, content, surface, &whole);
        return;
    }
    paintSheet(painter, page, content, surface, nullptr);
}

void paintAnswerKey(QPainter &painter, const QRectF &page, const SheetContent &content,
                    Surface surface)
{
    const SheetGeometry geometry = sheetGeometry(content.margins);
    paintHeader(painter, mapRect(geometry.header, page), content.header, surface);
    const QRectF block = mapRect(geometry.problems, page);
    const double unitsPerTwip = page.width() / sheet::PageWidth;
    const double rowHeight = sheet::KeyRowHeight * unitsPerTwip;
    const double padding = sheet::NumberGap * unitsPerTwip;
    // The columns' shares of the block's width.
    const double shares[4] = {0.1, 0.2, 0.55, 0.15};
    const QString titles[4] = {QStringLiteral("Nr."), QStringLiteral("Problema"),
                               QStringLiteral("Capitol"), QStringLiteral("Raspuns")};

    painter.save();
    // Lines of a point, seen on paper as on a screen.
    painter.setPen(QPen(Qt::black, sheet::KeyLineWidth * unitsPerTwip));
    auto paintRow = [&](int row, const QString(&cells)[4]) {
        double x = block.left();
        const double y = block.top() + row * rowHeight;
        for (int c = 0; c < 4; ++c) {
            const QRectF cell(x, y, block.width() * shares[c], rowHeight);
            painter.drawRect(cell);
            const QRectF inside = cell.adjusted(padding, 0, -padding, 0);
            painter.drawText(
                inside, Qt::AlignLeft | Qt::AlignVCenter,
                painter.fontMetrics().elidedText(cells[c], Qt::ElideRight, int(inside.width())));
            x += cell.width();
        }
    };
    setBoldFont(painter, 12, surface);
    paintRow(0, titles);
    QFont plain = painter.font();
    plain.setBold(false);
    painter.setFont(plain);
    for (qsizetype i = 0; i < content.key.size(); ++i) {
        const KeyRow &line = content.key[i];
        const QString cells[4] = {QStringLiteral("%1.").arg(i + 1), line.pictureIndex, line.chapter,
                                  line.answer};
        paintRow(int(i) + 1, cells);
    }
    painter.restore();
}

QImage renderTestSheet(const SheetContent &content, qreal dotsPerInch)
{
    return renderPage(dotsPerInch, [&](QPainter &painter, const QRectF &page) {
        paintTestSheet(painter, page, content);
    });
}

QImage renderAnswerKey(const SheetContent &content, qreal dotsPerInch)
{
    return renderPage(dotsPerInch, [&](QPainter &painter, const QRectF &page) {
        paintAnswerKey(painter, page, content);
    });
}

QByteArray testSheetPdf(const SheetContent &content, int copies)
{
    const QList<QImage> whole = wholePictures(content.pictureFiles);
    return pdfPages(copies, content.header.section(u'\n', 0, 0),
                    [&](QPainter &painter, const QRectF &page) {
                        paintSheet(painter, page, content, Surface::Pdf, &whole);
                    });
}

QByteArray answerKeyPdf(const SheetContent &content)
{
    return pdfPages(1, QStringLiteral("Barem"), [&](QPainter &painter, const QRectF &page) {
        paintAnswerKey(painter, page, content, Surface::Pdf);
    });
}

bool printTestSheet(QPrinter &printer, const SheetContent &content, int copies)
{
    // With the key, the copies are pages of their own: the printer would
    // copy the key too.
    const bool withKey = content.options.answerKey;
    printer.setCopyCount(withKey ? 1 : copies);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    // The page's own coordinates: the margins are the teacher's.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page = printer.paperRect(QPrinter::DevicePixel);
    for (int i = 0; i < (withKey ? copies : 1); ++i) {
        if (i > 0 && !printer.newPage())
            return false;
        paintTestSheet(painter, page, content);
    }
    if (withKey) {
        if (!printer.newPage())
            return false;
        paintAnswerKey(painter, page, content);
    }
    return painter.end();
}

} // namespace culegere
