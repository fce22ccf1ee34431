// The start-up of the whole program against a yardstick, side by side: each
// iteration starts both as processes of their own, one after the other (the
// order alternating), and times each from its start to its end. The program
// (bench_startup_app) starts on a full collection, 49 chapters, 6999 problems
// and a results log of 100 rows, and ends once its main screen is shown and
// idle; the yardstick (bench_startup_yardstick), a minimal Qt Widgets program,
// shows a main window with a menu bar and ends the same way.
//
// The run ends with two lines: the medians of both whole-process times and
// program / yardstick; then the times up to the window shown and idle, and
// the processor times. The program must stay within 1.3x the yardstick on an
// X server (xvfb-run will do): past that this exits with 1 (--no-target-check
// keeps the line but not that exit code). On a platform without a window
// system (QT_QPA_PLATFORM=offscreen or minimal) the ratio is shown but not
// judged: neither program waits for a server there, so the same extra work
// weighs more. A start-up that fails, or one that does not load the full
// collection, always exits with 1.
//
// --prepare=<folder> only writes the full application folder there (for
// running the program by hand under a profiler) and exits.

#include "bench_support.h"
#include "full_collection.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using namespace culegere;

constexpr double kTargetRatio = 1.3;
// Each program ends itself after 20 s without a main window; this is the
// last resort for one that hangs before it gets that far.
constexpr unsigned kKillAfterSeconds = 40;
constexpr std::string_view kPrepareFlag = "--prepare=";

// One start of a program, from before its process is made to after it ended.
struct Start
{
    double seconds = 0.0;      // the whole process
    double shownSeconds = 0.0; // up to its main window shown and idle
    double cpuSeconds = 0.0;   // the process's user and system time
    std::string error;         // "" when it ended with 0, having said when it was shown
};

pid_t g_child = 0;

void killChild(int)
{
    if (g_child > 0)
        ::kill(g_child, SIGKILL);
}

std::string readAll(int fd)
{
    std::string text;
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
        text.append(buffer, got > 0 ? std::size_t(got) : 0);
    return text;
}

// Starts `program` with `arguments` (stdout to a pipe, stderr to `log`),
// waits for its end and times it.
Start run(const std::string &program, const std::vector<std::string> &arguments,
          const std::string &log)
{
    Start start;
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        start.error = "cannot make a pipe";
        return start;
    }
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);

    const auto begin = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        start.error = "cannot start " + program;
        return start;
    }
    g_child = pid;
    ::alarm(kKillAfterSeconds);
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            start.error = "lost " + program;
            break;
        }
    }
    const auto end = std::chrono::steady_clock::now();
    ::alarm(0);
    g_child = 0;
    // A few bytes, long since in the pipe: the program has ended.
    const std::string said = readAll(out[0]);
    ::close(out[0]);

    start.seconds = std::chrono::duration<double>(end - begin).count();
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec * 1e-6; };
    start.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    if (!start.error.empty())
        return start;
    if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
        start.error = program + (WIFEXITED(status)
                                     ? " ended with " + std::to_string(WEXITSTATUS(status))
                                     : " was killed by signal " + std::to_string(WTERMSIG(status)));
        QFile errors(QString::fromStdString(log));
        if (errors.open(QIODevice::ReadOnly))
            start.error += ": " + errors.readAll().trimmed().toStdString();
        return start;
    }
    const std::chrono::nanoseconds shown{std::atoll(said.c_str())};
    const auto sinceBegin = shown - begin.time_since_epoch();
    if (shown.count() <= 0 || sinceBegin.count() <= 0 || shown > end.time_since_epoch()) {
        start.error = program + " did not say when its window was shown";
        return start;
    }
    start.shownSeconds = std::chrono::duration<double>(sinceBegin).count();
    return start;
}

// The two programs, the folder the program starts on, and every start timed.
class SideBySide
{
public:
    bool prepare()
    {
        if (!m_dir.isValid()) {
            m_error = "cannot create a temporary folder";
            return false;
        }
        return bench::writeApplicationFolder(appFolder(), m_error);
    }

    Start yardstick() { return run(BENCH_STARTUP_YARDSTICK, {}, log("yardstick.log")); }
    Start program(bool check = false)
    {
        std::vector<std::string> arguments{appFolder().toStdString()};
        if (check)
            arguments.push_back("--check");
        return run(BENCH_STARTUP_APP, arguments, log("program.log"));
    }

    // Both programs start, and the program finds its full collection.
    bool startsCleanly()
    {
        for (const Start &start : {yardstick(), program(true)}) {
            if (!start.error.empty()) {
                m_error = start.error;
                return false;
            }
        }
        return true;
    }

    // Every timed start, in the order made.
    std::vector<Start> yardstickStarts;
    std::vector<Start> programStarts;
    const std::string &error() const { return m_error; }

private:
    QString appFolder() const { return m_dir.filePath(QStringLiteral("Culegere")); }
    std::string log(const char *name) const
    {
        return m_dir.filePath(QLatin1String(name)).toStdString();
    }

    QTemporaryDir m_dir;
    std::string m_error;
};

SideBySide *g_sides = nullptr;

// The two programs show their windows through a window system's server, not
// into memory (QT_QPA_PLATFORM names no platform, or another than offscreen
// or minimal).
bool onWindowSystem()
{
    const std::string platform =
        std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "";
    return !platform.starts_with("offscreen") && !platform.starts_with("minimal");
}

// The median over `starts` of what `field` picks.
double median(const std::vector<Start> &starts, double Start::*field)
{
    std::vector<double> values;
    for (const Start &start : starts)
        values.push_back(start.*field);
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BM_StartupSideBySide(benchmark::State &state)
{
    Start yardstick, program; // sums over this run's iterations
    auto add = [](Start &sum, const Start &start) {
        sum.seconds += start.seconds;
        sum.shownSeconds += start.shownSeconds;
        sum.cpuSeconds += start.cpuSeconds;
    };
    for (auto _ : state) {
        // Alternating, so neither always runs on what the other left warm.
        const bool yardstickFirst = (g_sides->programStarts.size() % 2) == 0;
        const Start first = yardstickFirst ? g_sides->yardstick() : g_sides->program();
        const Start second = yardstickFirst ? g_sides->program() : g_sides->yardstick();
        const Start &y = yardstickFirst ? first : second;
        const Start &p = yardstickFirst ? second : first;
        for (const Start *start : {&y, &p}) {
            if (!start->error.empty()) {
                state.SkipWithError(start->error.c_str());
                return;
            }
        }
        state.SetIterationTime(p.seconds);
        g_sides->yardstickStarts.push_back(y);
        g_sides->programStarts.push_back(p);
        add(yardstick, y);
        add(program, p);
    }
    using benchmark::Counter;
    auto ms = [](double seconds) { return Counter(seconds * 1e3, Counter::kAvgIterations); };
    state.counters["yardstick_ms"] = ms(yardstick.seconds);
    state.counters["program_ms"] = ms(program.seconds);
    state.counters["ratio"] = yardstick.seconds > 0.0 ? program.seconds / yardstick.seconds : 0.0;
    state.counters["yardstick_shown_ms"] = ms(yardstick.shownSeconds);
    state.counters["program_shown_ms"] = ms(program.shownSeconds);
    state.counters["yardstick_cpu_ms"] = ms(yardstick.cpuSeconds);
    state.counters["program_cpu_ms"] = ms(program.cpuSeconds);
}
BENCHMARK(BM_StartupSideBySide)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    std::optional<QString> prepareOnly;
    const std::optional<bench::Options> options =
        bench::initialize(argc, argv, [&prepareOnly](std::string_view arg) {
            if (!arg.starts_with(kPrepareFlag))
                return false;
            prepareOnly = QString::fromUtf8(arg.substr(kPrepareFlag.size()));
            return true;
        });
    if (!options)
        return 1;
    if (prepareOnly) {
        std::string error;
        if (!bench::writeApplicationFolder(*prepareOnly, error)) {
            std::fprintf(stderr, "bench_startup: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }

    struct sigaction onAlarm
    {
    };
    onAlarm.sa_handler = killChild;
    sigaction(SIGALRM, &onAlarm, nullptr);

    SideBySide sides;
    if (!sides.prepare() || !sides.startsCleanly()) {
        std::fprintf(stderr, "bench_startup: %s\n", sides.error().c_str());
        return 1;
    }
    g_sides = &sides;

    bench::TimeReporter reporter(bench::displayReporter(options->format));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.failed())
        return 1;

    std::FILE *summary = options->summary;
    std::fflush(stdout);
    const std::vector<Start> &y = sides.yardstickStarts;
    const std::vector<Start> &p = sides.programStarts;
    const double yardstick = median(y, &Start::seconds);
    const double program = median(p, &Start::seconds);
    if (yardstick <= 0.0 || program <= 0.0) {
        std::fprintf(summary, "program/yardstick: not measured (BM_StartupSideBySide must run)\n");
        return 0;
    }
    const double ratio = program / yardstick;
    const bool met = ratio <= kTargetRatio;
    const bool judged = onWindowSystem();
    std::fprintf(summary,
                 "start-up, medians of %zu: yardstick %.1f ms, program %.1f ms: "
                 "program/yardstick = %.3f (target <= %.1f) %s\n",
                 p.size(), yardstick * 1e3, program * 1e3, ratio, kTargetRatio,
                 judged ? options->verdict(met) : "not judged without a window system");
    const double yardstickShown = median(y, &Start::shownSeconds);
    const double programShown = median(p, &Start::shownSeconds);
    std::fprintf(summary,
                 "up to the window shown and idle: yardstick %.1f ms, program %.1f ms (%.2f); "
                 "processor time: yardstick %.1f ms, program %.1f ms (%.2f)\n",
                 yardstickShown * 1e3, programShown * 1e3, programShown / yardstickShown,
                 median(y, &Start::cpuSeconds) * 1e3, median(p, &Start::cpuSeconds) * 1e3,
                 median(p, &Start::cpuSeconds) / median(y, &Start::cpuSeconds));
    return met || !judged || !options->checkTarget ? 0 : 1;
}
