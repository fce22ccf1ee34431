#include "shell/decoration_art.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace culegere {

QImage drawDecoration(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, size.width(), 0);
    sky.setColorAt(0.0, QColor(18, 52, 120));
    sky.setColorAt(1.0, QColor(40, 120, 190));
    p.fillRect(image.rect(), sky);

    const int h = size.height();
    p.setPen(QPen(QColor(255, 255, 255, 70), 2));
    // A triangle with its inscribed circle, a parabola, a right angle.
    const QPolygonF triangle({QPointF(20, h - 12), QPointF(h + 10, h - 12), QPointF(h * 0.45, 12)});
    p.drawPolygon(triangle);
    p.drawEllipse(QPointF(h * 0.48, h * 0.62), h * 0.22, h * 0.22);
    QPainterPath parabola;
    const double x0 = size.width() - 2.2 * h;
    for (int i = 0; i <= 40; ++i) {
        const double t = -1.0 + i / 20.0;
        const QPointF point(x0 + (t + 1) * h, 12 + (h - 24) * t * t);
        i == 0 ? parabola.moveTo(point) : parabola.lineTo(point);
    }
    p.drawPath(parabola);

    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(h * 2 / 5);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size.width(), h * 2 / 3), Qt::AlignCenter,
               QStringLiteral("Culegere electronica"));

    QFont formulas(QStringLiteral("DejaVu Sans"));
    formulas.setPixelSize(h / 6);
    p.setFont(formulas);
    p.setPen(QColor(255, 255, 255, 200));
    p.drawText(QRect(0, h / 2, size.width(), h / 2), Qt::AlignCenter,
               QStringLiteral("a² + b² = c²     ∑ k = n(n+1)/2     √2 ≈ 1,41     π ≈ 3,14"));
    return image;
}

} // namespace culegere
