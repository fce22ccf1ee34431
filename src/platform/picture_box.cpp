#include "platform/picture_box.h"

#include <QImageReader>
#include <QPainter>

namespace culegere {

namespace {
// A scanned A4 page at 600 dpi has about 35 million pixels.
constexpr qint64 kMaxPixels = 40'000'000;
} // namespace

PictureBox::PictureBox(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

QImage PictureBox::readPicture(const QString &path, QSize scaledTo)
{
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPixels)
        return {};
    if (scaledTo.isValid() && !scaledTo.isEmpty() && scaledTo.width() < size.width() &&
        scaledTo.height() < size.height())
        reader.setScaledSize(scaledTo);
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

bool PictureBox::showFile(const QString &path)
{
    m_image = readPicture(path);
    setPath(m_image.isNull() ? QString() : path);
    update();
    return !m_image.isNull();
}

void PictureBox::showImage(const QImage &image)
{
    m_image = image;
    setPath(QString());
    update();
}

void PictureBox::clear()
{
    m_image = QImage();
    setPath(QString());
    update();
}

QSize PictureBox::sizeHint() const
{
    return {320, 240};
}

void PictureBox::setPath(const QString &path)
{
    if (m_path == path)
        return;
    m_path = path;
    emit imagePathChanged(m_path);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect area = contentsRect();
    QSize size = m_image.size();
    if (size.width() > area.width() || size.height() > area.height())
        size.scale(area.size(), Qt::KeepAspectRatio);
    // Centred across, from the top down.
    const QPoint origin(area.left() + (area.width() - size.width()) / 2, area.top());
    painter.drawImage(QRect(origin, size), m_image);
}

} // namespace culegere
