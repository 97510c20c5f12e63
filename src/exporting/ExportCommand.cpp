#include "exporting/ExportCommand.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "exporting/CancelOnSignals.h"
#include "exporting/ExportArguments.h"
#include "exporting/ExportBatch.h"
#include "loading/PathPairs.h"
#include "settings/PairOffsets.h"
#include "settings/Settings.h"

#include <algorithm>
#include <mutex>
#include <ostream>

namespace duoptic {

namespace {

constexpr int kSomeNotWritten = 1;
constexpr int kUsageStatus = 2;

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

// The pairs the PATHs lead to, each once; a PATH that leads to none is reported and counted.
struct Gathered {
    std::vector<PairRequest> pairs;
    int failedPaths = 0;
};

Gathered gatherPairs(const std::vector<std::string>& paths, LoadChoices choices,
                     std::ostream& err) {
    Gathered gathered;
    const auto add = [&](const PairEntry& entry) {
        PairRequest request = pairRequest(entry, ViewerSides::Parallel, choices);
        if (std::find(gathered.pairs.begin(), gathered.pairs.end(), request) ==
            gathered.pairs.end()) {
            gathered.pairs.push_back(std::move(request));
        }
    };
    for (const std::string& path : paths) {
        try {
            const PathPairs found = findPathPairs(path);
            if (found.entry != 0) {
                add(found.list.entry(found.entry));
            }
            for (int k = 1; found.entry == 0 && k <= found.list.count(); ++k) {
                add(found.list.entry(k));
            }
        } catch (const Error& error) {
            err << "failed: " << path << ": " << error.what() << '\n' << std::flush;
            ++gathered.failedPaths;
        }
    }
    return gathered;
}

// What the run has done so far, on standard error: a line for each pair, or on a terminal a bar
// redrawn in place with a line only for the pairs that were not written.
class Progress {
public:
    Progress(std::ostream& err, bool terminal, int total)
        : err_(err), terminal_(terminal), total_(total) {}

    void report(const PairOutcome& outcome) {
        ++counts_[outcome.kind];
        const std::string names = joined(outcome.files);
        if (terminal_) {
            err_ << "\r\033[K";
        }
        if (outcome.kind == PairOutcome::Written && !terminal_) {
            err_ << "written: " << names << '\n';
        } else if (outcome.kind == PairOutcome::Exists) {
            err_ << "exists (use --force to replace): " << names << '\n';
        } else if (outcome.kind == PairOutcome::Failed) {
            err_ << "failed: " << names << ": " << outcome.reason << '\n';
        }
        if (terminal_) {
            drawBar(names);
        }
        err_ << std::flush;
    }

    // The last line; true when every pair was written.
    bool finish(int failedPaths, bool stopped) {
        if (terminal_) {
            err_ << "\r\033[K";
        }
        const int failed = counts_[PairOutcome::Failed] + failedPaths;
        err_ << counts_[PairOutcome::Written] << " written, " << counts_[PairOutcome::Exists]
             << " existing, " << failed << " failed";
        if (stopped) {
            err_ << ", stopped by a signal";
        }
        err_ << '\n' << std::flush;
        return counts_[PairOutcome::Written] == total_ && failedPaths == 0 && !stopped;
    }

private:
    void drawBar(const std::string& latest) {
        constexpr int kWidth = 20;
        const int done = counts_[0] + counts_[1] + counts_[2];
        const int filled = total_ > 0 ? done * kWidth / total_ : kWidth;
        err_ << '[' << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] " << done << '/'
             << total_ << ' ' << latest;
    }

    std::ostream& err_;
    const bool terminal_;
    const int total_;
    int counts_[3] = {0, 0, 0}; // by PairOutcome::Kind
};

// The user's stored shifts, looked up from the workers one at a time; the store is only read.
class StoredShifts {
public:
    std::optional<PairOffset> find(const PairKey& key) {
        const std::lock_guard lock(mutex_);
        return store_.find(key);
    }

private:
    std::mutex mutex_;
    PairOffsetStore store_ = PairOffsetStore::open();
};

int runExport(const ExportArguments& arguments, std::ostream& err, bool errIsTerminal,
              const std::string& programFolder, const CancelOnSignals& signals) {
    if (!isFolder(arguments.folder)) {
        err << "duoptic: " << messages::cannotWrite(arguments.folder) << ": not a folder\n";
        return kSomeNotWritten;
    }
    const std::string folder = programFolder.empty() ? "./" : programFolder;
    const SettingsRecord settings = readSettings(settingsFilePath(folder), folder);
    const bool align = settings.autoAlign != 0 && !arguments.options.asStored;
    const bool window = settings.autoWindow != 0 && !arguments.options.asStored;
    const bool measure = align || window;
    const Gathered gathered =
        gatherPairs(arguments.paths, {settings.orientJpegPairs != 0, measure}, err);

    ExportJob job;
    job.pairs = gathered.pairs;
    job.folder = arguments.folder;
    job.options = arguments.options;
    job.replace = arguments.force ? Replace::Existing : Replace::Never;
    std::optional<StoredShifts> stored;
    if (!arguments.options.asStored) {
        stored.emplace();
        job.shift.stored = [&stored](const PairKey& key) { return stored->find(key); };
        job.shift.align = align;
        job.shift.window = window;
    }
    Progress progress(err, errIsTerminal, static_cast<int>(job.pairs.size()));
    runExportJob(
        job, [&progress](const PairOutcome& outcome) { progress.report(outcome); }, signals.flag());
    return progress.finish(gathered.failedPaths, signals.caught() != 0) ? 0 : kSomeNotWritten;
}

} // namespace

int runExportCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err, bool errIsTerminal, const std::string& programFolder) {
    const ExportArguments parsed = parseExportArguments(arguments);
    if (parsed.help) {
        out << exportUsageText() << std::flush;
        return 0;
    }
    if (!parsed.problem.empty()) {
        err << "duoptic: " << parsed.problem << "\n\n" << exportUsageText() << std::flush;
        return kUsageStatus;
    }
    int status = 0;
    int signal = 0;
    {
        const CancelOnSignals signals;
        status = runExport(parsed, err, errIsTerminal, programFolder, signals);
        signal = signals.caught();
    }
    if (signal != 0) {
        endBySignal(signal);
    }
    return status;
}

std::string exportUsageText() {
    std::string text =
        "Usage: duoptic --export FORMAT [--output DIR] [--quality N] [--as-stored] [--force] "
        "PATH...\n"
        "Write stereo pairs out in another form, without a window.\n"
        "\n"
        "Each PATH is a folder, whose pairs are all written, or a file of a pair. The files are\n"
        "named after the pair; the right eye is shifted as the viewer shows it (the shift kept\n"
        "for the pair, else the automatic alignment when it is on) and both eyes are cut to\n"
        "what they share. Eyes that need no change are copied without being encoded again.\n"
        "\n"
        "FORMAT:\n";
    for (const ExportFormat format : exportFormats()) {
        std::string name(exportFormatName(format));
        name.resize(std::max<std::size_t>(name.size() + 1, 10), ' ');
        text += "  " + name + joined(exportFileNames(format, "NAME")) + ": " +
                std::string(exportFormatDescription(format)) + "\n";
    }
    return text +
           "\n"
           "Options:\n"
           "  --output DIR  the folder to write into, which must exist (default: the\n"
           "                current folder)\n"
           "  --quality N   the JPEG quality, 1 to 100, of what is encoded (default " +
           std::to_string(ExportOptions{}.quality) +
           ")\n"
           "  --as-stored   the eyes as the files hold them: no shift, no cut but to a common\n"
           "                size\n"
           "  --force       replace files that exist (never a file of the pair being read)\n"
           "  --            end of the options: a PATH that begins with '-' may follow\n"
           "\n"
           "Exit status: 0 when every pair was written, 1 when some were not (a file that exists\n"
           "counts), 2 for a mistake on the command line. SIGTERM and SIGINT stop it and leave\n"
           "no file half-written.\n";
}

} // namespace duoptic
