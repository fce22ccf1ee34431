#include "pictures/shrinking.h"

#include <algorithm>
#include <vector>

namespace culegere {

namespace {

// The old pixels one new pixel covers: from `first` on, each with its weight.
struct Cover
{
    int first = 0;
    std::vector<float> weights;
};

// How each of `to` new pixels covers `from` old ones along one side.
std::vector<Cover> covers(int from, int to)
{
    std::vector<Cover> all(size_t(to), Cover{});
    const double step = double(from) / to;
    for (int n = 0; n < to; ++n) {
        const double begin = n * step;
        const double end = std::min<double>(from, (n + 1) * step);
        Cover &cover = all[size_t(n)];
        cover.first = int(begin);
        for (int old = cover.first; old < end; ++old) {
            const double covered = std::min<double>(end, old + 1) - std::max<double>(begin, old);
            cover.weights.push_back(float(covered / step));
        }
    }
    return all;
}

bool isShrinkable(QImage::Format format)
{
    return format == QImage::Format_Grayscale8 || format == QImage::Format_RGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

} // namespace

QImage shrinkPicture(const QImage &image, QSize size)
{
    if (image.isNull() || size.isEmpty())
        return {};
    if (size == image.size())
        return image;
    if (!isShrinkable(image.format()) || size.width() > image.width() ||
        size.height() > image.height())
        return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    QImage shrunk(size, image.format());
    if (shrunk.isNull())
        return {};
    // Each byte of a pixel is a channel of its own (grey, or B, G, R, A),
    // averaged alone: for premultiplied pixels that is the right average.
    const int channels = image.depth() / 8;
    const int rowBytes = image.width() * channels;
    const std::vector<Cover> down = covers(image.height(), size.height());
    const bool sameWidth = size.width() == image.width();
    const std::vector<Cover> across =
        sameWidth ? std::vector<Cover>() : covers(image.width(), size.width());
    std::vector<float> row(size_t(rowBytes), 0.0f);
    for (int y = 0; y < size.height(); ++y) {
        // The old rows this new row covers, averaged first...
        std::fill(row.begin(), row.end(), 0.0f);
        const Cover &rows = down[size_t(y)];
        for (size_t k = 0; k < rows.weights.size(); ++k) {
            const uchar *old = image.constScanLine(rows.first + int(k));
            const float weight = rows.weights[k];
            for (int i = 0; i < rowBytes; ++i)
                row[size_t(i)] += weight * float(old[i]);
        }
        // ...then across that row. The sums are never below 0.
        uchar *out = shrunk.scanLine(y);
        auto byte = [](float sum) { return uchar(std::min(255.0f, sum + 0.5f)); };
        if (sameWidth) {
            for (int i = 0; i < rowBytes; ++i)
                out[i] = byte(row[size_t(i)]);
            continue;
        }
        for (int x = 0; x < size.width(); ++x) {
            const Cover &columns = across[size_t(x)];
            for (int c = 0; c < channels; ++c) {
                float sum = 0.0f;
                for (size_t k = 0; k < columns.weights.size(); ++k)
                    sum += columns.weights[k] * row[(size_t(columns.first) + k) * channels + c];
                out[x * channels + c] = byte(sum);
            }
        }
    }
    return shrunk;
}

} // namespace culegere
