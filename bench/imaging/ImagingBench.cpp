// Composing a panel the way the window does (geometry from computePanelGeometry, then the grey
// background and the stretch of the visible part of a 6000 x 4000 raster into the back buffer,
// composeRaster), against
// a plain memcpy of a buffer of the back buffer's size, at zoom 0, 50 and 100 in both fitting
// modes. The stretch reads only the source rectangle, but the rows it reads at zoom 0 are read
// whole: several source pixels share a cache line, so every line of them comes from memory. The
// source-line floor (reading one word of each of those lines and nothing else) shows that cost on
// its own.
//
// Measuring the vertical alignment of a 6000 x 4000 pair, against a plain memcpy of both eyes'
// pixels: the measurement reads a sampled quarter of the rows, then works on profiles. It is
// allowed 40 ms on one core, four such copies on the machine it was written on.
#include "BenchTable.h"
#include "PhotoJpeg.h"
#include "TableReporter.h"

#include "ViewFrm/logic/ViewGeometry.h"
#include "imaging/Picture.h"
#include "imaging/Raster.h"
#include "imaging/Stretch.h"
#include "imaging/VerticalAlignment.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace duoptic;
using namespace duoptic::bench;

constexpr int kImageWidth = 6000;
constexpr int kImageHeight = 4000;

struct Area {
    int width;
    int height;
};
constexpr Area kAreas[] = {{960, 1000}, {1920, 2000}};
constexpr int kModes[] = {0, 1}; // fitting modes: image width, form size
constexpr int kZooms[] = {0, 50, 100};

const Raster& photoRaster() {
    static const Raster raster = [] {
        auto picture = std::make_shared<Picture>(PixelFormat::Xrgb32, kImageWidth, kImageHeight);
        fillPhotoXrgb(kImageWidth, kImageHeight, reinterpret_cast<std::uint32_t*>(picture->bits()),
                      picture->stride());
        return Raster::whole(std::move(picture));
    }();
    return raster;
}

// The right eye: the same photograph seen a few rows lower.
const Raster& lowerRaster() {
    static const Raster raster = [] {
        constexpr int kRowsLower = 6;
        const Raster& upper = photoRaster();
        auto picture = std::make_shared<Picture>(PixelFormat::Xrgb32, kImageWidth, kImageHeight);
        for (int y = 0; y < kImageHeight; ++y) {
            std::memcpy(picture->row(y), upper.row(std::max(0, y - kRowsLower)), kImageWidth * 4);
        }
        return Raster::whole(std::move(picture));
    }();
    return raster;
}

PanelGeometry geometry(int areaWidth, int areaHeight, int mode, int zoom) {
    const ViewInputs in{mode,
                        zoom,
                        50,
                        50,
                        kImageWidth,
                        kImageHeight,
                        double(kImageWidth) / kImageHeight,
                        areaWidth,
                        areaHeight,
                        double(areaWidth) / areaHeight};
    return computePanelGeometry(in);
}

std::string key(const char* function, int w, int h, int mode = -1, int zoom = -1) {
    std::string k = std::string(function) + "/" + std::to_string(w) + "/" + std::to_string(h);
    if (mode >= 0) {
        k += "/" + std::to_string(mode) + "/" + std::to_string(zoom);
    }
    return k;
}

// What the window's composePanel does to its back buffer for one panel.
void BM_ComposePanel(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const PanelGeometry g = geometry(w, h, int(state.range(2)), int(state.range(3)));
    const Raster& raster = photoRaster();
    std::vector<std::uint32_t> back(std::size_t(w) * h);
    for (auto _ : state) {
        composeRaster(raster, g.source, kBackgroundGrey, back.data(), w, h, w * 4);
        benchmark::ClobberMemory();
    }
    state.SetLabel("source " + std::to_string(g.source.left) + "," + std::to_string(g.source.top) +
                   " " + std::to_string(g.source.width) + "x" + std::to_string(g.source.height));
}

// Reads one word of every source cache line that the stretch reads, and nothing else: the
// least that any drawing of these exact pixels has to wait for.
void BM_SourceFloor(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const Rect r = geometry(w, h, int(state.range(2)), int(state.range(3))).source;
    const Raster& raster = photoRaster();
    const auto index = [](int d, int start, int span, int count) {
        return int(start + (2 * std::int64_t{d} + 1) * span / (2 * std::int64_t{count}));
    };
    std::vector<int> rows;
    for (int d = 0; d < h; ++d) {
        const int y = index(d, r.top, r.height, h);
        if (y >= 0 && y < raster.height() && (rows.empty() || rows.back() != y)) {
            rows.push_back(y);
        }
    }
    const int x0 = std::max(0, index(0, r.left, r.width, w));
    const int x1 = std::min(raster.width() - 1, index(w - 1, r.left, r.width, w));
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(raster.row(rows[i]));
            // The next row's lines are requested while this one is read, as the stretch does.
            const auto* next = reinterpret_cast<const std::uint32_t*>(
                raster.row(rows[std::min(i + 1, rows.size() - 1)]));
            for (int x = x0; x <= x1; x += 16) {
                __builtin_prefetch(next + x);
                sum += row[x];
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}

void BM_CopyBackBuffer(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    std::vector<std::uint32_t> from(std::size_t(w) * h, kBackgroundGrey);
    std::vector<std::uint32_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::ClobberMemory();
    }
}

void BM_MeasureAlignment(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(measureAlignment(photoRaster(), lowerRaster()));
    }
}

void BM_CopyPair(benchmark::State& state) {
    std::vector<std::uint8_t> to(std::size_t(kImageWidth) * kImageHeight * 4);
    for (auto _ : state) {
        for (const Raster* eye : {&photoRaster(), &lowerRaster()}) {
            std::memcpy(to.data(), eye->row(0), to.size());
            benchmark::ClobberMemory();
        }
    }
}

void registerAll() {
    const auto timed = [](benchmark::internal::Benchmark* b) {
        bestOf(b->Unit(benchmark::kMicrosecond)->MinTime(0.03), 10);
    };
    timed(benchmark::RegisterBenchmark("BM_MeasureAlignment", BM_MeasureAlignment));
    timed(benchmark::RegisterBenchmark("BM_CopyPair", BM_CopyPair));
    for (const Area a : kAreas) {
        timed(benchmark::RegisterBenchmark("BM_CopyBackBuffer", BM_CopyBackBuffer)
                  ->Args({a.width, a.height}));
        for (const int mode : kModes) {
            for (const int zoom : kZooms) {
                timed(benchmark::RegisterBenchmark("BM_ComposePanel", BM_ComposePanel)
                          ->Args({a.width, a.height, mode, zoom}));
            }
            timed(benchmark::RegisterBenchmark("BM_SourceFloor", BM_SourceFloor)
                      ->Args({a.width, a.height, mode, 0}));
        }
    }
}

void printRows(const TableReporter& results) {
    const double align = results.seconds("BM_MeasureAlignment");
    const double copy = results.seconds("BM_CopyPair");
    printRow("measure vertical alignment, 2 x 6000x4000", milliseconds(align),
             "memcpy of both " + milliseconds(copy), align / copy, Target{4.0});
    printRow("  the same against its budget", milliseconds(align), milliseconds(0.040),
             align / 0.040, std::nullopt);
    for (const Area a : kAreas) {
        const double copy = results.seconds(key("BM_CopyBackBuffer", a.width, a.height));
        const std::string area = std::to_string(a.width) + "x" + std::to_string(a.height);
        for (const int mode : kModes) {
            double fastest = 1e9, slowest = 0;
            int fastestZoom = 0, slowestZoom = 0;
            for (const int zoom : kZooms) {
                const double t =
                    results.seconds(key("BM_ComposePanel", a.width, a.height, mode, zoom));
                printRow("draw panel " + area + " mode " + std::to_string(mode) + " zoom " +
                             std::to_string(zoom),
                         milliseconds(t), "memcpy " + milliseconds(copy), t / copy, Target{6.0});
                if (t < fastest) {
                    fastest = t, fastestZoom = zoom;
                }
                if (t > slowest) {
                    slowest = t, slowestZoom = zoom;
                }
            }
            // For information: nearest-neighbour sampling of the whole raster reads every sampled
            // source row, so zoom 0 costs more than zoom 100 in a way no one can see.
            printRow("draw panel " + area + " mode " + std::to_string(mode) + " zoom spread",
                     "zoom " + std::to_string(slowestZoom) + " " + milliseconds(slowest),
                     "zoom " + std::to_string(fastestZoom) + " " + milliseconds(fastest),
                     slowest / fastest, std::nullopt);
            // Why zoom 0 costs most: its source rows are read whole from memory, which alone
            // takes longer than composing the whole panel at zoom 100.
            const double floor = results.seconds(key("BM_SourceFloor", a.width, a.height, mode, 0));
            const double zoom100 =
                results.seconds(key("BM_ComposePanel", a.width, a.height, mode, 100));
            printRow("  zoom 0: reading its source lines alone vs zoom 100 composed",
                     milliseconds(floor), "zoom 100 " + milliseconds(zoom100), floor / zoom100,
                     std::nullopt);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    photoRaster();
    lowerRaster();
    registerAll();
    TableReporter results;
    runBenchmarks(argc, argv, results);
    printRows(results);
    return 0;
}
