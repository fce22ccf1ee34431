// The picture box: fitted with its proportions, enlarged at most twice, and
// drawn from the picture's own pixels on a screen of high density.
#include "pictures/picture_file.h"
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
    void fitting_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QRect>("placed");
        QTest::newRow("larger: shrunk, centred across")
            << QSize(1000, 250) << QRect(0, 0, 500, 500) << 1.0 << QRect(0, 0, 500, 125);
        QTest::newRow("taller: shrunk to the height")
            << QSize(200, 400) << QRect(10, 10, 400, 200) << 1.0 << QRect(160, 10, 100, 200);
        QTest::newRow("small: enlarged, at most twice")
            << QSize(100, 50) << QRect(0, 0, 800, 400) << 1.0 << QRect(300, 0, 200, 100);
        QTest::newRow("small on a dense screen: no more than its own pixels twice")
            << QSize(100, 50) << QRect(0, 0, 800, 400) << 2.0 << QRect(350, 0, 100, 50);
        QTest::newRow("exactly fitting")
            << QSize(400, 200) << QRect(0, 0, 400, 300) << 1.0 << QRect(0, 0, 400, 200);
    }
    void fitting()
    {
        QFETCH(QSize, picture);
        QFETCH(QRect, area);
        QFETCH(double, ratio);
        QFETCH(QRect, placed);
        QCOMPARE(fittedRect(picture, area, ratio), placed);
    }

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
};

QTEST_MAIN(TstPictureBox)
#include "tst_picture_box.moc"
