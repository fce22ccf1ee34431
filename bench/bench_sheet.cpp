// Composing a test sheet of nine problem pictures into the page file, the
// program's way (renderTestSheet at 96 dpi, the page saved as the print
// dialog saves it) against ImageMagick's Magick++ doing the same work: read
// the nine scans, stack them left-aligned, stretch the stack to the problem
// block, lay it on a white A4 page and write a JPEG of quality 95.
//
// The inputs are nine 1600 x 500 scans (JPEG, quality 90) made once in a
// temporary folder. Each benchmark checks its last page once, outside the
// timing: a 794 x 1123 JPEG with every problem's place inked and the page
// white outside the block. A failed check exits with 1.
//
// Beside it, the same sheet written as the print dialog writes a PDF
// (testSheetPdf: one A4 page, the header as text, each scan embedded at its
// own 1600 x 500 pixels), checked once: a PDF holding the nine pictures at
// their size.
//
// The run ends with two lines: our time / Magick++'s, which must be at most
// half, and the PDF's time / our JPEG's, which must be at most 2. Past either
// the program exits with 1; --no-target-check keeps the lines but not that
// exit code. --keep-sheets=<folder> copies the last pages there, to be
// looked at.

#include "printing/sheet_geometry.h"
#include "printing/test_sheet.h"
#include "store/atomic_file.h"

#include "bench_support.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <Magick++.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace culegere;

constexpr double kTargetRatio = 0.5;
constexpr double kPdfTargetRatio = 2.0;
constexpr std::string_view kKeepSheets = "--keep-sheets=";

constexpr int kProblems = 9;
constexpr QSize kScanSize{1600, 500};
constexpr int kScanQuality = 90;
constexpr int kSheetQuality = 95;
constexpr qreal kScreenDpi = 96;
constexpr QSize kPageSize{794, 1123}; // A4 at 96 dpi

// A problem as a teacher scans it: a statement of two lines, five variants.
struct Problem
{
    const char *statement[2];
    const char *variants[5];
};

// clang-format off
const std::array<Problem, kProblems> kProblemTexts{{
    {{"1. Fie funcția f: R → R, f(x) = x² − 5x + 6. Suma",
      "rădăcinilor ecuației f(x) = 0 este egală cu:"},
     {"a) 5", "b) −5", "c) 6", "d) 1", "e) 0"}},
    {{"2. Mulțimea soluțiilor reale ale inecuației",
      "|2x − 3| ≤ 5 este intervalul:"},
     {"a) [−1, 4]", "b) (−1, 4)", "c) [1, 4]", "d) [−4, 1]", "e) ℝ"}},
    {{"3. Termenul al zecelea al progresiei aritmetice",
      "cu a₁ = 7 și rația r = −2 este:"},
     {"a) −11", "b) −13", "c) 25", "d) −9", "e) 11"}},
    {{"4. Valoarea limitei lim (x→∞) (3x² + 1) / (x² − x)",
      "este egală cu:"},
     {"a) 0", "b) 1", "c) 3", "d) ∞", "e) −3"}},
    {{"5. Aria triunghiului cu vârfurile A(0, 0), B(4, 0)",
      "și C(1, 3), în unități de arie, este:"},
     {"a) 12", "b) 6", "c) 7,5", "d) 4", "e) 3"}},
    {{"6. Numărul submulțimilor cu trei elemente ale",
      "mulțimii {1, 2, 3, 4, 5, 6} este:"},
     {"a) 18", "b) 120", "c) 20", "d) 216", "e) 6"}},
    {{"7. Derivata funcției f(x) = x · ln x, definită pe",
      "(0, ∞), calculată în punctul x = e, este:"},
     {"a) 1", "b) e", "c) 2", "d) 1 + e", "e) 0"}},
    {{"8. Determinantul matricei A cu liniile (2, 1) și",
      "(3, 4) este egal cu:"},
     {"a) 5", "b) 11", "c) −5", "d) 8", "e) 2"}},
    {{"9. Integrala ∫ de la 0 la 1 din (3x² + 2x) dx",
      "are valoarea:"},
     {"a) 1", "b) 2", "c) 3", "d) 5/2", "e) 0"}},
}};
// clang-format on

// One scan: white paper with a grey frame, the text in 40 px DejaVu Sans,
// and the scanner's light grain over all of it (so the file is no trivially
// compressible drawing).
QImage problemScan(const Problem &problem, unsigned seed)
{
    QImage image(kScanSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = int(std::lround(300 / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setPen(QPen(QColor(150, 150, 150), 4));
        painter.drawRect(QRectF(image.rect()).adjusted(4, 4, -4, -4));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(40);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(50, 85), QString::fromUtf8(problem.statement[0]));
        painter.drawText(QPointF(50, 145), QString::fromUtf8(problem.statement[1]));
        for (int v = 0; v < 5; ++v) {
            const QPointF at(80 + (v % 3) * 500, v < 3 ? 275 : 385);
            painter.drawText(at, QString::fromUtf8(problem.variants[v]));
        }
    }
    std::mt19937 rng(seed);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = std::max(0, qGray(line[x]) - int(rng() % 10));
            line[x] = qRgb(grey, grey, grey);
        }
    }
    return image;
}

// The program's way to write the page (saveSheetFile in print_dialog.cpp):
// encoded in memory, then the file replaced whole, pushed to the disk first.
bool saveSheetFile(const QImage &page, const QString &path)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!page.save(&buffer, "JPEG", kSheetQuality))
        return false;
    AtomicWriteSet write;
    write.add(path, path, jpeg);
    return write.commit().ok();
}

// Where the problems stand on the page, in its pixels, as the program lays
// them out with the default margins.
struct PagePlan
{
    QRectF block;                           // the problem block
    std::array<QRectF, kProblems> pictures; // each problem's place in it
    QRectF stack;                           // the nine together (the montage less its spare)
};

PagePlan pagePlan()
{
    const QRect block = sheetGeometry(Margins{}).problems;
    const double perTwip = double(kPageSize.width()) / sheet::PageWidth;
    PagePlan plan;
    plan.block = QRectF(block.x() * perTwip, block.y() * perTwip, block.width() * perTwip,
                        block.height() * perTwip);
    const MontageLayout montage =
        montageLayout(QList<QSize>(kProblems, kScanSize * sheet::TwipsPerPixel));
    const double sx = plan.block.width() / montage.size.width();
    const double sy = plan.block.height() / montage.size.height();
    for (int i = 0; i < kProblems; ++i) {
        const QRect &at = montage.pictures[i];
        plan.pictures[std::size_t(i)] =
            QRectF(plan.block.left() + at.x() * sx, plan.block.top() + at.y() * sy, at.width() * sx,
                   at.height() * sy);
    }
    plan.stack = plan.pictures.front().united(plan.pictures.back());
    return plan;
}

// The nine scans, written once, and where each benchmark writes its page.
class Fixture
{
public:
    bool create()
    {
        if (!m_dir.isValid())
            return fail("cannot create a temporary folder");
        for (int i = 0; i < kProblems; ++i) {
            const QString path =
                m_dir.filePath(QStringLiteral("probl%1.jpg").arg(i + 1, 5, 10, QChar(u'0')));
            const QImage scan = problemScan(kProblemTexts[std::size_t(i)], 1000u + unsigned(i));
            if (!scan.save(path, "JPEG", kScanQuality))
                return fail("cannot write " + path.toStdString());
            m_content.pictureFiles.append(path);
            m_paths.push_back(path.toStdString());
        }
        m_plan = pagePlan();
        return true;
    }

    const SheetContent &content() const { return m_content; }
    const std::vector<std::string> &picturePaths() const { return m_paths; }
    const PagePlan &plan() const { return m_plan; }
    QString oursPath() const { return m_dir.filePath(QStringLiteral("ours.jpg")); }
    QString magickPath() const { return m_dir.filePath(QStringLiteral("magick.jpg")); }
    QString pdfPath() const { return m_dir.filePath(QStringLiteral("ours.pdf")); }
    const std::string &error() const { return m_error; }

    // "" when the page at `path` is the sheet: a JPEG of the A4 page at 96 dpi,
    // every problem's place inked, white (but for the encoder's grain) outside
    // the block.
    std::string checkSheet(const QString &path) const
    {
        QImageReader reader(path);
        if (reader.format() != "jpeg")
            return "the page file is no JPEG";
        if (reader.size() != kPageSize)
            return "the page is not 794 x 1123";
        const QImage page = reader.read().convertToFormat(QImage::Format_Grayscale8);
        if (page.isNull())
            return "the page file does not decode";
        for (int i = 0; i < kProblems; ++i) {
            const QRect place = m_plan.pictures[std::size_t(i)].toRect();
            qint64 ink = 0;
            for (int y = place.top(); y <= place.bottom(); ++y) {
                const uchar *line = page.constScanLine(y);
                for (int x = place.left(); x <= place.right(); ++x)
                    ink += line[x] < 128;
            }
            // The text inks 1 to 2 % of a problem; a blank place nothing.
            if (ink * 400 < qint64(place.width()) * place.height())
                return "problem " + std::to_string(i + 1) + " is blank on the page";
        }
        // A few pixels of slack around the block for the encoder's ringing.
        const QRect block = m_plan.block.toAlignedRect().adjusted(-8, -8, 8, 8);
        for (int y = 0; y < page.height(); ++y) {
            const uchar *line = page.constScanLine(y);
            for (int x = 0; x < page.width(); ++x) {
                if (line[x] < 224 && !block.contains(x, y))
                    return "the page is marked outside the problem block, at (" +
                           std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        }
        return {};
    }

private:
    bool fail(std::string message)
    {
        m_error = std::move(message);
        return false;
    }

    QTemporaryDir m_dir;
    SheetContent m_content;
    std::vector<std::string> m_paths;
    PagePlan m_plan;
    std::string m_error;
};

Fixture *g_fixture = nullptr;

void checkOnce(benchmark::State &state, const QString &path, bool &checked)
{
    if (checked)
        return;
    const std::string problem = g_fixture->checkSheet(path);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    checked = true;
}

void BM_OurSheet(benchmark::State &state)
{
    static bool checked = false;
    const QString path = g_fixture->oursPath();
    for (auto _ : state) {
        const QImage page = renderTestSheet(g_fixture->content(), kScreenDpi);
        if (!saveSheetFile(page, path)) {
            state.SkipWithError("the page file could not be written");
            return;
        }
    }
    checkOnce(state, path, checked);
}
BENCHMARK(BM_OurSheet)->Unit(benchmark::kMillisecond)->UseRealTime();

// "" when `pdf` is the sheet as a PDF: the nine scans in it at their own size.
std::string checkPdf(const QByteArray &pdf)
{
    if (!pdf.startsWith("%PDF"))
        return "the PDF file is no PDF";
    const QByteArray ownSize =
        QByteArrayLiteral("/Width ") + QByteArray::number(kScanSize.width()) +
        QByteArrayLiteral("\n/Height ") + QByteArray::number(kScanSize.height());
    if (pdf.count(ownSize) != kProblems)
        return "the PDF does not hold the nine scans at their own size";
    return {};
}

void BM_OurSheetPdf(benchmark::State &state)
{
    static bool checked = false;
    const QString path = g_fixture->pdfPath();
    QByteArray pdf;
    for (auto _ : state) {
        pdf = testSheetPdf(g_fixture->content(), 1);
        AtomicWriteSet write;
        write.add(path, path, pdf);
        if (pdf.isEmpty() || !write.commit().ok()) {
            state.SkipWithError("the PDF file could not be written");
            return;
        }
    }
    if (!checked) {
        const std::string problem = checkPdf(pdf);
        if (!problem.empty()) {
            state.SkipWithError(problem.c_str());
            return;
        }
        checked = true;
    }
}
BENCHMARK(BM_OurSheetPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MagickSheet(benchmark::State &state)
{
    static bool checked = false;
    const PagePlan &plan = g_fixture->plan();
    // Stretched as our sheet stretches the montage: to the part of the block
    // the pictures take, whatever their proportions.
    Magick::Geometry stackSize(std::size_t(std::lround(plan.stack.width())),
                               std::size_t(std::lround(plan.stack.height())));
    stackSize.aspect(true);
    const auto left = ssize_t(std::lround(plan.stack.left()));
    const auto top = ssize_t(std::lround(plan.stack.top()));
    const Magick::Geometry pageSize(std::size_t(kPageSize.width()),
                                    std::size_t(kPageSize.height()));
    const std::string path = g_fixture->magickPath().toStdString();
    try {
        for (auto _ : state) {
            std::vector<Magick::Image> pictures;
            for (const std::string &file : g_fixture->picturePaths())
                pictures.emplace_back(file);
            Magick::Image stack;
            Magick::appendImages(&stack, pictures.begin(), pictures.end(), true);
            stack.resize(stackSize);
            Magick::Image page(pageSize, Magick::Color("white"));
            page.composite(stack, left, top, Magick::OverCompositeOp);
            page.quality(kSheetQuality);
            page.magick("JPEG");
            page.write(path);
        }
    } catch (const Magick::Exception &e) {
        state.SkipWithError(e.what());
        return;
    }
    checkOnce(state, QString::fromStdString(path), checked);
}
BENCHMARK(BM_MagickSheet)->Unit(benchmark::kMillisecond)->UseRealTime();

// Copies the last pages into `folder`; false when that fails.
bool keepSheets(const Fixture &fixture, const QString &folder)
{
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return false;
    bool ok = true;
    for (const QString &from : {fixture.oursPath(), fixture.magickPath(), fixture.pdfPath()}) {
        const QString to = dir.filePath(QFileInfo(from).fileName());
        if (!QFile::exists(from))
            continue;
        QFile::remove(to);
        ok = QFile::copy(from, to) && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QString keepFolder;
    const auto keepSheetsFlag = [&keepFolder](std::string_view arg) {
        if (!arg.starts_with(kKeepSheets))
            return false;
        keepFolder = QString::fromLocal8Bit(arg.substr(kKeepSheets.size()));
        return true;
    };
    const std::optional<bench::Options> options = bench::initialize(argc, argv, keepSheetsFlag);
    if (!options)
        return 1;

    // Text needs a QGuiApplication; no display is needed for it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Magick::InitializeMagick(argv[0]);

    std::FILE *summary = options->summary;

    auto fixture = std::make_unique<Fixture>();
    if (!fixture->create()) {
        std::fprintf(stderr, "bench_sheet: %s\n", fixture->error().c_str());
        return 1;
    }
    g_fixture = fixture.get();

    bench::TimeReporter reporter(bench::displayReporter(options->format));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    if (!keepFolder.isEmpty() && !keepSheets(*fixture, keepFolder)) {
        std::fprintf(stderr, "bench_sheet: cannot copy the pages into %s\n",
                     qPrintable(keepFolder));
        return 1;
    }
    if (reporter.failed())
        return 1;

    const double ours = reporter.seconds("BM_OurSheet");
    const double magick = reporter.seconds("BM_MagickSheet");
    const double pdf = reporter.seconds("BM_OurSheetPdf");
    std::fflush(stdout);
    bool met = true;
    if (ours <= 0.0 || magick <= 0.0) {
        std::fprintf(summary, "sheet: not measured (both BM_OurSheet and BM_MagickSheet "
                              "must run)\n");
    } else {
        const double ratio = ours / magick;
        met = ratio <= kTargetRatio;
        std::fprintf(summary,
                     "sheet: ours %.1f ms, Magick++ %.1f ms: ours/Magick++ = %.2f (target <= "
                     "%.1f) %s\n",
                     ours * 1e3, magick * 1e3, ratio, kTargetRatio, options->verdict(met));
    }
    if (ours <= 0.0 || pdf <= 0.0) {
        std::fprintf(summary, "sheet as PDF: not measured (both BM_OurSheet and "
                              "BM_OurSheetPdf must run)\n");
    } else {
        const double ratio = pdf / ours;
        met = ratio <= kPdfTargetRatio && met;
        std::fprintf(summary,
                     "sheet as PDF: %.1f ms, as JPEG %.1f ms: PDF/JPEG = %.2f (target <= %.1f) "
                     "%s\n",
                     pdf * 1e3, ours * 1e3, ratio, kPdfTargetRatio,
                     options->verdict(ratio <= kPdfTargetRatio));
    }
    return met || !options->checkTarget ? 0 : 1;
}
