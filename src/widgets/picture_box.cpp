#include "widgets/picture_box.h"

#include "pictures/picture_file.h"
#include "pictures/shrinking.h"

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
    m_natural = pictureSize(path);
    // A box not laid out yet decodes a screenful at most; painting decodes
    // again when it needs more.
    QSize wanted = drawnPixels();
    if (wanted.isEmpty())
        wanted = m_natural.scaled(1024, 1024, Qt::KeepAspectRatio);
    m_image = m_natural.isValid() ? readPicture(path, wanted) : QImage();
    if (m_image.isNull())
        m_natural = QSize();
    setPath(m_image.isNull() ? QString() : path);
    update();
    return !m_image.isNull();
}

void PictureBox::showImage(const QImage &image)
{
    m_scaled = QImage();
    m_image = image;
    m_natural = image.size();
    setPath(QString());
    update();
}

void PictureBox::clear()
{
    m_scaled = QImage();
    m_image = QImage();
    m_natural = QSize();
    setPath(QString());
    update();
}

QSize PictureBox::drawnPixels(qreal ratio) const
{
    return (QSizeF(fittedRect(m_natural, contentsRect(), ratio).size()) * ratio).toSize();
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
    const QRect placed = fittedRect(m_natural, contentsRect(), ratio);
    const QSize devicePixels = drawnPixels(ratio);
    if (m_scaled.size() != devicePixels || m_scaled.devicePixelRatio() != ratio) {
        // Drawn larger than decoded: decoded again at the new size.
        const bool finer =
            m_image.size() != m_natural &&
            (m_image.width() < devicePixels.width() || m_image.height() < devicePixels.height());
        if (finer && !m_path.isEmpty()) {
            const QImage again = readPicture(m_path, devicePixels);
            if (!again.isNull())
                m_image = again;
        }
        m_scaled = shrinkPicture(m_image, devicePixels);
        m_scaled.setDevicePixelRatio(ratio);
    }
    painter.drawImage(placed.topLeft(), m_scaled);
}

} // namespace culegere
