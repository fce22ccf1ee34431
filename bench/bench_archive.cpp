// The results archive at full size: 100,000 archived tests (a school's
// years of tests), each with its nine answers. Measured in one run:
//
//   BM_OpenArchiveScreen  the archive screen built and opened: every test
//                         read into its table, the chart
//   BM_NameFilter         a part of a name typed into its filter (one of the
//                         names has 5,000 tests, all in the chart)
//   BM_SortByName         the table ordered by name, up and down in turn
//   BM_DateChange         the first day of the range moved
//   BM_PupilChoice        a test chosen in the table: its pupil's chart
//   BM_ProblemsTab        the problems' tab first shown: every position read
//   BM_ProblemsDateChange the range moved with the problems' tab shown
//   BM_ExportAll          every test written to a CSV file
//   BM_ProblemStats       the per-problem statistics read and ordered
//   BM_ArchiveOneResult   one corrected test added to the archive, its
//                         pending record written and removed
//   BM_WriteUsersStn      the same result appended to Users.stn
//
// The summary line checks the targets: opening within 300 ms; the filter,
// an order, a date, a pupil's choice within 50 ms each; the export of every
// test within 1 s; the statistics within 200 ms; and archiving a result
// within three times the time of writing Users.stn for it. It ends with the
// largest memory the program held. A missed target ends the program with
// 1 (kept off by --no-target-check, for a smoke run on a busy machine);
// --tests=N archives N tests instead of 100,000.

#include "archive/archive_access.h"
#include "archive/problem_table.h"
#include "platform/platform.h"
#include "state/app_state.h"
#include "store/data_files.h"
#include "viewing/archive_screen.h"

#include "bench_support.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {

using namespace culegere;

constexpr double kOpenTargetMs = 300;
constexpr double kFilterTargetMs = 50;
constexpr double kStatsTargetMs = 200;
// Archiving a result takes at most this many times the log's write of it.
constexpr double kArchiveTimes = 3;
constexpr double kExportTargetMs = 1000;
// Every twentieth test is this pupil's.
const QString kProlificPupil = QStringLiteral("Popescu Ana");

// A platform that shows nothing: the screen only needs one to exist.
class QuietPlatform : public Platform
{
public:
    bool showMessage(QWidget *, const QString &text, Buttons, const QString &) override
    {
        std::fprintf(stderr, "bench_archive: message: %s\n", qPrintable(text));
        return true;
    }
    QString askText(QWidget *, const QString &, const QString &) override { return {}; }
    void playCue(const QString &) override {}
    void openHelp(const QString &) override {}
    QDate today() override { return {2026, 12, 4}; }
    double nextRandom() override { return 0.5; }
    QString askSaveFileName(QWidget *, const QString &, const QString &suggestedPath) override
    {
        return suggestedPath;
    }
    QStringList printerNames() override { return {}; }
    std::unique_ptr<QPrinter> openPrinter(const QString &) override { return nullptr; }
};

// A test of the archive: pupils of several classes over three years, nine
// problems of a 7000-problem collection.
ArchivedTest tested(int n)
{
    static const char *const first[] = {"Ana",   "Ioana", "Maria",   "Andrei", "Ștefan", "Mihai",
                                        "Elena", "Radu",  "Cătălin", "Irina",  "Vlad",   "Oana"};
    static const char *const last[] = {"Popescu", "Ionescu",  "Pop",   "Țurcanu",  "Dumitru",
                                       "Stan",    "Gheorghe", "Rusu",  "Munteanu", "Matei",
                                       "Lungu",   "Bălan",    "Sârbu", "Preda",    "Ene"};
    ArchivedTest t;
    t.pupil = QString::fromUtf8(last[n % 15]) + u' ' + QString::fromUtf8(first[(n / 15) % 12]) +
              QString::number(n % 7);
    t.date = QDate(2024, 1, 1).addDays(n % 1000);
    t.time = QTime(8, 0).addSecs(n % 30000);
    t.stopwatch = n % 900;
    t.grade = 1 + n % 10;
    t.chapters = {{QStringLiteral("Ecuatii"), 5}, {QStringLiteral("Geometrie in plan"), 4}};
    for (int p = 0; p < 9; ++p) {
        const int problem = (n * 9 + p * 773) % 7000;
        t.answers.append({QStringLiteral("%1").arg(problem, 5, 10, QChar(u'0')),
                          p < 5 ? QStringLiteral("Ecuatii") : QStringLiteral("Geometrie in plan"),
                          (n + p) % 5, (problem % 3 == 0) ? (n + p) % 5 : problem % 5});
    }
    return t;
}

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<AppState> state;
    QuietPlatform platform;
};
Fixture *g_fixture = nullptr;

bool makeArchive(Fixture &f, int count)
{
    ResultArchive archive(f.dir.filePath(QStringLiteral("Arhiva.sqlite")));
    if (!archive.open().ok() || !archive.importOnce({}).ok())
        return false;
    constexpr int kBatch = 5000;
    for (int done = 0; done < count; done += kBatch) {
        QList<ArchivedTest> batch;
        for (int n = done; n < std::min(count, done + kBatch); ++n) {
            batch.append(tested(n));
            if (n % 20 == 0)
                batch.last().pupil = kProlificPupil;
        }
        if (!archive.add(batch).ok())
            return false;
    }
    f.state = std::make_unique<AppState>(AppFolder(f.dir.path()));
    return f.state->files.openAndLoad(f.state->collection).ok();
}

void BM_OpenArchiveScreen(benchmark::State &state)
{
    for (auto _ : state) {
        auto screen = std::make_unique<ArchiveScreen>(*g_fixture->state, g_fixture->platform);
        if (!screen->open()) {
            state.SkipWithError("the archive screen did not open");
            return;
        }
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenArchiveScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NameFilter(benchmark::State &state)
{
    ArchiveScreen screen(*g_fixture->state, g_fixture->platform);
    if (!screen.open()) {
        state.SkipWithError("the archive screen did not open");
        return;
    }
    auto *name = screen.findChild<QLineEdit *>(QStringLiteral("txtNume"));
    const QString typed[] = {QStringLiteral("ionescu ana"), QStringLiteral("turcanu"),
                             QStringLiteral("popescu ana")};
    int i = 0;
    for (auto _ : state) {
        name->setText(typed[i++ % 3]);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_NameFilter)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs `step(i)` on an open screen for every iteration, the events after it.
template <typename Step> void onScreen(benchmark::State &state, Step step, bool problemsTab = false)
{
    ArchiveScreen screen(*g_fixture->state, g_fixture->platform);
    if (!screen.open()) {
        state.SkipWithError("the archive screen did not open");
        return;
    }
    if (problemsTab)
        screen.findChild<QTabWidget *>()->setCurrentIndex(1);
    QApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        step(screen, i++);
        QApplication::processEvents();
    }
}

void BM_SortByName(benchmark::State &state)
{
    onScreen(state, [](ArchiveScreen &screen, int i) {
        screen.findChild<QTableView *>(QStringLiteral("tblTeste"))
            ->sortByColumn(TestTable::Pupil, i % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
}
BENCHMARK(BM_SortByName)->Unit(benchmark::kMillisecond)->UseRealTime();

void moveFirstDay(ArchiveScreen &screen, int i)
{
    auto *from = screen.findChild<QDateEdit *>(QStringLiteral("dtDeLa"));
    from->setDate(QDate(2024, 1, 1).addDays(i % 2 ? 0 : 300));
}

void BM_DateChange(benchmark::State &state)
{
    onScreen(state, moveFirstDay);
}
BENCHMARK(BM_DateChange)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PupilChoice(benchmark::State &state)
{
    onScreen(state, [](ArchiveScreen &screen, int i) {
        // Row 0 is the prolific pupil's first test; row 1 another pupil's.
        screen.findChild<QTableView *>(QStringLiteral("tblTeste"))->selectRow(i % 2);
    });
}
BENCHMARK(BM_PupilChoice)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProblemsTab(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto screen = std::make_unique<ArchiveScreen>(*g_fixture->state, g_fixture->platform);
        if (!screen->open()) {
            state.SkipWithError("the archive screen did not open");
            return;
        }
        QApplication::processEvents();
        state.ResumeTiming();
        screen->findChild<QTabWidget *>()->setCurrentIndex(1);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ProblemsTab)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProblemsDateChange(benchmark::State &state)
{
    onScreen(state, moveFirstDay, true);
}
BENCHMARK(BM_ProblemsDateChange)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportAll(benchmark::State &state)
{
    onScreen(state, [](ArchiveScreen &screen, int) {
        screen.findChild<QPushButton *>(QStringLiteral("btnExporta"))->click();
    });
}
BENCHMARK(BM_ExportAll)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProblemStats(benchmark::State &state)
{
    ResultArchive *archive = g_fixture->state->archive.use({});
    for (auto _ : state) {
        const QList<ProblemStats> stats = hardestFirst(archive->problemStats());
        benchmark::DoNotOptimize(stats.size());
    }
}
BENCHMARK(BM_ProblemStats)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the archive does for a result: the test kept pending, then the
// catch-up with the log that holds it (full at 98, so every result rolls it
// once there), which adds it and removes the pending record.
void BM_ArchiveOneResult(benchmark::State &state)
{
    ArchiveAccess &archive = g_fixture->state->archive;
    QList<ArchivedTest> log = loggedResults(g_fixture->state->collection);
    int n = 0;
    for (auto _ : state) {
        const ArchivedTest test = tested(n++);
        log.append(test);
        if (log.size() > 98)
            log.removeFirst();
        if (!archive.keepPending(test) || !archive.catchUp(log)) {
            state.SkipWithError("not archived");
            return;
        }
    }
}
BENCHMARK(BM_ArchiveOneResult)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteUsersStn(benchmark::State &state)
{
    AppState &s = *g_fixture->state;
    UserRecord result;
    result.Name = FixedText<30>::fromText(QStringLiteral("Popescu Ana"));
    result.Grade = 8;
    result.TestDate = dateToSerial({2026, 12, 4});
    for (auto _ : state) {
        if (!s.files.appendResult(s.collection, result).ok()) {
            state.SkipWithError("Users.stn not written");
            return;
        }
    }
}
BENCHMARK(BM_WriteUsersStn)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    int count = 100'000;
    const std::optional<bench::Options> options =
        bench::initialize(argc, argv, [&count](std::string_view flag) {
            if (!flag.starts_with("--tests="))
                return false;
            count = std::stoi(std::string(flag.substr(8)));
            return true;
        });
    if (!options)
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    Fixture fixture;
    if (!makeArchive(fixture, count)) {
        std::fprintf(stderr, "bench_archive: the archive could not be made\n");
        return 1;
    }
    g_fixture = &fixture;

    bench::TimeReporter reporter(bench::displayReporter(options->format));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fixture.state->files.close();
    if (reporter.failed())
        return 1;

    const double open = reporter.seconds("BM_OpenArchiveScreen") * 1e3;
    double filter = 0; // the slowest of the steps within 50 ms
    for (const char *step : {"BM_NameFilter", "BM_SortByName", "BM_DateChange", "BM_PupilChoice",
                             "BM_ProblemsDateChange"})
        filter = std::max(filter, reporter.seconds(step) * 1e3);
    const double exported = reporter.seconds("BM_ExportAll") * 1e3;
    const double stats = reporter.seconds("BM_ProblemStats") * 1e3;
    const double archived = reporter.seconds("BM_ArchiveOneResult") * 1e3;
    const double users = reporter.seconds("BM_WriteUsersStn") * 1e3;
    if (open <= 0 || filter <= 0 || exported <= 0 || stats <= 0 || archived <= 0 || users <= 0) {
        std::fprintf(options->summary, "archive: not measured (every benchmark must run)\n");
        return 0;
    }
    const bool met = open <= kOpenTargetMs && filter <= kFilterTargetMs &&
                     exported <= kExportTargetMs && stats <= kStatsTargetMs &&
                     archived <= kArchiveTimes * users;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::fflush(stdout);
    std::fprintf(options->summary,
                 "%d tests: open %.1f ms (<= %.0f), slowest step %.1f ms (<= %.0f), export "
                 "%.1f ms (<= %.0f), statistics %.1f ms (<= %.0f), one result archived %.2f ms "
                 "vs Users.stn %.2f ms (<= %.0fx), peak memory %ld MB: %s\n",
                 count, open, kOpenTargetMs, filter, kFilterTargetMs, exported, kExportTargetMs,
                 stats, kStatsTargetMs, archived, users, kArchiveTimes,
                 long(usage.ru_maxrss / 1024), options->verdict(met));
    return met || !options->checkTarget ? 0 : 1;
}
