#include "widgets/picture_box.h"

#include "pictures/picture_file.h"

#include <QPaintEngine>
#include <QPainter>

namespace culegere {

PictureBox::PictureBox(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

bool PictureBox::showFile(const QString &path)
{
    m_scaled = QImage();
    m_image = readPicture(path);
    setPath(m_image.isNull() ? QString() : path);
    update();
    return !m_image.isNull();
}

void PictureBox::showImage(const QImage &image)
{
    m_scaled = QImage();
    m_image = image;
    setPath(QString());
    update();
}

void PictureBox::clear()
{
    m_scaled = QImage();
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
    // The device painted on in the end: the screen, or a picture it is rendered into.
    const QPaintDevice *target =
        painter.paintEngine() ? painter.paintEngine()->paintDevice() : this;
    const qreal ratio = target ? target->devicePixelRatioF() : devicePixelRatioF();
    const QRect placed = fittedRect(m_image.size(), contentsRect(), ratio);
    const QSize devicePixels = (QSizeF(placed.size()) * ratio).toSize();
    if (m_scaled.size() != devicePixels || m_scaled.devicePixelRatio() != ratio) {
        m_scaled =
            m_image.size() == devicePixels
                ? m_image
                : m_image.scaled(devicePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaled.setDevicePixelRatio(ratio);
    }
    painter.drawImage(placed.topLeft(), m_scaled);
}

} // namespace culegere
