// What the benchmark programs with a timing target share (Google Benchmark
// 1.7): the command line, the reporter that keeps each benchmark's time, and
// where the summary line goes.
//
// A program calls initialize() first thing in main(); it takes out
// "--no-target-check" and the program's own flags, notes --benchmark_format
// and hands the rest to Google Benchmark. It then runs its benchmarks through
// a TimeReporter built on displayReporter(options.format), which shows the
// runs as the command line asked and keeps their times for the summary line
// the program prints to options.summary.

#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace culegere::bench {

// What the command line asked of the program, once Google Benchmark has
// taken its flags.
struct Options
{
    bool checkTarget = true;             // false with --no-target-check
    std::string_view format = "console"; // --benchmark_format, as given
    // The summary goes where it cannot spoil a machine-read output: stdout
    // for the console format, stderr otherwise.
    std::FILE *summary = stdout;

    // How the summary line judges a target: "met", "MISSED", or "missed,
    // not checked" under --no-target-check.
    const char *verdict(bool met) const;
};

// Takes "--no-target-check", and every argument `ownFlag` accepts (returns
// true for), out of argv, then runs benchmark::Initialize on the rest; argc
// and argv are left holding what neither took, argv[0] first. Returns nullopt,
// once benchmark::ReportUnrecognizedArguments has named them, when arguments
// are left over: main then exits with 1.
std::optional<Options> initialize(int &argc, char **argv,
                                  const std::function<bool(std::string_view)> &ownFlag = {});

// The reporter --benchmark_format names: json, csv or else the console's
// table (in colour when stdout is a terminal).
std::unique_ptr<benchmark::BenchmarkReporter> displayReporter(std::string_view format);

// Passes every report on to `display` and keeps the real time per iteration
// of each benchmark's runs, and whether any run failed.
class TimeReporter : public benchmark::BenchmarkReporter
{
public:
    explicit TimeReporter(std::unique_ptr<benchmark::BenchmarkReporter> display);

    bool ReportContext(const Context &context) override;
    void ReportRuns(const std::vector<Run> &reports) override;
    void Finalize() override;

    // Some run stopped with an error (SkipWithError).
    bool failed() const { return m_failed; }
    // The median over repetitions, in seconds, of the benchmark `name`: its
    // function name, followed by "/" and its arguments when it has any
    // ("BM_Load", "BM_Check/1000"). 0 when the benchmark did not run.
    double seconds(const std::string &name) const;

private:
    std::unique_ptr<benchmark::BenchmarkReporter> m_display;
    std::map<std::string, std::vector<double>> m_times;
    // From --benchmark_report_aggregates_only, which gives only aggregates.
    std::map<std::string, double> m_medians;
    bool m_failed = false;
};

} // namespace culegere::bench
