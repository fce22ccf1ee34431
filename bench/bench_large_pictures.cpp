// Sheets of large pictures: a PDF of nine 5400 x 5400 pixel scans, and a
// printed job of 3000 pixel pictures with the answer key, of 1 and of 30
// copies; 30 sheets of 3000 pixel pictures with their keys written to PDF
// files as the print dialog writes them, in one version and in four (each
// with nine pictures of its own). Each reports, beside its time, the bytes it
// made ("bytes") and the process's peak memory so far ("peak_MB"). There is
// no timing target; the aims are a PDF within 2 s and 400 MB, 30 copies
// within twice the time of one, and four versions within three times one.

#include "printing/test_sheet.h"
#include "store/atomic_file.h"

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

// Nine pictures of `side` pixels, or `side` x `height` (set `set` of such),
// written once, each with a pattern a JPEG cannot shrink to nothing.
SheetContent nineOf(int side, int set = 0, int height = 0)
{
    height = height > 0 ? height : side;
    SheetContent content;
    for (int i = set * 9; i < set * 9 + 9; ++i) {
        const QString path =
            g_dir->filePath(QStringLiteral("p%1x%2-%3.jpg").arg(side).arg(height).arg(i));
        if (!QFile::exists(path)) {
            QImage picture(side, height, QImage::Format_Grayscale8);
            for (int y = 0; y < height; ++y) {
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

// 30 sheets with the keys as the print dialog writes them to PDF files: each
// version's sheets (its share of the desks) and its key, as one set; of
// problem pictures of a usual size (1600 x 500) and of 3000 pixel squares.
void BM_VersionsToPdfFiles(benchmark::State &state)
{
    const int count = int(state.range(0));
    QList<SheetContent> versions;
    for (int v = 0; v < count; ++v) {
        versions.append(nineOf(int(state.range(1)), v, int(state.range(2))));
        versions.last().options.answerKey = true;
        versions.last().key = QList<KeyRow>(
            9, KeyRow{QStringLiteral("00012"), QStringLiteral("Algebra"), QStringLiteral("c")});
        if (count > 1)
            versions.last().version = QString(QChar(u'A' + v));
    }
    constexpr int kSheets = 30;
    qint64 bytes = 0;
    for (auto _ : state) {
        AtomicWriteSet write;
        bytes = 0;
        const QList<SheetFiles> made = versionPdfs(versions, kSheets);
        if (made.size() != count)
            state.SkipWithError("no PDF made");
        for (int v = 0; v < made.size(); ++v) {
            const QString name = g_dir->filePath(QStringLiteral("clasa-%1").arg(v));
            bytes += made[v].sheet.size() + made[v].key.size();
            write.add(name + QStringLiteral(".pdf"), QStringLiteral("foaia"), made[v].sheet);
            write.add(name + QStringLiteral("-barem.pdf"), QStringLiteral("baremul"), made[v].key);
        }
        if (!write.commit().ok())
            state.SkipWithError("not written");
    }
    state.counters["bytes"] = double(bytes);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_VersionsToPdfFiles)
    ->ArgsProduct({{1, 4}, {1600}, {500}})
    ->ArgsProduct({{1, 4}, {3000}, {3000}})
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
