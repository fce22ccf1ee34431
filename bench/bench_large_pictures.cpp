// Sheets of large pictures: a PDF of nine 5400 x 5400 pixel scans, and a
// printed job of 3000 pixel pictures with the answer key, of 1 and of 30
// copies. Each reports, beside its time, the bytes it made ("bytes") and the
// process's peak memory so far ("peak_MB"). There is no timing target; the
// aims are a PDF within 2 s and 400 MB, and 30 copies within twice the time
// of one.

#include "printing/test_sheet.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <memory>

namespace {

using namespace culegere;

QTemporaryDir *g_dir = nullptr;

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Nine pictures of `side` pixels, written once, each with a pattern a JPEG
// cannot shrink to nothing.
SheetContent nineOf(int side)
{
    SheetContent content;
    for (int i = 0; i < 9; ++i) {
        const QString path = g_dir->filePath(QStringLiteral("p%1-%2.jpg").arg(side).arg(i));
        if (!QFile::exists(path)) {
            QImage picture(side, side, QImage::Format_Grayscale8);
            for (int y = 0; y < side; ++y) {
                uchar *line = picture.scanLine(y);
                for (int x = 0; x < side; ++x)
                    line[x] = uchar((x / 7 + y / 5 + i * 20) % 256);
            }
            picture.save(path, "JPEG", 85);
        }
        content.pictureFiles.append(path);
    }
    content.header = QStringLiteral("Test de verificare");
    return content;
}

void BM_PdfOfNineScans(benchmark::State &state)
{
    const SheetContent content = nineOf(5400);
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray pdf = testSheetPdf(content, 1);
        bytes = pdf.size();
        if (pdf.isEmpty())
            state.SkipWithError("no PDF made");
    }
    state.counters["bytes"] = double(bytes);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_PdfOfNineScans)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PrintedCopiesWithTheKey(benchmark::State &state)
{
    SheetContent content = nineOf(3000);
    content.options.answerKey = true;
    content.key = QList<KeyRow>(
        9, KeyRow{QStringLiteral("00012"), QStringLiteral("Algebra"), QStringLiteral("c")});
    const QString file = g_dir->filePath(QStringLiteral("job.pdf"));
    qint64 bytes = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        // The copies' job alone: its file is the job the printer receives.
        content.options.answerKey = false;
        if (!printTestSheet(printer, content, int(state.range(0))))
            state.SkipWithError("not printed");
        bytes = QFileInfo(file).size();
        content.options.answerKey = true;
        if (!printTestSheet(printer, content, int(state.range(0))))
            state.SkipWithError("not printed");
    }
    state.counters["bytes"] = double(bytes);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_PrintedCopiesWithTheKey)
    ->Arg(1)
    ->Arg(30)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    auto dir = std::make_unique<QTemporaryDir>();
    g_dir = dir.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
