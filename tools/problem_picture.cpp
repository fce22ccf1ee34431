#include "tools/problem_picture.h"

#include <QBuffer>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace culegere {

namespace {

constexpr qreal kSideMargin = 36;
constexpr qreal kTopMargin = 28;
constexpr qreal kBottomMargin = 28;
constexpr qreal kParagraphGap = 6;
constexpr qreal kVariantsGap = 22;
constexpr qreal kColumnGap = 24;
constexpr qreal kRowGap = 10;
constexpr int kDotsPerMeter = 3780; // 96 dpi
constexpr int kJpegQuality = 90;
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
const QColor kLabelColor(0x1a, 0x3a, 0x6b);

QString label(int k)
{
    return QStringLiteral("%1) ").arg(QChar(u'a' + k));
}

qreal wrappedHeight(const QFontMetricsF &metrics, qreal width, const QString &text)
{
    return metrics.boundingRect(QRectF(0, 0, width, 1e6), kTextFlags, text).height();
}

// The most columns (5, 3 or 2) in which every variant fits on one line; 1 if none.
int variantColumns(const SampleProblem &problem, const QFontMetricsF &metrics, qreal labelWidth,
                   qreal contentWidth)
{
    for (int columns : {5, 3, 2}) {
        const qreal cell = (contentWidth - (columns - 1) * kColumnGap) / columns;
        const bool fits =
            std::all_of(problem.variants.begin(), problem.variants.end(), [&](const QString &text) {
                return labelWidth + metrics.horizontalAdvance(text) <= cell;
            });
        if (fits)
            return columns;
    }
    return 1;
}

} // namespace

QFont problemFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(24);
    return font;
}

QFont labelFont(const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

bool fontAvailable(const QFont &font)
{
    return QFontInfo(font).family() == font.family();
}

ProblemLayout layoutProblem(const SampleProblem &problem, const QFont &font, int width)
{
    const QFontMetricsF metrics(font);
    const QFontMetricsF labelMetrics(labelFont(font));
    const qreal contentWidth = width - 2 * kSideMargin;
    const qreal lineHeight = metrics.height();

    ProblemLayout layout;
    qreal y = kTopMargin;
    for (const QString &paragraph : problem.statement) {
        const qreal height = wrappedHeight(metrics, contentWidth, paragraph);
        layout.paragraphs.emplace_back(kSideMargin, y, contentWidth, height);
        y += height + kParagraphGap;
    }
    y += kVariantsGap - kParagraphGap;

    for (int k = 0; k < 5; ++k)
        layout.labelWidth = std::max(layout.labelWidth, labelMetrics.horizontalAdvance(label(k)));
    layout.columns = variantColumns(problem, metrics, layout.labelWidth, contentWidth);

    if (layout.columns > 1) {
        const qreal cell = (contentWidth - (layout.columns - 1) * kColumnGap) / layout.columns;
        for (int k = 0; k < 5; ++k) {
            const int row = k / layout.columns;
            const int column = k % layout.columns;
            layout.variantCells[static_cast<std::size_t>(k)] =
                QRectF(kSideMargin + column * (cell + kColumnGap), y + row * (lineHeight + kRowGap),
                       cell, lineHeight);
        }
        const int rows = (5 + layout.columns - 1) / layout.columns;
        y += rows * lineHeight + (rows - 1) * kRowGap;
    } else {
        for (int k = 0; k < 5; ++k) {
            const QString &text = problem.variants[static_cast<std::size_t>(k)];
            const qreal height = wrappedHeight(metrics, contentWidth - layout.labelWidth, text);
            layout.variantCells[static_cast<std::size_t>(k)] =
                QRectF(kSideMargin, y, contentWidth, height);
            y += height + (k < 4 ? kRowGap : 0);
        }
    }
    const int height = static_cast<int>(std::ceil(y + kBottomMargin));
    layout.size = QSize(width, std::max(height, MinPictureHeight));
    // A short problem sits in the middle of the least height, not at its top.
    const qreal shift = std::floor((layout.size.height() - height) / 2.0);
    for (QRectF &rect : layout.paragraphs)
        rect.translate(0, shift);
    for (QRectF &rect : layout.variantCells)
        rect.translate(0, shift);
    return layout;
}

QImage renderProblem(const SampleProblem &problem, const QFont &font)
{
    const ProblemLayout layout = layoutProblem(problem, font);
    QImage image(layout.size, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(Qt::white);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    painter.setFont(font);
    for (std::size_t i = 0; i < layout.paragraphs.size(); ++i)
        painter.drawText(layout.paragraphs[i], kTextFlags, problem.statement[static_cast<int>(i)]);

    for (int k = 0; k < 5; ++k) {
        const QRectF cell = layout.variantCells[static_cast<std::size_t>(k)];
        painter.setFont(labelFont(font));
        painter.setPen(kLabelColor);
        painter.drawText(QRectF(cell.left(), cell.top(), layout.labelWidth, cell.height()),
                         kTextFlags, label(k).trimmed());
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(cell.adjusted(layout.labelWidth, 0, 0, 0), kTextFlags,
                         problem.variants[static_cast<std::size_t>(k)]);
    }
    painter.end();
    return image;
}

QByteArray encodeJpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(kJpegQuality);
    if (!writer.write(image))
        return {};
    return bytes;
}

} // namespace culegere
