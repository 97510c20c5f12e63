// Memory of a loaded pair, measured in fresh processes of this program:
// - the peak resident set of one load of a 12000 x 4000 side-by-side pair through readPairInto,
//   with the rasters held as the window holds them, against the decoded picture's size plus the
//   resident set of the same program that loads nothing;
// - the resident set after load 50 and after load 500 of a run that alternates two files of the
//   same size, which must stay flat: the decoders' two buffers are reused, nothing accumulates.
#include "BenchTable.h"
#include "PhotoJpeg.h"
#include "TempFolder.h"

#include "loading/PairLoading.h"
#include "modes/ViewerModes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include <unistd.h>

namespace {

using namespace duoptic;
using namespace duoptic::bench;

constexpr int kWidth = 12000;
constexpr int kHeight = 4000;

struct Window {
    JpegDecoder decoderA;
    JpegDecoder decoderB;
    PairRasters rasters;

    void load(const std::string& basePath) {
        readPairInto(decoderA, decoderB,
                     pairRequest(PairEntry(basePath, {}, PairKind::Parallel), {}), rasters);
    }
};

int peakChild(const std::string& folder) {
    Window window;
    window.load(folder + "/a");
    std::printf("peak %.0f\n", peakResidentBytes());
    std::printf("width %d\n", window.rasters.left.width() + window.rasters.right.width());
    return 0;
}

int steadyChild(const std::string& folder, int loads) {
    Window window;
    for (int i = 1; i <= loads; ++i) {
        window.load(folder + (i % 2 == 1 ? "/a" : "/b"));
        if (i == 50 || i == loads) {
            std::printf("rss%d %.0f\n", i == 50 ? 50 : 0, residentBytes());
        }
    }
    std::printf("peak %.0f\n", peakResidentBytes());
    return 0;
}

void writePhoto(const std::string& path, int width, int height, double tint) {
    writeFile(path, photoJpeg({.width = width,
                               .height = height,
                               .sideBySide = true,
                               .red = tint,
                               .green = 1.0,
                               .blue = 2.0 - tint}));
}

} // namespace

int main(int argc, char** argv) {
    std::string mode, folder;
    int loads = 500;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--child=", 0) == 0) {
            mode = a.substr(8);
        } else if (a.rfind("--folder=", 0) == 0) {
            folder = a.substr(9);
        } else if (a.rfind("--loads=", 0) == 0) {
            loads = std::max(50, std::atoi(a.c_str() + 8));
        }
    }
    if (mode == "empty") {
        std::printf("peak %.0f\n", peakResidentBytes());
        return 0;
    }
    if (mode == "peak") {
        return peakChild(folder);
    }
    if (mode == "steady") {
        return steadyChild(folder, loads);
    }

    const std::string self = "/proc/" + std::to_string(::getpid()) + "/exe";
    const TempFolder files;
    writePhoto(files.file("a_DUP.jpg"), kWidth, kHeight, 0.8);
    writePhoto(files.file("b_DUP.jpg"), kWidth, kHeight, 1.2);
    const std::string at = "--folder=" + shellQuoted(files.path());

    const double empty = runChild(self, "--child=empty")["peak"];
    auto peak = runChild(self, "--child=peak " + at);
    if (peak["width"] != kWidth) {
        std::fprintf(stderr, "the pair did not load\n");
        return 1;
    }
    const double picture = double(kWidth) * kHeight * 4;
    printRow("memory: one 12000x4000 pair loaded, peak RSS", megabytes(peak["peak"]),
             "picture " + megabytes(picture) + " + empty process " + megabytes(empty),
             peak["peak"] / (picture + empty), Target{1.2});

    auto steady = runChild(self, "--child=steady --loads=" + std::to_string(loads) + " " + at);
    printRow("memory: " + std::to_string(loads) + " loads of 2 alternating 12000x4000 pairs, RSS",
             "after load " + std::to_string(loads) + " " + megabytes(steady["rss0"]),
             "after load 50 " + megabytes(steady["rss50"]), steady["rss0"] / steady["rss50"],
             Target{1.05, 0.95});
    return 0;
}
