// The shared machinery of the benchmark programs; see bench_support.h.

#include "bench_support.h"

#include <algorithm>
#include <utility>

#include <unistd.h>

namespace culegere::bench {

namespace {

constexpr std::string_view kNoTargetCheck = "--no-target-check";
constexpr std::string_view kFormatFlag = "--benchmark_format=";

double secondsPerUnit(benchmark::TimeUnit unit)
{
    switch (unit) {
    case benchmark::kNanosecond:
        return 1e-9;
    case benchmark::kMicrosecond:
        return 1e-6;
    case benchmark::kMillisecond:
        return 1e-3;
    case benchmark::kSecond:
        return 1.0;
    }
    return 1.0;
}

} // namespace

const char *Options::verdict(bool met) const
{
    return met ? "met" : (checkTarget ? "MISSED" : "missed, not checked");
}

std::optional<Options> initialize(int &argc, char **argv,
                                  const std::function<bool(std::string_view)> &ownFlag)
{
    Options options;
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == kNoTargetCheck) {
            options.checkTarget = false;
            continue;
        }
        if (ownFlag && ownFlag(arg))
            continue;
        // Looked at here: Initialize takes the flag away.
        if (arg.starts_with(kFormatFlag))
            options.format = arg.substr(kFormatFlag.size());
        argv[kept++] = argv[i];
    }
    argv[kept] = nullptr;
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return std::nullopt;
    options.summary = options.format == "console" ? stdout : stderr;
    return options;
}

std::unique_ptr<benchmark::BenchmarkReporter> displayReporter(std::string_view format)
{
    if (format == "json")
        return std::make_unique<benchmark::JSONReporter>();
    if (format == "csv") {
        // Still what --benchmark_format=csv gives in this release.
        BENCHMARK_DISABLE_DEPRECATED_WARNING
        return std::make_unique<benchmark::CSVReporter>();
        BENCHMARK_RESTORE_DEPRECATED_WARNING
    }
    const bool color = ::isatty(STDOUT_FILENO) != 0;
    return std::make_unique<benchmark::ConsoleReporter>(
        color ? benchmark::ConsoleReporter::OO_ColorTabular
              : benchmark::ConsoleReporter::OO_Tabular);
}

TimeReporter::TimeReporter(std::unique_ptr<benchmark::BenchmarkReporter> display)
    : m_display(std::move(display))
{
}

bool TimeReporter::ReportContext(const Context &context)
{
    return m_display->ReportContext(context);
}

void TimeReporter::ReportRuns(const std::vector<Run> &reports)
{
    for (const Run &run : reports) {
        const double seconds = run.GetAdjustedRealTime() * secondsPerUnit(run.time_unit);
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty())
            name += "/" + run.run_name.args;
        if (run.error_occurred)
            m_failed = true;
        else if (run.run_type == Run::RT_Iteration)
            m_times[name].push_back(seconds);
        else if (run.aggregate_name == "median" && run.aggregate_unit == benchmark::kTime)
            m_medians[name] = seconds;
    }
    m_display->ReportRuns(reports);
}

void TimeReporter::Finalize()
{
    m_display->Finalize();
}

double TimeReporter::seconds(const std::string &name) const
{
    if (const auto it = m_medians.find(name); it != m_medians.end())
        return it->second;
    const auto it = m_times.find(name);
    if (it == m_times.end() || it->second.empty())
        return 0.0;
    std::vector<double> times = it->second;
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

} // namespace culegere::bench
