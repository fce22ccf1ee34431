// The test sheet as painted, on a page and in a PDF: the header and the
// problems where the geometry puts them, stacked in test order, a blank for
// a missing picture, the numbers in the margin.
#include "printing/test_sheet.h"
#include "support/driver.h"
#include "support/program_output.h"
#include "support/temp_app_folder.h"

#include <QCryptographicHash>
#include <QFontMetricsF>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace culegere;

Q_DECLARE_METATYPE(culegere::Margins)

namespace {

const QColor kColors[9] = {Qt::red,    Qt::green,   Qt::blue,      Qt::cyan,    Qt::magenta,
                           Qt::yellow, Qt::darkRed, Qt::darkGreen, Qt::darkBlue};

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 &&
           qAbs(a.blue() - b.blue()) < 40;
}

// Dark pixels in the rectangle [left, right) x [top, bottom) of the image.
int darkPixels(const QImage &image, int top, int bottom, int left = 0, int right = -1)
{
    int dark = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < (right < 0 ? image.width() : right); ++x)
            dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    }
    return dark;
}

// A twips rectangle of the page on a 96 dpi page.
QRectF onPage(const QRect &twips)
{
    const double scale = 96.0 / 1440;
    return QRectF(twips.x() * scale, twips.y() * scale, twips.width() * scale,
                  twips.height() * scale);
}

// The rows [top, bottom) that `colour` fills down the column `x`, from `y` on.
QPair<int, int> band(const QImage &page, int x, int y, QColor colour)
{
    while (y < page.height() && !near(page.pixelColor(x, y), colour))
        ++y;
    const int top = y;
    while (y < page.height() && near(page.pixelColor(x, y), colour))
        ++y;
    return {top, y};
}

// Nine pictures of 40 x 20 pixels, each its own colour.
struct Sheet
{
    test::TempAppFolder dir;
    SheetContent content;

    Sheet()
    {
        for (int i = 0; i < 9; ++i)
            content.pictureFiles.append(dir.addPicture(QString::number(i), {40, 20}, kColors[i]));
    }
    QRectF block() const { return onPage(sheetGeometry(content.margins).problems); }
};

// The nine pictures of `s` on `page`, down the block's left edge in test
// order, one under the other, the missing one's place left blank; `tops`
// gets the top of each picture's place.
void checkStack(const QImage &page, const Sheet &s, int missing = -1, QList<int> *tops = nullptr)
{
    const QRectF block = s.block();
    const int x = int(block.left()) + 2;
    int y = int(block.top());
    int height = 0;
    for (int i = 0; i < 9; ++i) {
        if (tops)
            tops->append(i == missing ? y : band(page, x, y, kColors[i]).first);
        if (i == missing) {
            y += height;
            continue;
        }
        const auto [top, bottom] = band(page, x, y, kColors[i]);
        if (i == 0 || i == missing + 1)
            QVERIFY2(qAbs(top - y) <= 2, qPrintable(QString::number(i)));
        height = bottom - top;
        QVERIFY2(height > 5 && bottom <= block.bottom() + 1, qPrintable(QString::number(i)));
        // The montage's spare right part stays white.
        const int middle = (top + bottom) / 2;
        int right = x;
        while (near(page.pixelColor(right, middle), kColors[i]))
            ++right;
        QVERIFY(right < block.right());
        QCOMPARE(page.pixelColor(right + 5, middle), QColor(Qt::white));
        y = bottom;
    }
}

// Writes `pdf` beside the pictures of `dir` and renders its page `page` at 96 dpi.
QImage pdfPage(const test::TempAppFolder &dir, const QByteArray &pdf, int page)
{
    dir.write("sheet.pdf", pdf);
    const QString prefix = dir.filePath("page");
    const QString number = QString::number(page);
    if (QProcess::execute("pdftoppm", {"-r", "96", "-f", number, "-l", number, "-png",
                                       "-singlefile", dir.filePath("sheet.pdf"), prefix}) != 0)
        return {};
    return QImage(prefix + ".png");
}

} // namespace

class TstTestSheet : public QObject
{
    Q_OBJECT

private slots:
    void problemsStackedWhereTheGeometrySays_data()
    {
        QTest::addColumn<Margins>("margins");
        QTest::addColumn<int>("missing");
        QTest::newRow("default margins") << Margins{} << -1;
        QTest::newRow("no margins") << Margins{0, 0, 0, 0} << -1;
        QTest::newRow("a picture missing") << Margins{} << 4;
    }
    void problemsStackedWhereTheGeometrySays()
    {
        QFETCH(Margins, margins);
        QFETCH(int, missing);
        Sheet s;
        s.content.margins = margins;
        if (missing >= 0)
            s.content.pictureFiles[missing] = s.dir.filePath("probleme/absent.jpg");
        const QImage page = renderTestSheet(s.content, 96);
        QCOMPARE(page.size(), QSize(794, 1123));
        QCOMPARE(qRound(page.dotsPerMeterX() * 0.0254), 96);
        STEP(checkStack(page, s, missing));
        // Outside the block all stays white: no header, no numbers.
        const QRectF block = s.block();
        QCOMPARE(darkPixels(page, 0, int(block.top()) - 1), 0);
        if (block.left() > 2) {
            QCOMPARE(darkPixels(page, 0, page.height(), 0, int(block.left()) - 1), 0);
            QCOMPARE(page.pixelColor(400, int(block.bottom()) + 3), QColor(Qt::white));
        }
    }

    // "1." to "9." in the left margin beside each problem's top.
    void numbersInTheMargin()
    {
        Sheet s;
        s.content.options.numbered = true;
        const QImage page = renderTestSheet(s.content, 96);
        QList<int> tops;
        STEP(checkStack(page, s, -1, &tops));
        const int left = int(s.block().left()) - 1;
        for (int i = 0; i < 9; ++i)
            QVERIFY2(darkPixels(page, tops[i], tops[i] + 20, 0, left) > 10,
                     qPrintable(QString::number(i)));
        QCOMPARE(darkPixels(page, 0, tops[0] - 1, 0, left), 0);
    }

    // The header from the strip's top-left corner on; lines beyond the strip
    // are cut off.
    void headerInItsStrip()
    {
        Sheet s;
        s.content.pictureFiles.clear();
        s.content.header = QStringList(12, "MMMM").join('\n');
        const QImage page = renderTestSheet(s.content, 96);
        const QRect strip = onPage(sheetGeometry(s.content.margins).header).toRect();
        QVERIFY(darkPixels(page, strip.top(), strip.top() + 12, strip.left(), strip.left() + 60) >
                20);
        QCOMPARE(darkPixels(page, 0, strip.top()), 0);
        QCOMPARE(darkPixels(page, 0, page.height(), 0, strip.left() - 1), 0);
        QVERIFY(darkPixels(page, strip.bottom() - 12, strip.bottom()) > 0);
        QCOMPARE(darkPixels(page, strip.bottom() + 2, page.height()), 0);
    }

    // Pictures 600, 1600 and 6000 pixels wide, same width on: nine blocks of
    // one width, each in its own proportions, stacked inside the block.
    void sameWidthOnThePage()
    {
        Sheet s;
        const QSize sizes[3] = {{600, 200}, {1600, 500}, {6000, 1500}};
        for (int i = 0; i < 9; ++i)
            s.content.pictureFiles[i] =
                s.dir.addPicture(QString::number(i), sizes[i % 3], kColors[i]);
        s.content.options.sameWidth = true;
        const QImage page = renderTestSheet(s.content, 96);
        const QRectF block = s.block();
        const int x = int(block.left()) + 2;
        int y = int(block.top()) + 1;
        int first = 0;
        for (int i = 0; i < 9; ++i) {
            const auto [top, bottom] = band(page, x, y, kColors[i]);
            y = bottom;
            int width = 2;
            while (near(page.pixelColor(x + width - 2, (top + bottom) / 2), kColors[i]))
                ++width;
            if (i == 0)
                first = width;
            QVERIFY2(qAbs(width - first) <= 2 && width < block.width(),
                     qPrintable(QString::number(i)));
            const double ratio = double(sizes[i % 3].height()) / sizes[i % 3].width();
            QVERIFY2(qAbs(bottom - top - width * ratio) <= 3, qPrintable(QString::number(i)));
            QVERIFY(top >= int(block.top()) && bottom <= int(block.bottom()) + 1);
        }
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

    // The sheet as a PDF: A4 portrait, a page per copy, the problems where
    // the geometry puts them, the header and the numbers as text, each
    // picture at its own pixels.
    void pdfSheet()
    {
        for (const char *tool : {"pdfinfo", "pdftoppm", "pdftotext", "pdfimages"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("pdfinfo, pdftoppm, pdftotext and pdfimages read the PDF: install "
                      "poppler-utils");
        }
        Sheet s;
        s.content.header = "Test de verificare\nClasa a VI-a";
        s.content.options.numbered = true;
        const QByteArray pdf = testSheetPdf(s.content, 3);
        QVERIFY(pdf.startsWith("%PDF"));
        const QImage page = pdfPage(s.dir, pdf, 3);
        QCOMPARE(page.size(), QSize(794, 1123));
        STEP(checkStack(page, s));
        const QRectF strip = onPage(sheetGeometry(s.content.margins).header);
        QVERIFY(darkPixels(page, int(strip.top()), int(strip.bottom()), int(strip.left()), 200) >
                20);

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
};

QTEST_MAIN(TstTestSheet)
#include "tst_test_sheet.moc"
