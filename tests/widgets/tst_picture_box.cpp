// The picture box: drawn from the picture's own pixels on a screen of high
// density, and fitted anew when the box changes its size.
#include "widgets/picture_box.h"

#include <QPainter>
#include <QtTest>

using namespace culegere;

namespace {

// Columns of one pixel, black and white in turn.
QImage stripes(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
    return image;
}

} // namespace

class TstPictureBox : public QObject
{
    Q_OBJECT

private slots:
    void sharpOnADenseScreen()
    {
        PictureBox box;
        box.setFrameShape(QFrame::NoFrame);
        box.resize(200, 100);
        box.showImage(stripes({400, 200})); // twice the box: one picture pixel per device pixel
        QImage page(400, 200, QImage::Format_RGB32);
        page.setDevicePixelRatio(2);
        page.fill(Qt::red);
        box.render(&page);
        // Neighbouring device pixels alternate as the picture's columns do:
        // no pixel was drawn from a half-size copy stretched back.
        int alternations = 0;
        for (int x = 100; x < 300; ++x)
            alternations += qGray(page.pixel(x, 100)) != qGray(page.pixel(x + 1, 100)) ? 1 : 0;
        QVERIFY2(alternations > 190, qPrintable(QString::number(alternations)));
    }

    void followsTheBoxSize()
    {
        PictureBox box;
        box.setFrameShape(QFrame::NoFrame);
        QImage white(400, 200, QImage::Format_RGB32);
        white.fill(Qt::white);
        box.showImage(white);
        // The width of the picture as drawn into a box of `size`, on red.
        auto drawnWidth = [&box](QSize size) {
            box.resize(size);
            QImage page(size, QImage::Format_RGB32);
            page.fill(Qt::red);
            box.render(&page);
            int width = 0;
            while (width < page.width() && page.pixelColor(width, 0) == QColor(Qt::white))
                ++width;
            return width;
        };
        QCOMPARE(drawnWidth({200, 100}), 200);
        QCOMPARE(drawnWidth({300, 150}), 300);
        QCOMPARE(drawnWidth({100, 50}), 100);
    }
};

QTEST_MAIN(TstPictureBox)
#include "tst_picture_box.moc"
