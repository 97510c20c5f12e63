// Loading a pair the way the window does (readPairInto with the window's two decoders and
// rasters, files on disk), against libjpeg-turbo's own decoder, djpeg, decoding the same file
// with the same settings in the same run; and the Filer's preview against the same reference.
//
// Each row is the median of several repetitions of both sides, interleaved so that a change in
// the machine's load hits both alike.
#include "BenchTable.h"
#include "MpoWriter.h"
#include "PhotoJpeg.h"
#include "TempFolder.h"

#include "FilerFrm/Preview.h"
#include "base/FileRead.h"
#include "imaging/MpoViews.h"
#include "loading/PairLoading.h"
#include "modes/ViewerModes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace duoptic;
using namespace duoptic::bench;

int gRepetitions = 7;

// What the window owns for loading: two decoders and the rasters the panels show.
struct Window {
    JpegDecoder decoderA;
    JpegDecoder decoderB;
    PairRasters rasters;

    void load(PairKind kind, const std::string& basePath) {
        readPairInto(decoderA, decoderB, pairRequest(PairEntry(basePath, {}, kind), {}), rasters);
        if (rasters.left.empty() || rasters.right.empty()) {
            std::fprintf(stderr, "load of %s gave no picture\n", basePath.c_str());
            std::exit(1);
        }
    }

    // An MPO pair as the window is to load it: the file read once, both views found in it and
    // decoded on two threads, each decoder reading its view from the one shared buffer.
    void loadMpo(const std::string& path) {
        const MpoFile mpo = readMpoFile(path);
        decoderA.readShared(mpo.bytes, mpo.views.left);
        decoderB.readShared(mpo.bytes, mpo.views.right);
        auto right = std::async(std::launch::async, [this] { return decoderB.picture(); });
        rasters.left = Raster::whole(decoderA.picture());
        rasters.right = Raster::whole(right.get());
    }
};

double firstLoad(PairKind kind, const std::string& basePath) {
    auto window = std::make_unique<Window>();
    return secondsOf([&] { window->load(kind, basePath); });
}

std::string djpegCommand(const std::string& options, const std::string& file) {
    return "djpeg " + options + " -outfile /dev/null " + shellQuoted(file);
}

std::string photo(const TempFolder& folder, const std::string& name, const PhotoOptions& options) {
    const std::string path = folder.file(name);
    const std::vector<std::uint8_t> bytes = photoJpeg(options);
    writeFile(path, bytes);
    std::printf("%s: %d x %d, %zu bytes, %.2f bits a pixel\n", name.c_str(), options.width,
                options.height, bytes.size(),
                8.0 * double(bytes.size()) / (double(options.width) * options.height));
    return path;
}

// A side-by-side pair: first load into fresh decoders and repeated loads into the same ones
// while the rasters hold the previous pictures, both against one djpeg run.
void sideBySideRows(const std::string& label, const std::string& basePath, const std::string& file,
                    const std::string& djpegOptions, bool firstToo, double firstBound,
                    double repeatedBound) {
    Window window;
    window.load(PairKind::Parallel, basePath); // the second load allocates the second buffer;
    window.load(PairKind::Parallel, basePath); // from the third on, loads reuse them
    std::vector<double> reference, first, repeated;
    for (int i = 0; i < gRepetitions; ++i) {
        reference.push_back(secondsOfCommand(djpegCommand(djpegOptions, file)));
        if (firstToo) {
            first.push_back(firstLoad(PairKind::Parallel, basePath));
        }
        repeated.push_back(secondsOf([&] { window.load(PairKind::Parallel, basePath); }));
    }
    const double ref = median(reference);
    const std::string refText = "djpeg " + milliseconds(ref);
    if (firstToo) {
        printRow("load pair " + label + ", first load", milliseconds(median(first)), refText,
                 median(first) / ref, Target{firstBound});
    }
    printRow("load pair " + label + ", repeated load", milliseconds(median(repeated)), refText,
             median(repeated) / ref, Target{repeatedBound});
}

void twoFileRow(const std::string& basePath, const std::string& left, const std::string& right) {
    Window window;
    window.load(PairKind::TwoFiles, basePath);
    window.load(PairKind::TwoFiles, basePath);
    std::vector<double> reference, first, repeated;
    for (int i = 0; i < gRepetitions; ++i) {
        reference.push_back(secondsOfCommand(djpegCommand("-dct float", left)) +
                            secondsOfCommand(djpegCommand("-dct float", right)));
        // Fresh decoders: every picture buffer is memory the system has yet to provide.
        first.push_back(firstLoad(PairKind::TwoFiles, basePath));
        repeated.push_back(secondsOf([&] { window.load(PairKind::TwoFiles, basePath); }));
    }
    const double ref = median(reference);
    printRow("load pair 2 files 2 x 6000x4000, first load", milliseconds(median(first)),
             "2 djpeg in a row " + milliseconds(ref), median(first) / ref, Target{0.8});
    printRow("load pair 2 files 2 x 6000x4000, repeated load", milliseconds(median(repeated)),
             "2 djpeg in a row " + milliseconds(ref), median(repeated) / ref, Target{0.55});
}

void mpoRow(const TempFolder& folder, const std::string& left, const std::string& right) {
    const std::string path = folder.file("pair.mpo");
    writeFile(path, testing::writeMpo({{readFileBytes(left)}, {readFileBytes(right)}}).bytes);
    Window window;
    window.loadMpo(path);
    window.loadMpo(path);
    std::vector<double> reference, repeated;
    for (int i = 0; i < gRepetitions; ++i) {
        reference.push_back(secondsOfCommand(djpegCommand("-dct float", left)) +
                            secondsOfCommand(djpegCommand("-dct float", right)));
        repeated.push_back(secondsOf([&] { window.loadMpo(path); }));
    }
    const double ref = median(reference);
    printRow("load pair MPO 2 x 6000x4000, repeated load", milliseconds(median(repeated)),
             "2 djpeg in a row " + milliseconds(ref), median(repeated) / ref, Target{0.55});
}

void previewRow(const std::string& file) {
    std::vector<double> reference, preview;
    for (int i = 0; i < gRepetitions; ++i) {
        reference.push_back(secondsOfCommand(djpegCommand("-dct float", file)));
        preview.push_back(secondsOf([&] {
            const QImage image = previewImage(file);
            if (image.isNull()) {
                std::exit(1);
            }
        }));
    }
    const double ref = median(reference);
    // A preview decodes the whole file with a fresh decoder: the work of a first load.
    printRow("Filer preview 6000x4000", milliseconds(median(preview)), "djpeg " + milliseconds(ref),
             median(preview) / ref, Target{1.3});
}

} // namespace

int main(int argc, char** argv) {
    bool onlyPairs = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--repetitions=", 14) == 0) {
            gRepetitions = std::max(1, std::atoi(argv[i] + 14));
        } else if (std::strcmp(argv[i], "--only=two-views") == 0) {
            onlyPairs = true; // a quick look at the two-file and the MPO row, side by side
        }
    }
    if (std::system("djpeg -version > /dev/null 2>&1") != 0) {
        std::fprintf(stderr, "djpeg is missing (Debian package libjpeg-turbo-progs)\n");
        return 1;
    }
    const TempFolder folder;
    const std::string two = folder.file("two");
    const std::string left = photo(folder, "two_DUL.jpg", {.width = 6000, .height = 4000});
    const std::string right =
        photo(folder, "two_DUR.jpg", {.width = 6000, .height = 4000, .rightEye = true});
    if (onlyPairs) {
        twoFileRow(two, left, right);
        mpoRow(folder, left, right);
        return 0;
    }
    const std::string base = folder.file("base");
    const std::string baseline =
        photo(folder, "base_DUP.jpg", {.width = 12000, .height = 4000, .sideBySide = true});
    sideBySideRows("P 12000x4000 baseline", base, baseline, "-dct float", true, 1.3, 1.0);

    const std::string prog = folder.file("prog");
    const std::string progressive =
        photo(folder, "prog_DUP.jpg",
              {.width = 12000, .height = 4000, .sideBySide = true, .progressive = true});
    sideBySideRows("P 12000x4000 progressive", prog, progressive, "-dct float", true, 1.3, 1.0);

    twoFileRow(two, left, right);
    mpoRow(folder, left, right);

    const std::string grey = folder.file("grey");
    const std::string greyFile = photo(
        folder, "grey_DUP.jpg", {.width = 12000, .height = 4000, .sideBySide = true, .grey = true});
    sideBySideRows("P 12000x4000 greyscale", grey, greyFile, "-dct float -colors 236 -onepass",
                   false, 0.0, 1.1);

    previewRow(left);
    return 0;
}
