#pragma once

#include <QFrame>
#include <QImage>

namespace culegere {

// A picture box: shows one picture, placed in the box as fittedRect places
// it (proportions kept, centred across, from the top down, enlarged at most
// twice); on a screen of high density it is drawn from its own pixels,
// sharp. A file is decoded at the size it is drawn (again when the box
// grows), so a large scan costs the memory of the box, not of the scan. `imagePath` is the full
// path of the file shown, "" when the box is cleared or when the file could not be loaded.
class PictureBox : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QString imagePath READ imagePath NOTIFY imagePathChanged)

public:
    explicit PictureBox(QWidget *parent = nullptr);

    // Shows the picture file at `path` (read as readPicture reads it); a file
    // that is missing, is no picture, is damaged or is far too large leaves
    // the box empty. True when shown.
    bool showFile(const QString &path);
    // Shows a picture that is no file (imagePath stays "").
    void showImage(const QImage &image);
    void clear();

    QString imagePath() const { return m_path; }

    QSize sizeHint() const override;

signals:
    void imagePathChanged(const QString &path);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setPath(const QString &path);
    // The picture's size in the device's pixels as the box draws it.
    QSize drawnPixels(qreal ratio) const;
    QSize drawnPixels() const { return drawnPixels(devicePixelRatioF()); }

    QImage m_image;  // as decoded: at most the size drawn, or m_natural
    QSize m_natural; // the picture's own size
    QString m_path;
    QImage m_scaled; // m_image at the size last drawn, in device pixels
};

} // namespace culegere
