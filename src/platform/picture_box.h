#pragma once

#include <QFrame>
#include <QImage>

namespace culegere {

// A picture box: shows one picture, fitted into the box with its proportions
// kept, centred across and from the top down. A small picture is enlarged to
// fit, but never beyond twice its own size on the screen's pixels; on a
// screen of high density it is drawn from its own pixels, sharp. `imagePath`
// is the full path of the file shown, "" when the box is cleared or when the
// file could not be loaded.
class PictureBox : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QString imagePath READ imagePath NOTIFY imagePathChanged)

public:
    explicit PictureBox(QWidget *parent = nullptr);

    // Shows the picture file at `path`; a file that is missing, is no picture,
    // is damaged or is far too large leaves the box empty. True when shown.
    bool showFile(const QString &path);
    // Shows a picture that is no file (imagePath stays "").
    void showImage(const QImage &image);
    void clear();

    QString imagePath() const { return m_path; }
    QImage image() const { return m_image; }

    QSize sizeHint() const override;

    // The size a picture file's header claims; an invalid size for a file
    // that is no picture or claims more pixels than a problem picture can
    // sensibly have (such a file is never decoded).
    static QSize pictureSize(const QString &path);
    // Reads a picture file, refusing one that pictureSize refuses and a JPEG
    // cut short before its end; a null image on any failure. With
    // `scaledTo`, a larger picture is decoded at that size (a JPEG then costs
    // only a fraction of its full decoding).
    static QImage readPicture(const QString &path, QSize scaledTo = {});

    // Where a picture of `picture` pixels stands in `area` (logical pixels)
    // on a screen of `devicePixelRatio`.
    static QRect fittedRect(QSize picture, const QRect &area, qreal devicePixelRatio);

signals:
    void imagePathChanged(const QString &path);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setPath(const QString &path);

    QImage m_image;
    QString m_path;
    QImage m_scaled; // m_image at the size last drawn, in device pixels
};

} // namespace culegere
