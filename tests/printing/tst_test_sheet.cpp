// The test sheet as painted: header and problems where the geometry puts
// them, stacked in test order, blank blocks for missing pictures.
#include "printing/test_sheet.h"
#include "support/program_output.h"
#include "support/temp_app_folder.h"

#include <QCryptographicHash>
#include <QFontMetricsF>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace culegere;

namespace {

const QColor kColors[9] = {Qt::red,    Qt::green,   Qt::blue,      Qt::cyan,    Qt::magenta,
                           Qt::yellow, Qt::darkRed, Qt::darkGreen, Qt::darkBlue};

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 &&
           qAbs(a.blue() - b.blue()) < 40;
}

// Dark pixels in the band of rows [top, bottom) of the image.
int darkPixels(const QImage &image, int top, int bottom, int left = 0, int right = -1)
{
    if (right < 0)
        right = image.width();
    int dark = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
            dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    }
    return dark;
}

struct Sheet
{
    test::TempAppFolder dir;
    SheetContent content;

    // Nine pictures of 40 x 20 pixels (600 x 300 twips), each its own colour.
    Sheet()
    {
        for (int i = 0; i < 9; ++i)
            content.pictureFiles.append(dir.addPicture(QString::number(i), {40, 20}, kColors[i]));
    }
    QImage render() const { return renderTestSheet(content, 96); }
};

// Device pixels per twip on a 96 dpi page.
constexpr double kScale = 96.0 / 1440;

// The problem block of the default margins on a 96 dpi page.
const QRectF kBlock(1134 * kScale, 1984 * kScale, 9639 * kScale, 14288 * kScale);

// The nine 40 x 20 pictures of a Sheet, each in its colour, stacked in the
// default block: the montage is 700 x 2800 twips.
void checkStack(const QImage &page)
{
    const double rowHeight = kBlock.height() * 300 / 2800;
    const double pictureWidth = kBlock.width() * 600 / 700;
    for (int i = 0; i < 9; ++i) {
        const QPoint centre(int(kBlock.left() + pictureWidth / 2),
                            int(kBlock.top() + rowHeight * (i + 0.5)));
        QVERIFY2(near(page.pixelColor(centre), kColors[i]), qPrintable(QString::number(i)));
    }
}

bool havePoppler()
{
    for (const char *tool : {"pdfinfo", "pdftoppm", "pdftotext", "pdfimages"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return false;
    }
    return true;
}

// Writes `pdf` beside the pictures of `dir` and renders its page `page` at 96 dpi.
QImage pdfPage(const test::TempAppFolder &dir, const QByteArray &pdf, int page = 1)
{
    dir.write("sheet.pdf", pdf);
    const QString prefix = dir.filePath("page");
    const QString number = QString::number(page);
    if (QProcess::execute("pdftoppm", {"-r", "96", "-f", number, "-l", number, "-png",
                                       "-singlefile", dir.filePath("sheet.pdf"), prefix}) != 0)
        return {};
    return QImage(prefix + ".png");
}

// The row of `image` at `y` from `x` on, while its pixels are near `colour`.
int runOf(const QImage &image, int x, int y, QColor colour)
{
    int end = x;
    while (end < image.width() && near(image.pixelColor(end, y), colour))
        ++end;
    return end - x;
}

} // namespace

class TstTestSheet : public QObject
{
    Q_OBJECT

private slots:
    void pageSizeAtScreenResolution()
    {
        Sheet s;
        const QImage page = s.render();
        QCOMPARE(page.size(), QSize(794, 1123));
        QCOMPARE(qRound(page.dotsPerMeterX() * 0.0254), 96);
    }

    void problemsStackedWhereTheGeometrySays()
    {
        Sheet s;
        const QImage page = s.render();
        checkStack(page);
        const QRectF block = kBlock;
        const double pictureWidth = block.width() * 600 / 700;
        // The montage's spare right part, and the margins, stay white.
        QCOMPARE(page.pixelColor(int(block.left() + pictureWidth + 10), int(block.center().y())),
                 QColor(Qt::white));
        QCOMPARE(page.pixelColor(int(block.left()) - 5, int(block.center().y())),
                 QColor(Qt::white));
        QCOMPARE(page.pixelColor(400, int(block.bottom()) + 5), QColor(Qt::white));
        QCOMPARE(darkPixels(page, 0, int(block.top()) - 1), 0); // no header: nothing above
    }

    void marginsMoveTheBlock()
    {
        Sheet s;
        s.content.margins = {0, 0, 0, 0};
        const QImage page = s.render();
        // The block now starts at x 0 and y 1417 twips.
        QVERIFY(near(page.pixelColor(2, int(1417 * kScale) + 2), kColors[0]));
        QCOMPARE(page.pixelColor(2, int(1417 * kScale) - 3), QColor(Qt::white));
    }

    void missingPictureLeavesABlankBlock()
    {
        Sheet s;
        s.content.pictureFiles[4] = s.dir.filePath("probleme/absent.jpg");
        const QImage page = s.render();
        const QRectF block(1134 * kScale, 1984 * kScale, 9639 * kScale, 14288 * kScale);
        const double rowHeight = block.height() * 300 / 2800;
        const int x = int(block.left() + 20);
        QCOMPARE(page.pixelColor(x, int(block.top() + rowHeight * 4.5)), QColor(Qt::white));
        QVERIFY(near(page.pixelColor(x, int(block.top() + rowHeight * 5.5)), kColors[5]));
    }

    // The sheet with every option off, as it was before the options came:
    // the same pixels for the same pictures. Pictures of three widths, each
    // a pattern, so a change of scaling or placing shows. Measured on the Qt
    // the screenshots were made with; another Qt may scale otherwise.
    void defaultSheetUnchanged()
    {
        if (QString(qVersion()) != "6.4.2")
            QSKIP("the stored sheet was drawn by Qt 6.4.2");
        test::TempAppFolder dir;
        SheetContent content;
        for (int i = 0; i < 9; ++i) {
            const QSize size(QList<int>{40, 107, 400}[i % 3], 15 + 7 * i);
            QImage picture(size, QImage::Format_RGB32);
            for (int y = 0; y < size.height(); ++y) {
                for (int x = 0; x < size.width(); ++x)
                    picture.setPixel(
                        x, y, qRgb((x * 37 + i * 20) % 256, (y * 11) % 256, ((x ^ y) * 5) % 256));
            }
            const QString path = dir.filePath(QString("p%1.jpg").arg(i));
            QVERIFY(picture.save(path, "JPEG", 90));
            content.pictureFiles.append(path);
        }
        content.pictureFiles[4].clear();
        content.margins = {1.5f, 2.3f, 0.7f, 1};
        const QImage page = renderTestSheet(content, 96);
        const QByteArray bits(reinterpret_cast<const char *>(page.constBits()), page.sizeInBytes());
        QCOMPARE(QCryptographicHash::hash(bits, QCryptographicHash::Md5).toHex(),
                 QByteArray("3c82bd15aa15e9d220b60e0f499fa5cb"));
    }

    // "1." to "9." in the left margin beside each problem's top; nothing
    // there without the option.
    void numbersInTheMargin()
    {
        Sheet s;
        const double rowHeight = kBlock.height() * 300 / 2800;
        const int left = int(kBlock.left() - (113 + 680) * kScale);
        const int right = int(kBlock.left());
        for (bool numbered : {false, true}) {
            s.content.options.numbered = numbered;
            const QImage page = s.render();
            for (int i = 0; i < 9; ++i) {
                const int top = int(kBlock.top() + rowHeight * i);
                const int dark = darkPixels(page, top, top + int(400 * kScale), left, right);
                QVERIFY2(numbered ? dark > 10 : dark == 0, qPrintable(QString::number(i)));
            }
        }
    }

    // Pictures 600, 1600 and 6000 pixels wide, same width on: nine blocks of
    // one width, each in its own proportions, stacked inside the block.
    void sameWidthOnThePage()
    {
        test::TempAppFolder dir;
        SheetContent content;
        const QSize sizes[3] = {{600, 200}, {1600, 500}, {6000, 1500}};
        for (int i = 0; i < 9; ++i)
            content.pictureFiles.append(
                dir.addPicture(QString::number(i), sizes[i % 3], kColors[i]));
        content.options.sameWidth = true;
        const QImage page = renderTestSheet(content, 96);
        const int x = int(kBlock.left()) + 2;
        int y = int(kBlock.top()) + 1;
        QList<int> widths;
        for (int i = 0; i < 9; ++i) {
            // Down the left edge: the rows of this picture's colour.
            while (y < page.height() && !near(page.pixelColor(x, y), kColors[i]))
                ++y;
            const int top = y;
            while (y < page.height() && near(page.pixelColor(x, y), kColors[i]))
                ++y;
            const int height = y - top;
            const int width = runOf(page, x, top + height / 2, kColors[i]) + 2;
            widths.append(width);
            const double ratio = double(sizes[i % 3].height()) / sizes[i % 3].width();
            QVERIFY2(qAbs(height - width * ratio) <= 3, qPrintable(QString::number(i)));
            QVERIFY(top >= int(kBlock.top()) && y <= int(kBlock.bottom()) + 1);
        }
        for (int w : widths)
            QVERIFY2(qAbs(w - widths[0]) <= 2, qPrintable(QString::number(w)));
        QVERIFY(widths[0] <= kBlock.width() + 1);
    }

    // The sheet as a PDF: A4 portrait, a page per copy, the problems where the
    // geometry puts them, the header and the numbers as text, each picture at
    // its own pixels.
    void pdfSheet()
    {
        if (!havePoppler())
            QSKIP("pdfinfo, pdftoppm, pdftotext and pdfimages read the PDF: install poppler-utils");
        Sheet s;
        s.content.header = "Test de verificare\nClasa a VI-a";
        s.content.options.numbered = true;
        const QByteArray pdf = testSheetPdf(s.content, 3);
        QVERIFY(pdf.startsWith("%PDF"));
        const QImage page = pdfPage(s.dir, pdf, 3);
        QCOMPARE(page.size(), QSize(794, 1123));
        checkStack(page);
        QCOMPARE(page.pixelColor(int(kBlock.left()) + 580, int(kBlock.center().y())),
                 QColor(Qt::white));
        QVERIFY(darkPixels(page, int(283 * kScale), int(1417 * kScale), 75, 200) > 20);

        const QString file = s.dir.filePath("sheet.pdf");
        const QString info = test::programOutput("pdfinfo", {file});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+3\\n")), qPrintable(info));
        QVERIFY2(
            info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts")),
            qPrintable(info));
        const QString text = test::programOutput("pdftotext", {"-f", "1", "-l", "1", file, "-"});
        QVERIFY2(text.contains("Test de verificare") && text.contains("Clasa a VI-a"),
                 qPrintable(text));
        QVERIFY2(text.contains(QRegularExpression("1\\.\\s+2\\.\\s+3\\.\\s+4\\.\\s+5\\.\\s+6\\."
                                                  "\\s+7\\.\\s+8\\.\\s+9\\.")),
                 qPrintable(text));

        // Each picture once per page, at its own 40 x 20 pixels.
        const QStringList images =
            test::programOutput("pdfimages", {"-list", file}).split('\n').mid(2);
        int listed = 0;
        for (const QString &line : images) {
            const QStringList f = line.simplified().split(' ');
            if (f.size() < 5)
                continue;
            ++listed;
            QCOMPARE(f[3] + "x" + f[4], QString("40x20"));
        }
        QVERIFY2(listed >= 9, qPrintable(images.join('\n')));
    }

    void headerLinesInTheStrip()
    {
        Sheet s;
        s.content.pictureFiles.clear();
        QFont font;
        font.setPointSizeF(14);
        font.setBold(true);
        QImage probe(10, 10, QImage::Format_RGB32);
        probe.setDotsPerMeterX(3780);
        probe.setDotsPerMeterY(3780);
        const double line = QFontMetricsF(font, &probe).lineSpacing();
        const int top = int(283 * kScale);
        const int left = int(1134 * kScale);

        s.content.header = "MMMM";
        QImage one = s.render();
        QVERIFY(darkPixels(one, top, int(top + line), left, left + 80) > 20);
        QCOMPARE(darkPixels(one, 0, top), 0);
        QCOMPARE(darkPixels(one, 0, one.height(), 0, left), 0);

        s.content.header = "MMMM\nMMMM";
        QImage two = s.render();
        QCOMPARE(darkPixels(one, int(top + line + 2), int(top + 2 * line)), 0);
        QVERIFY(darkPixels(two, int(top + line + 2), int(top + 2 * line), left, left + 80) > 20);

        // Lines beyond the 2 cm strip are cut off.
        s.content.header = QStringList(12, "MMMM").join('\n');
        const QImage many = s.render();
        const int stripBottom = int((283 + 1134) * kScale) + 1;
        QVERIFY(darkPixels(many, top, stripBottom) > 0);
        QCOMPARE(darkPixels(many, stripBottom, many.height()), 0);
    }
};

QTEST_MAIN(TstTestSheet)
#include "tst_test_sheet.moc"
