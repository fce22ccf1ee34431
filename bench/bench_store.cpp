// Loading and saving a full-size collection (49 chapters, 6999 problems, a
// results log of 100 rows), side by side with reading the same files' bytes.
//
// The run ends with one line giving load time / read time. Loading must stay
// within 3x reading: past that the program exits with 1, so it can serve as a
// check; --no-target-check (for a smoke run on a slow or busy machine) keeps
// the line but not the exit code. A failing load or save, or a save that does
// not give back the very bytes it started from, always exits with 1.

#include "folder/app_folder.h"
#include "store/collection.h"
#include "store/data_files.h"
#include "store/problem_paths.h"

#include "bench_support.h"
#include "full_collection.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {

using namespace culegere;

constexpr double kTargetRatio = 3.0;

// The three data files of a full collection, written once into a temporary
// application folder; every benchmark works on the same files.
class FullCollection
{
public:
    bool create()
    {
        if (!m_dir.isValid())
            return fail("cannot create a temporary folder");
        bench::fillFullCollection(m_collection);
        m_files = bench::dataFilesOf(m_collection);
        for (const File &file : m_files) {
            QFile out(path(file.name));
            if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) != file.bytes.size())
                return fail("cannot write " + file.name.toStdString());
        }
        return true;
    }

    QString root() const { return m_dir.path(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    const Collection &collection() const { return m_collection; }
    const std::string &error() const { return m_error; }

    using File = bench::DataFile;
    const std::array<File, 3> &files() const { return m_files; }

    qint64 totalBytes() const
    {
        qint64 total = 0;
        for (const File &file : m_files)
            total += file.bytes.size();
        return total;
    }

    // The files on disk are still the bytes written at the start.
    bool filesUnchanged()
    {
        for (const File &file : m_files) {
            QFile in(path(file.name));
            if (!in.open(QIODevice::ReadOnly) || in.readAll() != file.bytes)
                return fail(file.name.toStdString() +
                            " no longer holds the bytes it was created with");
        }
        return true;
    }

    // `loaded` holds everything the files carry, as built.
    bool sameAsBuilt(const Collection &loaded)
    {
        const Collection &c = m_collection;
        if (loaded.ChapterCount != c.ChapterCount || loaded.ProblemCount != c.ProblemCount ||
            loaded.NextUserRecord != c.NextUserRecord)
            return fail("the loaded counts differ from the files' headers");
        for (int k = Collection::FirstRow; k <= c.lastChapterRow(); ++k) {
            if (loaded.ChapterTable[k].Name != c.ChapterTable[k].Name ||
                loaded.ChapterTable[k].ProblemTotal != c.ChapterTable[k].ProblemTotal)
                return fail("chapter row " + std::to_string(k) + " loaded wrong");
        }
        for (int k = Collection::FirstRow; k <= c.lastProblemRow(); ++k) {
            const ProblemRecord &a = loaded.ProblemTable[k];
            const ProblemRecord &b = c.ProblemTable[k];
            if (a.ImagePath != b.ImagePath || a.Chapter.Name != b.Chapter.Name ||
                a.CorrectAnswer != b.CorrectAnswer)
                return fail("problem row " + std::to_string(k) + " loaded wrong");
        }
        for (int k = Collection::FirstRow; k <= Collection::LastUserRow; ++k) {
            if (!(loaded.UserTable[k] == c.UserTable[k]))
                return fail("result row " + std::to_string(k) + " loaded wrong");
        }
        return true;
    }

private:
    bool fail(std::string message)
    {
        m_error = std::move(message);
        return false;
    }

    QTemporaryDir m_dir;
    Collection m_collection;
    std::array<File, 3> m_files;
    std::string m_error;
};

FullCollection *g_full = nullptr;

void BM_ReadFileBytes(benchmark::State &state)
{
    std::array<QString, 3> paths;
    for (std::size_t i = 0; i < paths.size(); ++i)
        paths[i] = g_full->path(g_full->files()[i].name);
    for (auto _ : state) {
        for (const QString &path : paths) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                state.SkipWithError("cannot open a data file");
                return;
            }
            QByteArray bytes = file.readAll();
            benchmark::DoNotOptimize(bytes.data());
            file.close();
        }
    }
    state.SetBytesProcessed(state.iterations() * g_full->totalBytes());
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_LoadCollection(benchmark::State &state)
{
    // The program's one Collection, loaded into at start-up.
    auto collection = std::make_unique<Collection>();
    for (auto _ : state) {
        DataFiles files{AppFolder(g_full->root())};
        if (!files.openAndLoad(*collection).ok()) {
            state.SkipWithError("openAndLoad failed");
            return;
        }
        files.close();
        benchmark::ClobberMemory();
    }
    if (!g_full->sameAsBuilt(*collection))
        state.SkipWithError(g_full->error().c_str());
    state.SetBytesProcessed(state.iterations() * g_full->totalBytes());
}
BENCHMARK(BM_LoadCollection)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SaveAtExit(benchmark::State &state)
{
    auto collection = std::make_unique<Collection>();
    DataFiles files{AppFolder(g_full->root())};
    if (!files.openAndLoad(*collection).ok()) {
        state.SkipWithError("openAndLoad failed");
        return;
    }
    for (auto _ : state) {
        if (!files.saveAtExit(*collection).ok()) {
            state.SkipWithError("saveAtExit failed");
            return;
        }
        state.PauseTiming();
        const bool reopened = files.reopen().isEmpty();
        state.ResumeTiming();
        if (!reopened) {
            state.SkipWithError("reopen failed");
            return;
        }
    }
    files.close();
    state.SetBytesProcessed(state.iterations() * g_full->totalBytes());
}
BENCHMARK(BM_SaveAtExit)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    const std::optional<bench::Options> options = bench::initialize(argc, argv);
    if (!options)
        return 1;
    std::FILE *summary = options->summary;

    FullCollection full;
    if (!full.create()) {
        std::fprintf(stderr, "bench_store: %s\n", full.error().c_str());
        return 1;
    }
    g_full = &full;

    bench::TimeReporter reporter(bench::displayReporter(options->format));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    if (reporter.failed())
        return 1;
    // Every save wrote back the collection it had loaded from these very files.
    if (!full.filesUnchanged()) {
        std::fprintf(stderr, "bench_store: %s\n", full.error().c_str());
        return 1;
    }

    const double read = reporter.seconds("BM_ReadFileBytes");
    const double load = reporter.seconds("BM_LoadCollection");
    const double save = reporter.seconds("BM_SaveAtExit");
    std::fflush(stdout);
    if (save > 0.0)
        std::fprintf(summary, "save at exit: %.3f ms\n", save * 1e3);
    if (read <= 0.0 || load <= 0.0) {
        std::fprintf(summary, "load/read: not measured (both BM_ReadFileBytes and "
                              "BM_LoadCollection must run)\n");
        return 0;
    }
    const double ratio = load / read;
    const bool met = ratio <= kTargetRatio;
    std::fprintf(summary, "read %.1f us, load %.1f us: load/read = %.2f (target <= %.1f) %s\n",
                 read * 1e6, load * 1e6, ratio, kTargetRatio, options->verdict(met));
    return met || !options->checkTarget ? 0 : 1;
}
