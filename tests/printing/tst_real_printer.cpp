// A sheet printed through the system's printing service: one job of one
// page, the copies made by the printer, A4 portrait, one-sided also on a
// queue that prints on both sides by default, the problems where the
// geometry puts them; the answer key in a job of its own after it (versions:
// a page of each, in desk order, and a key of each). The
// queues "CulegerePDF" and "CulegerePDF2" (two-sided by default; both made
// by scripts/setup-test-printer.sh) write each job as a PDF into ~/PDF.
#include "printing/test_sheet.h"
#include "shell/desktop_platform.h"
#include "support/program_output.h"
#include "support/temp_app_folder.h"

#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QtTest>

using namespace culegere;

namespace {

const QString kQueue = QStringLiteral("CulegerePDF");

// What CUPS records of each job of `queue` whose name begins with `title`,
// oldest first: its sides once completed ("" before) and its impressions
// (pages printed, copies counted).
QList<QPair<QString, int>> jobsNamed(const QString &queue, const QString &title)
{
    QTemporaryFile request;
    request.open();
    request.write("{ OPERATION Get-Jobs GROUP operation-attributes-tag ATTR charset "
                  "attributes-charset utf-8 ATTR language attributes-natural-language en ATTR uri "
                  "printer-uri $uri ATTR name requesting-user-name $user ATTR keyword which-jobs "
                  "all ATTR keyword requested-attributes job-name,job-state,sides,job-impressions-"
                  "completed STATUS successful-ok DISPLAY job-name DISPLAY job-state DISPLAY "
                  "sides DISPLAY job-impressions-completed }\n");
    request.close();
    QList<QPair<QString, int>> jobs;
    for (const QString &line :
         test::programOutput("ipptool",
                             {"-c", "ipp://localhost/printers/" + queue, request.fileName()})
             .split('\n')) {
        const QStringList job = line.split(','); // name, state, sides, impressions
        if (job.size() == 4 && job[0].startsWith(title))
            jobs.append({job[1] == "completed" ? job[2] : "", job[3].toInt()});
    }
    return jobs;
}

// The PDF the queue wrote for the job named `title`, or "".
QString findPdf(const QString &title)
{
    QStringList folders = {QDir::home().filePath("PDF")};
    for (const QString &user :
         QDir("/var/spool/cups-pdf").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        folders.append("/var/spool/cups-pdf/" + user);
    for (const QString &folder : folders) {
        for (const QString &file : QDir(folder).entryList({title + "*.pdf"}, QDir::Files)) {
            if (title.contains("barem") || !file.contains("barem"))
                return folder + '/' + file;
        }
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
        for (const char *tool : {"pdfinfo", "pdftoppm", "ipptool"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("pdfinfo, pdftoppm (poppler-utils) and ipptool (cups-ipp-utils) read what "
                      "the printer wrote and CUPS recorded");
        }
    }

    void copiesOfOneA4Page_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<bool>("key");
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("versions");
        QTest::newRow("three copies") << kQueue << false << 3 << 1;
        QTest::newRow("two-sided queue: three copies") << kQueue + "2" << false << 3 << 1;
        QTest::newRow("two-sided queue: two copies and the key") << kQueue + "2" << true << 2 << 1;
        QTest::newRow("two-sided queue: 4 of 3 versions, keys") << kQueue + "2" << true << 4 << 3;
    }
    void copiesOfOneA4Page()
    {
        QFETCH(QString, queue);
        QFETCH(bool, key);
        QFETCH(int, copies);
        QFETCH(int, versions);
        DesktopPlatform platform;
        if (!platform.printerNames().contains(queue))
            QSKIP("no printer CulegerePDF2: scripts/setup-test-printer.sh makes it");
        test::TempAppFolder dir;
        SheetContent sheet;
        for (int i = 0; i < 9; ++i)
            sheet.pictureFiles.append(dir.addPicture(QString::number(i), {300, 80}, Qt::darkBlue));
        sheet.header = QStringLiteral("Test de verificare");
        sheet.options.answerKey = key;
        sheet.key = QList<KeyRow>(9, KeyRow{"00012", "Algebra", "c"});

        const QString title = QStringLiteral("culegere-proba-%1-%2")
                                  .arg(QDateTime::currentMSecsSinceEpoch())
                                  .arg(copies);
        {
            std::unique_ptr<QPrinter> printer = platform.openPrinter(queue);
            QVERIFY(printer);
            printer->setDocName(title);
            QVERIFY(printTestVersions(*printer, QList<SheetContent>(versions, sheet), copies));
        }

        // Each job one-sided; the copies one job, the key one after it.
        QList<QPair<QString, int>> jobs;
        QTRY_VERIFY_WITH_TIMEOUT((jobs = jobsNamed(queue, title)).size() == (key ? 2 : 1) &&
                                     !jobs.last().first.isEmpty() && !jobs.first().first.isEmpty(),
                                 120000);
        QCOMPARE(jobs.first(), qMakePair(QString("one-sided"), copies));
        QVERIFY(!key || jobs.last() == qMakePair(QString("one-sided"), versions));
        QString pdf;
        QTRY_VERIFY_WITH_TIMEOUT(!(pdf = findPdf(title)).isEmpty(), 120000);
        // The file grows while the queue writes it; pdfinfo reads it once whole.
        QString info;
        QTRY_VERIFY_WITH_TIMEOUT(!(info = test::programOutput("pdfinfo", {pdf})).isEmpty(), 30000);
        QVERIFY2(info.contains(QRegularExpression(QString("Pages:\\s+%1\\n").arg(copies))),
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
        QCOMPARE(pages.size(), copies);
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
        for (const QString &file : pages) {
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
        if (key) {
            QTRY_VERIFY_WITH_TIMEOUT(!(pdf = findPdf(title + "_-_barem")).isEmpty(), 120000);
            QTRY_VERIFY_WITH_TIMEOUT(test::programOutput("pdfinfo", {pdf}).contains("Pages:  "),
                                     30000);
            QVERIFY(test::programOutput("pdfinfo", {pdf})
                        .contains(QRegularExpression(QString("Pages:\\s+%1\\n").arg(versions))));
            QFile::remove(pdf);
        }
    }
};

QTEST_MAIN(TstRealPrinter)
#include "tst_real_printer.moc"
