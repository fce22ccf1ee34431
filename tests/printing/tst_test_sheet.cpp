// The test sheet as painted, on a page and in a PDF: the header and the
// problems where the geometry puts them, stacked in test order, the numbers
// in the margin; the stored sheet pins the plain one to the pixel.
#include "printing/test_sheet.h"
#include "support/driver.h"
#include "support/program_output.h"
#include "support/temp_app_folder.h"

#include <QCryptographicHash>
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

// The nine pictures (40 x 20 pixels, each of its colour) on `page`, down
// the block's left edge in test order, one under the other; their tops.
void checkStack(const QImage &page, const QRectF &block, QList<int> &tops)
{
    const int x = int(block.left()) + 2;
    int y = int(block.top());
    for (int i = 0; i < 9; ++i) {
        const auto [top, bottom] = band(page, x, y, kColors[i]);
        tops.append(top);
        if (i == 0)
            QVERIFY(qAbs(top - y) <= 2);
        QVERIFY2(bottom - top > 5 && bottom <= block.bottom() + 1, qPrintable(QString::number(i)));
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

} // namespace

class TstTestSheet : public QObject
{
    Q_OBJECT

private slots:
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
        content.margins = {1.5f, 2.3f, 0.7f, 1};
        const QImage page = renderTestSheet(content, 96);
        const QByteArray bits(reinterpret_cast<const char *>(page.constBits()), page.sizeInBytes());
        QCOMPARE(QCryptographicHash::hash(bits, QCryptographicHash::Md5).toHex(),
                 QByteArray("55b028853607438dd03dd20d3f87039b"));
    }

    // Every picture stands on the page and in the PDF, a scanned A4 page at
    // 600 dpi and a 6000 pixel square among small ones, with and without the
    // same width; one that cannot be read stops the sheet, naming its place.
    void everyPicture_data()
    {
        QTest::addColumn<QSize>("size"); // of the fifth picture; empty: a file cut short
        QTest::addColumn<bool>("sameWidth");
        for (const QSize size : {QSize(4960, 7016), QSize(6000, 6000), QSize()}) {
            for (const bool sameWidth : {false, true}) {
                QTest::addRow("%dx%d%s", size.width(), size.height(),
                              sameWidth ? ", same width" : "")
                    << size << sameWidth;
            }
        }
    }
    void everyPicture()
    {
        QFETCH(QSize, size);
        QFETCH(bool, sameWidth);
        test::TempAppFolder dir;
        SheetContent content;
        content.options.sameWidth = sameWidth;
        for (int i = 0; i < 9; ++i)
            content.pictureFiles.append(dir.addPicture(QString::number(i), {40, 20}, kColors[i]));
        QImage scan(size.isEmpty() ? QSize(400, 400) : size, QImage::Format_Grayscale8);
        scan.fill(90);
        QVERIFY(scan.save(content.pictureFiles[4], "JPEG"));
        if (size.isEmpty())
            dir.write("probleme/probl4.jpg", dir.read("probleme/probl4.jpg").left(900));
        int unreadable = 0;
        const QImage page = renderTestSheet(content, 96, &unreadable);
        dir.write("sheet.pdf", testSheetPdf(content, 2, &unreadable));
        if (size.isEmpty()) {
            QVERIFY(page.isNull() && dir.read("sheet.pdf").isEmpty());
            QCOMPARE(unreadable, 4);
            return;
        }
        QCOMPARE(unreadable, -1);
        QVERIFY(QProcess::execute("pdftoppm", {"-r", "48", "-f", "2", "-png", "-singlefile",
                                               dir.filePath("sheet.pdf"), dir.filePath("page")}) ==
                0);
        for (const QImage &shown : {page, QImage(dir.filePath("page.png"))}) {
            int grey = 0;
            for (int y = 0; y < shown.height(); ++y) {
                for (int x = 0; x < shown.width(); ++x)
                    grey += qAbs(qGray(shown.pixel(x, y)) - 90) < 8 ? 1 : 0;
            }
            QVERIFY2(grey > shown.width() * shown.height() / 50, qPrintable(QString::number(grey)));
        }
    }

    // The sheet as a PDF: A4 portrait, a page per copy, the problems where
    // the geometry puts them with their numbers beside them, the header in
    // its strip, the text as text.
    void pdfSheet()
    {
        for (const char *tool : {"pdfinfo", "pdftoppm", "pdftotext"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("pdfinfo, pdftoppm and pdftotext read the PDF: install poppler-utils");
        }
        test::TempAppFolder dir;
        SheetContent content;
        for (int i = 0; i < 9; ++i)
            content.pictureFiles.append(dir.addPicture(QString::number(i), {40, 20}, kColors[i]));
        // Header lines beyond its strip are cut off.
        // Romanian reads back as typed (no "fi" ligature); Arabic is joined.
        content.header = QString::fromUtf8("Test de verificare: fișier\nClasa a VI-a\nمرحبا") +
                         QString("\nMMMM").repeated(12);
        content.options.numbered = true;
        const QString file = dir.filePath("sheet.pdf");
        dir.write("sheet.pdf", testSheetPdf(content, 3));
        QCOMPARE(QProcess::execute("pdftoppm", {"-r", "96", "-f", "3", "-l", "3", "-png",
                                                "-singlefile", file, dir.filePath("page")}),
                 0);
        const QImage page(dir.filePath("page.png"));
        QCOMPARE(page.size(), QSize(794, 1123));
        const QRectF block = onPage(sheetGeometry(content.margins).problems);
        QList<int> tops;
        STEP(checkStack(page, block, tops));
        // "1." to "9." in the left margin beside each problem's top.
        for (int i = 0; i < 9; ++i)
            QVERIFY2(darkPixels(page, tops[i], tops[i] + 20, 0, int(block.left()) - 1) > 10,
                     qPrintable(QString::number(i)));
        const QRectF strip = onPage(sheetGeometry(content.margins).header);
        QVERIFY(darkPixels(page, int(strip.top()), int(strip.bottom()), int(strip.left()), 200) >
                20);
        QCOMPARE(darkPixels(page, 0, int(strip.top())), 0);
        QCOMPARE(darkPixels(page, int(strip.bottom()) + 2, tops[0] - 1), 0);

        const QString info = test::programOutput("pdfinfo", {file});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+3\\n")), qPrintable(info));
        QVERIFY2(
            info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts")),
            qPrintable(info));
        const QString text = test::programOutput("pdftotext", {"-f", "1", "-l", "1", file, "-"});
        QVERIFY2(text.contains(QString::fromUtf8("Test de verificare: fișier")) &&
                     text.contains("Clasa a VI-a") && text.contains("9."),
                 qPrintable(text));
        // Joined: its letters read back in their joined forms.
        QVERIFY2(
            std::any_of(text.begin(), text.end(),
                        [](QChar c) { return c.unicode() >= 0xFE70 && c.unicode() <= 0xFEFF; }),
            qPrintable(text));
    }
};

QTEST_MAIN(TstTestSheet)
#include "tst_test_sheet.moc"
