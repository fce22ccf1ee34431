// A sheet printed through the system's printing service: one job of one
// page, three copies made by the printer, A4 portrait, the problems where
// the geometry puts them; with the answer key, the copies as pages and the
// key after them. The queue "CulegerePDF" (scripts/setup-test-printer.sh)
// writes each job as a PDF into ~/PDF.
#include "printing/test_sheet.h"
#include "shell/desktop_platform.h"
#include "support/program_output.h"
#include "support/temp_app_folder.h"

#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace culegere;

namespace {

const QString kQueue = QStringLiteral("CulegerePDF");

// The PDF the queue wrote for the job named `title`, or "".
QString findPdf(const QString &title)
{
    QStringList folders = {QDir::home().filePath("PDF")};
    for (const QString &user :
         QDir("/var/spool/cups-pdf").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        folders.append("/var/spool/cups-pdf/" + user);
    for (const QString &folder : folders) {
        for (const QString &file : QDir(folder).entryList({title + "*.pdf"}, QDir::Files))
            return folder + '/' + file;
    }
    return {};
}

} // namespace

class TstRealPrinter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!DesktopPlatform().printerNames().contains(kQueue))
            QSKIP("no printer CulegerePDF: scripts/setup-test-printer.sh makes it");
        for (const char *tool : {"pdfinfo", "pdftoppm"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("pdfinfo and pdftoppm read what the printer wrote: install poppler-utils");
        }
    }

    void copiesOfOneA4Page_data()
    {
        QTest::addColumn<bool>("key");
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("sheets"); // pages of the job
        QTest::newRow("three copies") << false << 3 << 3;
        QTest::newRow("two copies and the key") << true << 2 << 3;
    }
    void copiesOfOneA4Page()
    {
        QFETCH(bool, key);
        QFETCH(int, copies);
        QFETCH(int, sheets);
        DesktopPlatform platform;

        test::TempAppFolder dir;
        SheetContent sheet;
        for (int i = 0; i < 9; ++i)
            sheet.pictureFiles.append(dir.addPicture(QString::number(i), {300, 80}, Qt::darkBlue));
        sheet.header = QStringLiteral("Test de verificare");
        sheet.options.answerKey = key;
        sheet.key = QList<KeyRow>(9, KeyRow{"00012", "Algebra", "c"});

        const QString title = QStringLiteral("culegere-proba-%1-%2")
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(copies);
        {
            std::unique_ptr<QPrinter> printer = platform.openPrinter(kQueue);
            QVERIFY(printer);
            printer->setDocName(title);
            QVERIFY(printTestSheet(*printer, sheet, copies));
        }

        QString pdf;
        QTRY_VERIFY_WITH_TIMEOUT(!(pdf = findPdf(title)).isEmpty(), 120000);
        // The file grows while the queue writes it; pdfinfo reads it once whole.
        QString info;
        QTRY_VERIFY_WITH_TIMEOUT(!(info = test::programOutput("pdfinfo", {pdf})).isEmpty(), 30000);
        QVERIFY2(info.contains(QRegularExpression(QString("Pages:\\s+%1\\n").arg(sheets))),
                 qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(
                     "Page size:\\s+595(\\.\\d+)? x 842(\\.\\d+)? pts \\(A4\\)")),
                 qPrintable(info));
        QVERIFY2(!info.contains("rot:  90") && !info.contains("rot: 90"), qPrintable(info));

        // Each page as a picture at 40 dpi: 331 x 468 pixels.
        const QString prefix = dir.filePath("page");
        QVERIFY(QProcess::execute("pdftoppm", {"-r", "40", "-png", pdf, prefix}) == 0);
        const QStringList pages =
            QDir(dir.path()).entryList({"page*.png"}, QDir::Files, QDir::Name);
        QCOMPARE(pages.size(), sheets);
        // Twips of the page as pixels; the problems' block starts at (1134, 1984).
        auto at = [](double twips) { return int(twips * 40 / 1440); };
        auto dark = [](const QImage &page, QRect area) {
            int count = 0;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x)
                    count += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
            }
            return count;
        };
        if (key) { // the last page, after the copies: white below its table
            const QImage last(dir.filePath(pages.last()));
            QCOMPARE(last.pixelColor(at(1134) + 3, at(13000)), QColor(Qt::white));
        }
        for (const QString &file : pages.mid(0, copies)) {
            const QImage page(dir.filePath(file));
            QVERIFY(qAbs(page.width() - 331) <= 1 && qAbs(page.height() - 468) <= 1);
            const QColor problem = page.pixelColor(at(1134) + 3, at(1984) + 3);
            QVERIFY2(problem.blue() > 80 && problem.red() < 70, qPrintable(problem.name()));
            // The left margin and the gap between header and problems stay
            // white; the header's text stands in its strip.
            QCOMPARE(page.pixelColor(at(1134) - 6, 250), QColor(Qt::white));
            QCOMPARE(page.pixelColor(200, at(1650)), QColor(Qt::white));
            QVERIFY(dark(page, QRect(QPoint(at(1134), at(283)), QPoint(199, at(1417) - 1))) > 10);
        }
        QFile::remove(pdf);
    }
};

QTEST_MAIN(TstRealPrinter)
#include "tst_real_printer.moc"
