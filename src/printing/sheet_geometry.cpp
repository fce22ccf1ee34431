#include "printing/sheet_geometry.h"

#include "folder/app_folder.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace culegere {

namespace {

int floorToInt(double value)
{
    return static_cast<int>(std::floor(value));
}

std::optional<double> parseNumber(QString text, const QLocale &locale)
{
    text = text.trimmed();
    bool ok = false;
    double value = locale.toDouble(text, &ok);
    if (!ok)
        value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

SheetGeometry sheetGeometry(const Margins &m)
{
    // Single precision where only the margins take part, double where the
    // constants 2.5 and 29.7 do, as the sheet has always been measured.
    const float cm = sheet::TwipsPerCm;
    const int x = floorToInt(m.left * cm);
    const int width = floorToInt(float(sheet::PageWidth) - (m.left + m.right) * cm);
    const int problemsTop = floorToInt(double(m.top * cm) + 2.5 * cm);
    const int problemsHeight =
        floorToInt(29.7 * cm - (double(m.top) + 2.5 + double(m.bottom)) * cm);
    SheetGeometry g;
    g.header = QRect(x, sheet::HeaderTop, width, sheet::HeaderHeight);
    g.problems = QRect(x, problemsTop, width, problemsHeight);
    return g;
}

MontageLayout montageLayout(const QList<QSize> &pictureSizes)
{
    qint64 widest = 0;
    qint64 total = 0;
    for (const QSize &s : pictureSizes) {
        widest = std::max<qint64>(widest, s.width());
        total += s.height();
    }
    const qint64 room = sheet::MontageLimit - sheet::MontageSpare;
    const double scale = std::min({1.0, widest > room ? double(room) / widest : 1.0,
                                   total > room ? double(room) / total : 1.0});

    MontageLayout layout;
    int y = 0;
    int width = 0;
    for (const QSize &s : pictureSizes) {
        const QSize scaled(int(s.width() * scale), int(s.height() * scale));
        layout.pictures.append(QRect(QPoint(0, y), scaled));
        y += scaled.height();
        width = std::max(width, scaled.width());
    }
    layout.size = QSize(width + sheet::MontageSpare, y + sheet::MontageSpare);
    return layout;
}

QList<QRectF> sameWidthLayout(const QList<QSize> &pictureSizes, const QRectF &block)
{
    double stack = 0;
    for (const QSize &s : pictureSizes) {
        if (s.width() > 0)
            stack += block.width() * s.height() / s.width();
    }
    const double scale = stack > block.height() ? block.height() / stack : 1.0;
    const double width = block.width() * scale;
    QList<QRectF> layout;
    double y = block.top();
    for (const QSize &s : pictureSizes) {
        const double height = s.width() > 0 ? width * s.height() / s.width() : 0;
        layout.append(QRectF(block.left(), y, s.width() > 0 ? width : 0, height));
        y += height;
    }
    return layout;
}

QRectF numberBox(double problemTop, double blockLeft, double unitsPerTwip)
{
    const double right = blockLeft - sheet::NumberGap * unitsPerTwip;
    return QRectF(right - sheet::NumberWidth * unitsPerTwip, problemTop,
                  sheet::NumberWidth * unitsPerTwip, sheet::NumberHeight * unitsPerTwip);
}

QString marginText(int value, const QLocale &locale)
{
    // In tenths of a centimetre, so the text is exact.
    const int tenths = 40 - std::clamp(value, 0, 40);
    if (tenths % 10 == 0)
        return QString::number(tenths / 10);
    return QString::number(tenths / 10) + locale.decimalPoint() + QString::number(tenths % 10);
}

std::optional<float> parseMargin(const QString &text, const QLocale &locale)
{
    const std::optional<double> value = parseNumber(text, locale);
    if (!value || *value < 0 || *value > 100)
        return std::nullopt;
    return static_cast<float>(*value);
}

Copies parseCopies(const QString &text, const QLocale &locale)
{
    const std::optional<double> value = parseNumber(text, locale);
    if (!value || *value < -32768.5 || *value > 32767.5)
        return {Copies::Invalid, 0};
    // Rounded as the 16-bit conversion does: a half goes to the even number.
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const int count = static_cast<int>(std::nearbyint(*value));
    std::fesetround(previous);
    if (count == 0)
        return {Copies::Zero, 0};
    if (count < 1 || count > MaxCopies)
        return {Copies::Invalid, count};
    return {Copies::Count, count};
}

bool isAcceptableSheetName(const QString &name)
{
    return !name.trimmed().isEmpty() && isPlainName(name);
}

} // namespace culegere
