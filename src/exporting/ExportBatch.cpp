#include "exporting/ExportBatch.h"

#include "imaging/DecodeCancelled.h"
#include "imaging/PairBudget.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace duoptic {

namespace {

bool isCancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load();
}

// One pair written out; nothing when it was stopped by the cancel, which is no outcome.
std::optional<PairOutcome> exportOne(const ExportJob& job, int index, MemoryGate& gate,
                                     const std::atomic<bool>* cancel) {
    const PairRequest& request = job.pairs[static_cast<std::size_t>(index)];
    PairOutcome outcome;
    outcome.index = index;
    outcome.files = exportFileNames(job.options.format, request.baseName);
    try {
        const std::vector<ExportedFile> files =
            exportPair(request, job.shift, job.options, ExportRun{{}, cancel, &gate});
        outcome.files.clear();
        for (const ExportedFile& file : files) {
            outcome.files.push_back(file.name);
        }
        std::vector<std::string> inputs{request.file};
        if (!request.rightEyeFile.empty()) {
            inputs.push_back(request.rightEyeFile);
        }
        writeOutputFiles(job.folder, files, job.replace, inputs, cancel);
    } catch (const DecodeCancelled&) {
        return std::nullopt;
    } catch (const OutputExists& exists) {
        outcome.kind = PairOutcome::Exists;
        outcome.reason = exists.what();
    } catch (const std::exception& error) {
        // What a cancel broke off is not the pair's fault.
        if (isCancelled(cancel)) {
            return std::nullopt;
        }
        outcome.kind = PairOutcome::Failed;
        outcome.reason = error.what();
    }
    return outcome;
}

} // namespace

std::vector<PairOutcome> runExportJob(const ExportJob& job,
                                      const std::function<void(const PairOutcome&)>& done,
                                      const std::atomic<bool>* cancel) {
    MemoryGate gate(kPairDecodeBudget);
    std::atomic<int> next{0};
    std::mutex reporting;
    std::vector<PairOutcome> outcomes;
    const int count = static_cast<int>(job.pairs.size());

    const auto work = [&] {
        while (!isCancelled(cancel)) {
            const int index = next.fetch_add(1);
            if (index >= count) {
                return;
            }
            std::optional<PairOutcome> outcome = exportOne(job, index, gate, cancel);
            if (outcome) {
                const std::lock_guard lock(reporting);
                if (done) {
                    done(*outcome);
                }
                outcomes.push_back(std::move(*outcome));
            }
        }
    };

    // The calling thread is one of the workers.
    const int threads =
        std::min(count, static_cast<int>(std::max(1U, std::thread::hardware_concurrency())));
    {
        std::vector<std::jthread> helpers;
        try {
            for (int i = 1; i < threads; ++i) {
                helpers.emplace_back(work);
            }
        } catch (const std::system_error&) {
            // No thread to spare: the ones there are do the work.
        }
        work();
    }
    std::sort(outcomes.begin(), outcomes.end(),
              [](const PairOutcome& a, const PairOutcome& b) { return a.index < b.index; });
    return outcomes;
}

} // namespace duoptic
