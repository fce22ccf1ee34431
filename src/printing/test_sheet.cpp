#include "printing/test_sheet.h"

#include "pictures/picture_file.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <QThread>

#include <algorithm>
#include <atomic>
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

// Text shaped as on the screen (joined scripts stay joined) but without
// the ligatures that join Latin letters: a PDF's "fi" then reads back as
// the two letters typed. A spacing too small to see turns them off.
void setBoldFont(QPainter &painter, qreal points)
{
    QFont font = painter.font();
    font.setPointSizeF(points);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
    painter.setFont(font);
}

void paintHeader(QPainter &painter, const QRectF &strip, const SheetContent &content)
{
    painter.save();
    painter.setClipRect(strip);
    setBoldFont(painter, 14);
    painter.setPen(Qt::black);
    painter.drawText(strip, Qt::AlignLeft | Qt::AlignTop, content.header);
    if (!content.version.isEmpty()) {
        painter.drawText(strip, Qt::AlignRight | Qt::AlignTop,
                         QStringLiteral("Varianta ") + content.version);
    }
    painter.restore();
}

// Where each problem stands in the block (device coordinates); empty when
// a problem's picture cannot be measured, `unreadable` then its position.
struct Placement
{
    QList<QRectF> places;
    int unreadable = -1;
};

Placement placeProblems(const QRectF &block, const QStringList &files, bool sameWidth)
{
    QList<QSize> sizes;
    Placement placement;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QSize size = twipsSize(files[i]);
        if (!size.isValid()) {
            placement.unreadable = int(i);
            return placement;
        }
        sizes.append(size);
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

// A sheet's problems made ready for one job: where each stands and its
// picture decoded for that place.
struct Problems
{
    Placement placement;
    QList<QImage> pictures;
};

// Decodes the pictures for their places on a page `page` wide (device
// units), a few at a time: a picture that keeps a side's own pixels is
// decoded whole before it is shrunk, so only a few such stand in memory
// at once.
Problems prepareProblems(const QRectF &page, const QRectF &block, const QStringList &files,
                         bool sameWidth)
{
    Problems problems{placeProblems(block, files, sameWidth), {}};
    if (problems.placement.unreadable >= 0)
        return problems;
    const double unitsPerInch = page.width() / sheet::PageWidth * 1440;
    const double scale = std::min(1.0, sheet::PictureDpi / unitsPerInch);
    problems.pictures.resize(files.size());
    std::atomic<qsizetype> next = 0;
    auto work = [&] {
        for (qsizetype i = next++; i < files.size(); i = next++) {
            const QSizeF drawn = problems.placement.places[i].size() * scale;
            problems.pictures[i] =
                readPicture(files[i], QSize(std::max(1, int(std::ceil(drawn.width()))),
                                            std::max(1, int(std::ceil(drawn.height())))));
        }
    };
    std::vector<std::future<void>> workers;
    for (int w = std::clamp(QThread::idealThreadCount(), 1, 3); w > 0; --w)
        workers.push_back(std::async(std::launch::async, work));
    for (std::future<void> &worker : workers)
        worker.get();
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (problems.pictures[i].isNull()) {
            problems.placement.unreadable = int(i);
            break;
        }
    }
    return problems;
}

void paintProblems(QPainter &painter, const Problems &problems)
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (qsizetype i = 0; i < problems.pictures.size(); ++i)
        painter.drawImage(problems.placement.places[i], problems.pictures[i]);
    painter.restore();
}

void paintNumbers(QPainter &painter, const QRectF &page, const QRectF &block,
                  const Placement &placement)
{
    painter.save();
    setBoldFont(painter, 12);
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

QRectF problemBlock(const QRectF &page, const SheetContent &content)
{
    return mapRect(sheetGeometry(content.margins).problems, page);
}

Problems prepareSheet(const QRectF &page, const SheetContent &content, int *unreadable)
{
    Problems problems = prepareProblems(page, problemBlock(page, content), content.pictureFiles,
                                        content.options.sameWidth);
    if (unreadable)
        *unreadable = problems.placement.unreadable;
    return problems;
}

void paintSheet(QPainter &painter, const QRectF &page, const SheetContent &content,
                const Problems &problems)
{
    const QRectF block = problemBlock(page, content);
    paintHeader(painter, mapRect(sheetGeometry(content.margins).header, page), content);
    paintProblems(painter, problems);
    if (content.options.numbered)
        paintNumbers(painter, page, block, problems.placement);
}

void paintAnswerKey(QPainter &painter, const QRectF &page, const SheetContent &content)
{
    const SheetGeometry geometry = sheetGeometry(content.margins);
    paintHeader(painter, mapRect(geometry.header, page), content);
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
    setBoldFont(painter, 12);
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

} // namespace

QImage renderTestSheet(const SheetContent &content, qreal dotsPerInch, int *unreadable)
{
    QImage page = blankPage(dotsPerInch);
    const Problems problems = prepareSheet(page.rect(), content, unreadable);
    if (problems.placement.unreadable >= 0)
        return {};
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintSheet(painter, page.rect(), content, problems);
    return page;
}

QImage renderAnswerKey(const SheetContent &content, qreal dotsPerInch)
{
    return renderPage(dotsPerInch, [&](QPainter &painter, const QRectF &page) {
        paintAnswerKey(painter, page, content);
    });
}

QByteArray testSheetPdf(const SheetContent &content, int copies, int *unreadable)
{
    const QRectF page(0, 0, sheet::PageWidth, sheet::PageHeight);
    const Problems problems = prepareSheet(page, content, unreadable);
    if (problems.placement.unreadable >= 0)
        return {};
    return pdfPages(copies, content.header.section(u'\n', 0, 0),
                    [&](QPainter &painter, const QRectF &page) {
                        paintSheet(painter, page, content, problems);
                    });
}

QByteArray answerKeyPdf(const SheetContent &content)
{
    return pdfPages(1, QStringLiteral("Barem"), [&](QPainter &painter, const QRectF &page) {
        paintAnswerKey(painter, page, content);
    });
}

QList<SheetFiles> versionPdfs(const QList<SheetContent> &versions, int sheets, int *unreadable,
                              int *version)
{
    const qsizetype count = versions.size();
    QList<SheetFiles> made(count);
    SheetFiles *files = made.data(); // each worker writes its own entries
    std::vector<int> unreadables(count, -1);
    auto make = [&](qsizetype v) {
        const SheetContent &content = versions[v];
        files[v].sheet =
            testSheetPdf(content, int((sheets - v + count - 1) / count), &unreadables[v]);
        if (content.options.answerKey && unreadables[v] < 0)
            files[v].key = answerKeyPdf(content);
    };
    // Two at a time: each decodes its pictures on threads of its own, and
    // the memory grows with the pictures decoded at once.
    std::atomic<qsizetype> next = 0;
    auto work = [&] {
        for (qsizetype v = next++; v < count; v = next++)
            make(v);
    };
    std::future<void> second;
    if (count > 1)
        second = std::async(std::launch::async, work);
    work();
    if (second.valid())
        second.get();
    for (qsizetype v = 0; v < count; ++v) {
        if (unreadables[v] >= 0) {
            if (unreadable)
                *unreadable = unreadables[v];
            if (version)
                *version = int(v);
            return {};
        }
    }
    if (unreadable)
        *unreadable = -1;
    return made;
}

bool printTestSheet(QPrinter &printer, const SheetContent &content, int copies, int *unreadable)
{
    return printTestVersions(printer, {content}, copies, unreadable);
}

bool printTestVersions(QPrinter &printer, const QList<SheetContent> &versions, int sheets,
                       int *unreadable, int *version)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    // Each copy and the key on paper of their own, also on a printer that
    // prints on both sides by default.
    printer.setDuplex(QPrinter::DuplexNone);
    // The page's own coordinates: the margins are the teacher's.
    printer.setFullPage(true);
    const QRectF page = printer.paperRect(QPrinter::DevicePixel);
    QList<Problems> problems;
    for (const SheetContent &content : versions) {
        problems.append(prepareSheet(page, content, unreadable));
        if (problems.last().placement.unreadable >= 0) {
            if (version)
                *version = int(problems.size() - 1);
            return false;
        }
    }
    auto job = [&](int copies, int pages, const std::function<void(QPainter &, int)> &paint) {
        printer.setCopyCount(copies);
        QPainter painter;
        if (!painter.begin(&printer))
            return false;
        for (int i = 0; i < pages; ++i) {
            if (i > 0 && !printer.newPage())
                return false;
            paint(painter, i);
        }
        return painter.end();
    };
    // One version is one page the printer makes copies of.
    const qsizetype count = versions.size();
    const bool copied = count == 1;
    if (!job(copied ? sheets : 1, copied ? 1 : sheets, [&](QPainter &painter, int i) {
            paintSheet(painter, page, versions[i % count], problems[i % count]);
        }))
        return false;
    if (!versions.first().options.answerKey)
        return true;
    const QString name = printer.docName();
    printer.setDocName(name.isEmpty() ? QStringLiteral("Barem")
                                      : name + QStringLiteral(" - barem"));
    const bool printed = job(1, int(count), [&](QPainter &painter, int i) {
        paintAnswerKey(painter, page, versions[i]);
    });
    printer.setDocName(name);
    return printed;
}

} // namespace culegere
