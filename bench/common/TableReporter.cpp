#include "TableReporter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace duoptic::bench {

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred) {
            continue;
        }
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty()) {
            name += "/" + run.run_name.args;
        }
        const double seconds =
            run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min") {
            fastest_[name] = seconds;
        } else if ((run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") ||
                   (run.run_type == Run::RT_Iteration && run.repetitions <= 1)) {
            median_[name] = seconds;
        }
    }
}

double TableReporter::seconds(const std::string& name) const {
    for (const auto* results : {&fastest_, &median_}) {
        if (const auto found = results->find(name); found != results->end()) {
            return found->second;
        }
    }
    std::fprintf(stderr, "no result for %s\n", name.c_str());
    std::exit(1);
}

benchmark::internal::Benchmark* bestOf(benchmark::internal::Benchmark* bench, int repetitions) {
    return bench->Repetitions(repetitions)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("min", [](const std::vector<double>& v) {
            return *std::min_element(v.begin(), v.end());
        });
}

void runBenchmarks(int argc, char** argv, TableReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

} // namespace duoptic::bench
