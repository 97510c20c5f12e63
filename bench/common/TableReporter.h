#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace duoptic::bench {

// Google Benchmark's console output, plus the real time of every benchmark kept by name
// ("BM_Scan/10000"), so that the program can print table rows that compare two benchmarks of
// the same run. With repetitions the median is kept.
class TableReporter : public benchmark::ConsoleReporter {
public:
    TableReporter() : benchmark::ConsoleReporter(OO_Tabular) {} // no colours: the output is a log
    void ReportRuns(const std::vector<Run>& runs) override;

    // Seconds per iteration; exits the program when the benchmark did not run.
    double seconds(const std::string& name) const;

private:
    std::map<std::string, double> seconds_;
};

// Initialises Google Benchmark from the command line and runs every registered benchmark into
// the reporter.
void runBenchmarks(int argc, char** argv, TableReporter& reporter);

} // namespace duoptic::bench
