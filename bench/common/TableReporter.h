#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace duoptic::bench {

// Google Benchmark's console output, plus the real time of every benchmark kept by name
// ("BM_Scan/10000"), so that the program can print table rows that compare two benchmarks of
// the same run. With repetitions the fastest repetition is kept (see bestOf), else the median:
// other work on the machine only ever adds time.
class TableReporter : public benchmark::ConsoleReporter {
public:
    TableReporter() : benchmark::ConsoleReporter(OO_Tabular) {} // no colours: the output is a log
    void ReportRuns(const std::vector<Run>& runs) override;

    // Seconds per iteration; exits the program when the benchmark did not run.
    double seconds(const std::string& name) const;

private:
    std::map<std::string, double> fastest_; // the "min" statistic of repetitions
    std::map<std::string, double> median_;  // the median of repetitions, or the one run
};

// Repetitions of a benchmark with the "min" statistic that the reporter prefers.
benchmark::internal::Benchmark* bestOf(benchmark::internal::Benchmark* bench, int repetitions);

// Initialises Google Benchmark from the command line and runs every registered benchmark into
// the reporter.
void runBenchmarks(int argc, char** argv, TableReporter& reporter);

} // namespace duoptic::bench
