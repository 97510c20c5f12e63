#include "TableReporter.h"

#include <cstdio>
#include <cstdlib>

namespace duoptic::bench {

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.error_occurred || !(single || median)) {
            continue;
        }
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty()) {
            name += "/" + run.run_name.args;
        }
        seconds_[name] =
            run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
}

double TableReporter::seconds(const std::string& name) const {
    const auto found = seconds_.find(name);
    if (found == seconds_.end()) {
        std::fprintf(stderr, "no result for %s\n", name.c_str());
        std::exit(1);
    }
    return found->second;
}

void runBenchmarks(int argc, char** argv, TableReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

} // namespace duoptic::bench
