#include "pictures/picture_file.h"

#include "pictures/shrinking.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cstring>

namespace culegere {

namespace {
// A scanned A4 page at 600 dpi has about 35 million pixels.
constexpr qint64 kMaxPixels = 40'000'000;

// True when the JPEG file reaches its end-of-image marker. The decoder turns
// a file cut short (copied off a memory stick pulled out too early) into a
// picture greyed from the cut on and calls that a success. Walks the
// segments by their lengths, so a thumbnail inside one does not count, and
// each scan's data up to the marker that ends it.
bool jpegReachesItsEnd(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    const auto *d = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype size = data.size();
    auto isRestart = [](unsigned char m) { return m >= 0xD0 && m <= 0xD7; };
    qsizetype i = 2; // after the start-of-image marker
    while (i + 1 < size) {
        if (d[i] != 0xFF || d[i + 1] == 0xFF) { // stray or fill bytes between segments
            ++i;
            continue;
        }
        const unsigned char marker = d[i + 1];
        if (marker == 0xD9)
            return true;
        if (marker == 0x01 || marker == 0x00 || isRestart(marker)) {
            i += 2;
            continue;
        }
        if (i + 3 >= size)
            return false;
        i += 2 + ((qsizetype(d[i + 2]) << 8) | d[i + 3]);
        if (marker != 0xDA)
            continue;
        // Scan data: a 0xFF in it is followed by 0x00 or a restart marker.
        while (i + 1 < size) {
            const void *ff = std::memchr(d + i, 0xFF, size_t(size - i - 1));
            if (!ff)
                return false;
            i = static_cast<const unsigned char *>(ff) - d;
            if (d[i + 1] != 0x00 && !isRestart(d[i + 1]))
                break;
            i += 2;
        }
    }
    return false;
}

bool isSensibleSize(QSize size)
{
    return size.isValid() && !size.isEmpty() && qint64(size.width()) * size.height() <= kMaxPixels;
}

// The size the JPEG decoder gives a picture of `size` on its own, at no
// cost beyond its decoding: the fewest eighths of each side that are not
// smaller than `wanted`.
QSize decodedSize(QSize size, QSize wanted)
{
    for (int eighths = 1; eighths < 8; ++eighths) {
        const QSize decoded((size.width() * eighths + 7) / 8, (size.height() * eighths + 7) / 8);
        if (decoded.width() >= wanted.width() && decoded.height() >= wanted.height())
            return decoded;
    }
    return size;
}
} // namespace

QSize pictureSize(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QSize size = QImageReader(path).size();
    return isSensibleSize(size) ? size : QSize();
}

QImage readPicture(const QString &path, QSize scaledTo)
{
    if (path.isEmpty())
        return {};
    // Room for the largest picture accepted, should one be drawn at its own
    // size; the reader's own limit is below a scanned A4 page.
    static const bool roomMade = [] {
        constexpr int megabytes = int(kMaxPixels * 4 / (1024 * 1024)) + 1;
        QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), megabytes));
        return true;
    }();
    Q_UNUSED(roomMade);
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!isSensibleSize(size) || (reader.format() == "jpeg" && !jpegReachesItsEnd(path)))
        return {};
    // Each side no larger than asked. A JPEG is decoded by the decoder itself
    // at the eighths of its size nearest above that, then shrunk the rest.
    const QSize wanted =
        scaledTo.isValid() && !scaledTo.isEmpty() ? size.boundedTo(scaledTo) : size;
    if (wanted != size)
        reader.setScaledSize(reader.format() == "jpeg" ? decodedSize(size, wanted) : wanted);
    QImage image;
    if (!reader.read(&image))
        return {};
    return shrinkPicture(image, wanted);
}

QRect fittedRect(QSize picture, const QRect &area, qreal devicePixelRatio)
{
    if (picture.isEmpty() || area.isEmpty())
        return {};
    const qreal fit =
        std::min(qreal(area.width()) / picture.width(), qreal(area.height()) / picture.height());
    // Enlarged at most twice, counted in the screen's own pixels.
    const qreal scale = std::min(fit, 2.0 / std::max<qreal>(devicePixelRatio, 1.0));
    const QSize size(std::max(1, int(picture.width() * scale)),
                     std::max(1, int(picture.height() * scale)));
    return QRect(QPoint(area.left() + (area.width() - size.width()) / 2, area.top()), size);
}

} // namespace culegere
