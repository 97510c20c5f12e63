#pragma once

#include "exporting/OutputFiles.h"
#include "exporting/PairExport.h"
#include "loading/PairRequest.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace duoptic {

// Many pairs written into one folder in one format, on as many threads as there are cores and
// as the pair budget allows (each pair's decodes count against it, as a load's do).
struct ExportJob {
    std::vector<PairRequest> pairs;
    std::string folder;
    ExportOptions options;
    Replace replace = Replace::Never;
    ShiftChoice shift; // its `stored` lookup may be called from several threads at once
};

struct PairOutcome {
    enum Kind { Written, Exists, Failed } kind = Written;
    int index = 0;                  // into ExportJob::pairs
    std::vector<std::string> files; // the names written (or found existing)
    std::string reason;             // for Exists and Failed: the error's message
};

// Runs the job; `done` is called once per pair as it ends, in the order they end, on the
// calling thread or a worker's, never two at once. Once `cancel` is set no pair is started, the
// ones under way stop and leave nothing behind, and they are not reported. Returns every
// outcome reported, in the order of the pairs.
std::vector<PairOutcome> runExportJob(const ExportJob& job,
                                      const std::function<void(const PairOutcome&)>& done,
                                      const std::atomic<bool>* cancel = nullptr);

} // namespace duoptic
