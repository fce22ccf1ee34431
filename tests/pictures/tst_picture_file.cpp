// Picture files read safely (a JPEG cut short is refused, whatever bytes its
// segments hold), pictures fitted into a place, and the picture box that
// shows them: empty for a picture that cannot be read.
#include "pictures/picture_file.h"
#include "pictures/shrinking.h"
#include "widgets/picture_box.h"

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace culegere;

namespace {

// A detailed picture as a JPEG; with `comment`, two comment segments holding
// those bytes stand first after the start-of-image marker.
QByteArray jpeg(QSize size, const QByteArray &comment = {})
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x ^ y) * 5 % 256));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG"))
        qFatal("cannot encode a JPEG");
    if (!comment.isEmpty()) {
        QByteArray segment("\xff\xfe\0\0", 4);
        qToBigEndian<quint16>(quint16(comment.size() + 2), segment.data() + 2);
        bytes.insert(2, segment + comment + segment + comment);
    }
    return bytes;
}

// `bytes` cut in the middle of its scan data.
QByteArray cutInTheScan(const QByteArray &bytes)
{
    const qsizetype scan = bytes.indexOf("\xff\xda");
    return bytes.left(scan + (bytes.size() - scan) / 2);
}

// `bytes` with the size in its frame header made `size`.
QByteArray claiming(QByteArray bytes, QSize size)
{
    const qsizetype sof = bytes.indexOf("\xff\xc0");
    qToBigEndian<quint16>(quint16(size.height()), bytes.data() + sof + 5);
    qToBigEndian<quint16>(quint16(size.width()), bytes.data() + sof + 7);
    return bytes;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// An end marker inside a comment, as a thumbnail's would stand in its
// segment; the low first byte would pass for a segment's length.
const QByteArray kEndInAComment("\x01"
                                "a thumbnail's end \xff\xd9 stands here");

// The largest difference of a byte of `a`'s pixels from `b`'s, with `b` in
// `a`'s format; 256 when their sizes differ.
int largestDifference(const QImage &a, QImage b)
{
    if (a.size() != b.size())
        return 256;
    b = b.convertToFormat(a.format());
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int i = 0; i < a.width() * a.depth() / 8; ++i)
            largest = std::max(largest, std::abs(a.constScanLine(y)[i] - b.constScanLine(y)[i]));
    }
    return largest;
}

QImage grey(QSize size, const QList<int> &bytes = {})
{
    QImage image(size, QImage::Format_Grayscale8);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.scanLine(y)[x] = uchar(bytes.isEmpty() ? (x * 37 + y * 11) % 256 : bytes[x]);
    }
    return image;
}

} // namespace

class TstPictureFile : public QObject
{
    Q_OBJECT

private slots:
    // A picture that cannot be read (missing, no picture, cut short, of a
    // size no scan has) is not decoded, and leaves the box showing it empty
    // with "" as its path, whatever it showed before; one that can is decoded
    // whole or at the size asked, however large.
    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<bool>("read");
        const QByteArray plain = jpeg({120, 80});
        const QByteArray commented = jpeg({120, 80}, kEndInAComment);
        QTest::newRow("a whole JPEG") << plain << true;
        QTest::newRow("a whole JPEG, an end marker in its comment") << commented << true;
        QTest::newRow("a whole JPEG, fill bytes before a marker")
            << QByteArray(plain).insert(2, "\xff\xff\xff") << true;
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("no picture") << QByteArray("x + 2 = 5\n") << false;
        QTest::newRow("cut in the scan") << cutInTheScan(plain) << false;
        QTest::newRow("cut in the scan, an end marker in its comment")
            << cutInTheScan(commented) << false;
        QTest::newRow("cut in its headers") << plain.left(40) << false;
        // The walk must stop at the end, not read on past it (the sanitizers' build sees that).
        const qsizetype stuffed =
            plain.indexOf(QByteArray("\xff\x00", 2), plain.indexOf("\xff\xda"));
        QVERIFY(stuffed > 0);
        QTest::newRow("cut after a stuffed 0xFF 0x00 in the scan")
            << plain.left(stuffed + 2) << false;
        QTest::newRow("claiming 60000 x 60000 pixels") << claiming(plain, {60000, 60000}) << false;
        // Beyond the JPEG reader's own limit: a scanned A4 page at 600 dpi, a 6000 pixel square.
        for (const QSize scan : {QSize(4960, 7016), QSize(6000, 6000)})
            QTest::addRow("%d x %d", scan.width(), scan.height()) << jpeg(scan) << true;
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, read);
        QTemporaryDir dir;
        const QString path = dir.filePath("probl00001.jpg");
        if (!bytes.isNull())
            write(path, bytes);
        QCOMPARE(readPicture(path).isNull(), !read);
        QCOMPARE(readPicture(path, {60, 40}).isNull(), !read);
        if (read) {
            QCOMPARE(readPicture(path).size(), pictureSize(path));
            QCOMPARE(readPicture(path, {60, 40}).size(), QSize(60, 40));
        }

        const QString good = dir.filePath("probl00002.jpg");
        write(good, jpeg({120, 80}));
        PictureBox box;
        box.setFrameShape(QFrame::NoFrame);
        box.resize(120, 80);
        QVERIFY(box.showFile(good));
        QCOMPARE(box.showFile(path), read);
        QCOMPARE(box.imagePath(), read ? path : QString());
    }

    // A picture may have as many pixels as a scanned A4 page at 600 dpi, and
    // a few more; a header claiming more is never decoded.
    void sizeClaimed_data()
    {
        QTest::addColumn<QSize>("claimed");
        QTest::addColumn<bool>("sensible");
        QTest::newRow("a scanned page") << QSize(4960, 7016) << true;
        QTest::newRow("the largest") << QSize(8000, 5000) << true;
        QTest::newRow("a line more") << QSize(8000, 5001) << false;
    }
    void sizeClaimed()
    {
        QFETCH(QSize, claimed);
        QFETCH(bool, sensible);
        QTemporaryDir dir;
        const QString path = dir.filePath("probl00001.jpg");
        write(path, claiming(jpeg({16, 16}), claimed));
        QCOMPARE(pictureSize(path), sensible ? claimed : QSize());
    }

    // A picture made smaller: each new pixel the average of the old ones it
    // covers, weighted by how much of each (the bytes where a row is given),
    // as Qt's smooth scaling makes it up to a step of rounding. A JPEG read
    // at a smaller size is as Qt's reader makes it at that size.
    void shrinking_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<int>>("row"); // the first row's bytes, when known
        QTest::newRow("3 to 2: a third of the middle pixel each")
            << grey({3, 1}, {0, 90, 180}) << QSize(2, 1) << QList<int>{30, 150};
        QTest::newRow("4 to 2: halves rounded up")
            << grey({4, 1}, {0, 100, 200, 255}) << QSize(2, 1) << QList<int>{50, 228};
        QTest::newRow("grey, the height only") << grey({300, 300}) << QSize(300, 66) << QList<int>();
        QTest::newRow("grey, the width only") << grey({300, 300}) << QSize(7, 300) << QList<int>();
        QTest::newRow("grey, both sides") << grey({300, 200}) << QSize(128, 97) << QList<int>();
        const QImage colours = QImage::fromData(jpeg({300, 200}), "JPEG");
        QTest::newRow("RGB32") << colours << QSize(97, 33) << QList<int>();
        QTest::newRow("premultiplied")
            << colours.convertToFormat(QImage::Format_ARGB32_Premultiplied) << QSize(150, 41)
            << QList<int>();
        QTest::newRow("another format: Qt scales")
            << colours.convertToFormat(QImage::Format_RGB888) << QSize(97, 33) << QList<int>();
        QTest::newRow("larger: Qt scales") << grey({30, 30}) << QSize(60, 10) << QList<int>();
    }
    void shrinking()
    {
        QFETCH(QImage, picture);
        QFETCH(QSize, size);
        QFETCH(QList<int>, row);
        const QImage shrunk = shrinkPicture(picture, size);
        QCOMPARE(shrunk.size(), size);
        for (int x = 0; x < row.size(); ++x)
            QCOMPARE(int(shrunk.constScanLine(0)[x]), row[x]);
        if (row.isEmpty()) {
            const QImage qts = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            QVERIFY(largestDifference(shrunk, qts) <= 1);
        }
    }
    void readSmaller()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("probl00001.jpg");
        write(path, jpeg({300, 200}));
        for (const QSize at : {QSize(300, 66), QSize(150, 100), QSize(128, 97), QSize(7, 200)}) {
            QImageReader reader(path);
            reader.setScaledSize(at);
            QVERIFY(largestDifference(readPicture(path, at), reader.read()) <= 1);
        }
    }

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
        QTest::newRow("no room") << QSize(400, 200) << QRect(0, 0, 0, 300) << 1.0 << QRect();
        QTest::newRow("no picture") << QSize() << QRect(0, 0, 400, 300) << 1.0 << QRect();
    }
    void fitting()
    {
        QFETCH(QSize, picture);
        QFETCH(QRect, area);
        QFETCH(double, ratio);
        QFETCH(QRect, placed);
        QCOMPARE(fittedRect(picture, area, ratio), placed);
    }
};

QTEST_MAIN(TstPictureFile)
#include "tst_picture_file.moc"
