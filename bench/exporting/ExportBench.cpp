// Writing pairs out, against what libjpeg-turbo's own tools and cp take for the same work in the
// same run: a 2 x 6000 x 4000 pair to a side-by-side JPEG at quality 95 against djpeg of both
// eyes and cjpeg of the side-by-side picture one after the other; a folder of such pairs on all
// cores against the same reference run for each pair in turn; and an MPO made of two files, a
// copy of their JPEG data, against cp of both files.
#include "BenchTable.h"
#include "PhotoJpeg.h"
#include "TempFolder.h"

#include "exporting/ExportBatch.h"
#include "exporting/OutputFiles.h"
#include "exporting/PairExport.h"
#include "loading/PairRequest.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace duoptic;
using namespace duoptic::bench;

int gRepetitions = 5;
constexpr int kFolderPairs = 20;

std::string photo(const std::string& path, const PhotoOptions& options) {
    writeFile(path, photoJpeg(options));
    return path;
}

// Written as "out<suffix>_...".
PairRequest twoFiles(const std::string& basePath, const std::string& suffix = {}) {
    return pairRequest(PairEntry(basePath, "out" + suffix, PairKind::TwoFiles,
                                 basePath + "_DUL.jpg", basePath + "_DUR.jpg"),
                       ViewerSides::Parallel);
}

ExportJob job(std::vector<PairRequest> pairs, const std::string& folder, ExportFormat format) {
    ExportJob job;
    job.pairs = std::move(pairs);
    job.folder = folder;
    job.options.format = format;
    return job;
}

// The job's time, into an empty folder: new files, as an export mostly writes.
double secondsOfJob(const ExportJob& exportJob) {
    secondsOfCommand("rm -f " + shellQuoted(exportJob.folder) + "/out*");
    return secondsOf([&] {
        for (const PairOutcome& outcome : runExportJob(exportJob, [](const PairOutcome&) {})) {
            if (outcome.kind != PairOutcome::Written) {
                std::fprintf(stderr, "export failed: %s\n", outcome.reason.c_str());
                std::exit(1);
            }
        }
    });
}

// The tools' way: both eyes decoded, then the side-by-side picture encoded. The side-by-side
// picture that cjpeg reads is made beforehand, as its decoded input.
struct ToolsReference {
    std::string left, right, sideBySidePpm, out;

    double seconds() const {
        return secondsOfCommand("djpeg -dct float -outfile /dev/null " + shellQuoted(left)) +
               secondsOfCommand("djpeg -dct float -outfile /dev/null " + shellQuoted(right)) +
               secondsOfCommand("cjpeg -quality 95 -outfile " + shellQuoted(out) + " " +
                                shellQuoted(sideBySidePpm));
    }
};

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--repetitions=", 14) == 0) {
            gRepetitions = std::max(1, std::atoi(argv[i] + 14));
        }
    }
    if (std::system("djpeg -version > /dev/null 2>&1 && cjpeg -version > /dev/null 2>&1") != 0) {
        std::fprintf(stderr, "djpeg or cjpeg is missing (Debian package libjpeg-turbo-progs)\n");
        return 1;
    }
    const TempFolder in, out;
    const std::string base = in.file("pair");
    const ToolsReference tools{photo(base + "_DUL.jpg", {}),
                               photo(base + "_DUR.jpg", {.rightEye = true}), in.file("sbs.ppm"),
                               out.file("tools.jpg")};
    const std::string sideBySide = photo(in.file("sbs.jpg"), {.width = 12000, .sideBySide = true});
    secondsOfCommand("djpeg -outfile " + shellQuoted(tools.sideBySidePpm) + " " +
                     shellQuoted(sideBySide));

    const ExportJob one = job({twoFiles(base)}, out.path(), ExportFormat::Sbs);
    std::vector<double> reference, measured;
    for (int i = 0; i < gRepetitions; ++i) {
        reference.push_back(tools.seconds());
        measured.push_back(secondsOfJob(one));
    }
    const double ref = median(reference);
    printRow("export sbs q95 2 x 6000x4000", milliseconds(median(measured)),
             "2 djpeg + cjpeg " + milliseconds(ref), median(measured) / ref, Target{1.0});

    std::vector<PairRequest> folderPairs;
    for (int i = 0; i < kFolderPairs; ++i) {
        const std::string name = in.file("copy" + std::to_string(i));
        secondsOfCommand("cp " + shellQuoted(tools.left) + " " + shellQuoted(name + "_DUL.jpg") +
                         " && cp " + shellQuoted(tools.right) + " " +
                         shellQuoted(name + "_DUR.jpg"));
        folderPairs.push_back(twoFiles(name, std::to_string(i)));
    }
    double serial = 0;
    for (int i = 0; i < kFolderPairs; ++i) {
        serial += tools.seconds();
    }
    const double folder = secondsOfJob(job(folderPairs, out.path(), ExportFormat::Sbs));
    printRow("export folder of 20 pairs, sbs, all cores", milliseconds(folder),
             "20 x (2 djpeg + cjpeg) " + milliseconds(serial), folder / serial, Target{0.6});

    const ExportJob mpo = job({twoFiles(base)}, out.path(), ExportFormat::Mpo);
    // The folder's hundreds of megabytes go to the disk first: their writing back would slow
    // whichever side of this row's short runs it met.
    secondsOfCommand("sync");
    std::vector<double> copies, made;
    for (int i = 0; i < gRepetitions; ++i) {
        copies.push_back(secondsOfCommand("cp " + shellQuoted(tools.left) + " " +
                                          shellQuoted(tools.right) + " " +
                                          shellQuoted(out.path())));
        made.push_back(secondsOfJob(mpo));
    }
    const double cp = median(copies);
    printRow("export mpo from 2 files (lossless)", milliseconds(median(made)),
             "cp of both " + milliseconds(cp), median(made) / cp, Target{2.0});
    return 0;
}
