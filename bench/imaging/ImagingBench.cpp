// Composing a panel the way the window does (geometry from computePanelGeometry, then the grey
// background and the stretch of the visible part of a 6000 x 4000 raster into the back buffer,
// composeRaster), against
// a plain memcpy of the bytes that drawing moves: each line of a buffer of the back buffer's size
// filled from the source row it samples, over the columns it samples, so the same source bytes
// come from the same raster as cold as the drawing reads them. A copy of the back buffer alone
// comes from the cache and measures nothing the drawing waits for at zoom 0. The stretch
// reads only the source rectangle, but the rows it reads at zoom 0 are read whole: several source
// pixels share a cache line, so every line of them comes from memory. The source-line floor
// (reading one word of each of those lines and nothing else) shows that cost on its own.
//
// The display modes other than two panels compose a 1920 x 1000 area from two such rasters, fitted
// to the width (zoom 0: the whole width, every source row read) and at zoom 100 (twice the
// raster's size: every raster pixel repeated), each against the side-by-side drawing of the same
// area (two 960 x 1000 panels) and against a plain copy of the area; the side-by-side drawing
// with the right eye turned by a degree against the same drawing unturned.
//
// Measuring the vertical alignment of a 6000 x 4000 pair, against a plain memcpy of both eyes'
// pixels: the measurement reads a sampled quarter of the rows, then works on profiles. It is
// allowed 40 ms on one core, four such copies on the machine it was written on.
#include "BenchTable.h"
#include "PhotoJpeg.h"
#include "TableReporter.h"

#include "ViewFrm/logic/ViewGeometry.h"
#include "imaging/DisplayCompose.h"
#include "imaging/HorizontalDisparity.h"
#include "imaging/Picture.h"
#include "imaging/Raster.h"
#include "imaging/Stretch.h"
#include "imaging/TurnedStretch.h"
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

Raster makePhotoRaster() {
    auto picture = std::make_shared<Picture>(PixelFormat::Xrgb32, kImageWidth, kImageHeight);
    fillPhotoXrgb(kImageWidth, kImageHeight, reinterpret_cast<std::uint32_t*>(picture->bits()),
                  picture->stride());
    return Raster::whole(std::move(picture));
}

const Raster& photoRaster() {
    static const Raster raster = makePhotoRaster();
    return raster;
}

// The right eye, in memory of its own as a decoded pair is: the same photograph seen a few rows
// lower.
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
    const ViewInputs in{fittingMode(mode),
                        zoom,
                        50,
                        50,
                        kImageWidth,
                        kImageHeight,
                        double(kImageWidth) / kImageHeight,
                        areaWidth,
                        areaHeight,
                        double(areaWidth) / areaHeight,
                        {}, // at the zoom's scale
                        {},
                        {}};
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

// The source rows a panel's drawing samples (each once, and the one of each line it draws, -1 for
// a line beyond the picture), and the first and last column it samples.
struct SampledSource {
    std::vector<int> rows;
    std::vector<int> rowOfLine;
    int x0 = 0;
    int x1 = -1;
};

SampledSource sampledSource(const benchmark::State& state, const Raster& raster) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const Rect r = geometry(w, h, int(state.range(2)), int(state.range(3))).source;
    const auto index = [](int d, int start, int span, int count) {
        return int(start + (2 * std::int64_t{d} + 1) * span / (2 * std::int64_t{count}));
    };
    SampledSource sampled;
    for (int d = 0; d < h; ++d) {
        const int y = index(d, r.top, r.height, h);
        const bool inside = y >= 0 && y < raster.height();
        sampled.rowOfLine.push_back(inside ? y : -1);
        if (inside && (sampled.rows.empty() || sampled.rows.back() != y)) {
            sampled.rows.push_back(y);
        }
    }
    sampled.x0 = std::max(0, index(0, r.left, r.width, w));
    sampled.x1 = std::min(raster.width() - 1, index(w - 1, r.left, r.width, w));
    return sampled;
}

// Reads one word of every source cache line that the stretch reads, and nothing else: the
// least that any drawing of these exact pixels has to wait for.
void BM_SourceFloor(benchmark::State& state) {
    const Raster& raster = photoRaster();
    const SampledSource s = sampledSource(state, raster);
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < s.rows.size(); ++i) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(raster.row(s.rows[i]));
            // The next row's lines are requested while this one is read, as the stretch does.
            const auto* next = reinterpret_cast<const std::uint32_t*>(
                raster.row(s.rows[std::min(i + 1, s.rows.size() - 1)]));
            for (int x = s.x0; x <= s.x1; x += 16) {
                __builtin_prefetch(next + x);
                sum += row[x];
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}

// The reference of a panel's drawing: the least any drawing of it moves. Each line of the back
// buffer gets the source row it samples, over the columns it samples: the same source bytes read
// as cold as the drawing reads them (a wide span in pieces over the line), and the line written.
void BM_CopySource(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const Raster& raster = photoRaster();
    const SampledSource s = sampledSource(state, raster);
    const int span = s.x1 - s.x0 + 1;
    std::vector<std::uint32_t> back(std::size_t(w) * h, kBackgroundGrey);
    for (auto _ : state) {
        for (int d = 0; d < h && span > 0; ++d) {
            if (s.rowOfLine[std::size_t(d)] < 0) {
                continue;
            }
            const std::uint8_t* from =
                raster.row(s.rowOfLine[std::size_t(d)]) + std::size_t(s.x0) * 4;
            std::uint32_t* to = back.data() + std::size_t(d) * w;
            // A span wider than the line is read whole, a line wider than the span written whole.
            for (int x = 0; x < std::max(span, w); x += std::min(span, w)) {
                const int n = std::min({span, w, std::max(span, w) - x});
                std::memcpy(to + (span > w ? 0 : x), from + (span > w ? std::size_t(x) * 4 : 0),
                            std::size_t(n) * 4);
            }
        }
        benchmark::ClobberMemory();
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

// The depths that the same background work measures after the alignment, on the same pair.
void BM_MeasureDisparity(benchmark::State& state) {
    const AlignmentEstimate vertical = measureAlignment(photoRaster(), lowerRaster());
    for (auto _ : state) {
        benchmark::DoNotOptimize(measureDisparity(photoRaster(), lowerRaster(), vertical));
    }
}

// The right eye turned by a degree into a picture of its own, as the panels have it made in the
// background.
const Raster& turnedCopy() {
    static const Raster raster = Raster::whole(turnedPicture(lowerRaster(), 1.0, kBackgroundGrey));
    return raster;
}

void BM_TurnCopy(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(turnedPicture(lowerRaster(), 1.0, kBackgroundGrey));
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

constexpr Area kDisplayArea{1920, 1000};
constexpr int kDisplayZooms[] = {0, 100};

enum class Display : int {
    SideBySide,
    Anaglyph,
    HalfSideBySide,
    HalfTopBottom,
    RowInterlaced,
    ColumnInterlaced,
    Mirror,
    SideBySideTurned,    // the right eye turned by a degree, drawn turned
    SideBySideTurnedCopy // the same drawn from its turned copy, as shrunk panels are once it is
                         // made
};
constexpr Display kDisplays[] = {Display::Anaglyph,         Display::HalfSideBySide,
                                 Display::HalfTopBottom,    Display::RowInterlaced,
                                 Display::ColumnInterlaced, Display::Mirror};

const char* displayName(Display d) {
    switch (d) {
    case Display::SideBySide:
        return "side by side";
    case Display::Anaglyph: // every kind goes through the same matrix, at the same cost
        return "anaglyph";
    case Display::HalfSideBySide:
        return "half side-by-side";
    case Display::HalfTopBottom:
        return "half top-bottom";
    case Display::RowInterlaced:
        return "row interlaced";
    case Display::ColumnInterlaced:
        return "column interlaced";
    case Display::Mirror:
        return "mirror";
    case Display::SideBySideTurned:
        return "side by side, right eye turned 1°, drawn turned";
    case Display::SideBySideTurnedCopy:
        return "side by side, right eye turned 1°, from its copy";
    }
    return "";
}

// One frame of the area in a display mode, with the geometry the window computes: of a panel for
// the two-panel modes, of the whole area for the others.
void BM_Display(benchmark::State& state) {
    const Display display = Display(state.range(0));
    const int zoom = int(state.range(1));
    const int w = kDisplayArea.width, h = kDisplayArea.height;
    const Rect panel = geometry(w / 2, h, 0, zoom).source;
    const Rect area = geometry(w, h, 0, zoom).source;
    const EyeView left{&photoRaster(), area}, right{&lowerRaster(), area};
    std::vector<std::uint32_t> back(std::size_t(w) * h);
    const Frame frame{back.data(), w, h, w * 4};
    const Frame rightPanel{back.data() + w / 2, w / 2, h, w * 4};
    for (auto _ : state) {
        switch (display) {
        case Display::SideBySide:
        case Display::Mirror:
            composeRaster(photoRaster(), panel, kBackgroundGrey, back.data(), w / 2, h, w * 4);
            if (display == Display::Mirror) {
                composeMirrored({&lowerRaster(), panel}, kBackgroundGrey, rightPanel);
            } else {
                composeRaster(lowerRaster(), panel, kBackgroundGrey, rightPanel.pixels, w / 2, h,
                              w * 4);
            }
            break;
        case Display::SideBySideTurned:
            composeRaster(photoRaster(), panel, kBackgroundGrey, back.data(), w / 2, h, w * 4);
            composeEye({&lowerRaster(), panel, 1.0}, kBackgroundGrey, rightPanel);
            break;
        case Display::SideBySideTurnedCopy:
            composeRaster(photoRaster(), panel, kBackgroundGrey, back.data(), w / 2, h, w * 4);
            composeEye({&turnedCopy(), panel}, kBackgroundGrey, rightPanel);
            break;
        case Display::Anaglyph:
            composeAnaglyph(AnaglyphKind::RedCyanDubois, left, right, kBackgroundGrey, frame);
            break;
        case Display::HalfSideBySide:
        case Display::HalfTopBottom:
            composeHalf(display == Display::HalfSideBySide ? HalfLayout::SideBySide
                                                           : HalfLayout::TopBottom,
                        left, right, kBackgroundGrey, frame);
            break;
        case Display::RowInterlaced:
        case Display::ColumnInterlaced:
            composeInterlaced(display == Display::RowInterlaced ? InterlaceAxis::Rows
                                                                : InterlaceAxis::Columns,
                              left, right, 1, 0, kBackgroundGrey, frame);
            break;
        }
        benchmark::ClobberMemory();
    }
}

std::string displayKey(Display d, int zoom) {
    return "BM_Display/" + std::to_string(int(d)) + "/" + std::to_string(zoom);
}

void registerAll() {
    const auto timed = [](benchmark::internal::Benchmark* b) {
        bestOf(b->Unit(benchmark::kMicrosecond)->MinTime(0.03), 10);
    };
    timed(benchmark::RegisterBenchmark("BM_MeasureAlignment", BM_MeasureAlignment));
    timed(benchmark::RegisterBenchmark("BM_MeasureDisparity", BM_MeasureDisparity));
    timed(benchmark::RegisterBenchmark("BM_TurnCopy", BM_TurnCopy));
    timed(benchmark::RegisterBenchmark("BM_CopyPair", BM_CopyPair));
    for (const Area a : kAreas) {
        for (const int mode : kModes) {
            for (const int zoom : kZooms) {
                timed(benchmark::RegisterBenchmark("BM_ComposePanel", BM_ComposePanel)
                          ->Args({a.width, a.height, mode, zoom}));
                timed(benchmark::RegisterBenchmark("BM_CopySource", BM_CopySource)
                          ->Args({a.width, a.height, mode, zoom}));
            }
            timed(benchmark::RegisterBenchmark("BM_SourceFloor", BM_SourceFloor)
                      ->Args({a.width, a.height, mode, 0}));
        }
    }
    timed(benchmark::RegisterBenchmark("BM_CopyBackBuffer", BM_CopyBackBuffer)
              ->Args({kDisplayArea.width, kDisplayArea.height}));
    for (const int zoom : kDisplayZooms) {
        timed(benchmark::RegisterBenchmark("BM_Display", BM_Display)
                  ->Args({int(Display::SideBySide), zoom}));
        timed(benchmark::RegisterBenchmark("BM_Display", BM_Display)
                  ->Args({int(Display::SideBySideTurned), zoom}));
        timed(benchmark::RegisterBenchmark("BM_Display", BM_Display)
                  ->Args({int(Display::SideBySideTurnedCopy), zoom}));
        for (const Display d : kDisplays) {
            timed(benchmark::RegisterBenchmark("BM_Display", BM_Display)->Args({int(d), zoom}));
        }
    }
}

void printRows(const TableReporter& results) {
    const double align = results.seconds("BM_MeasureAlignment");
    const double pairCopy = results.seconds("BM_CopyPair");
    printRow("measure vertical alignment, 2 x 6000x4000", milliseconds(align),
             "memcpy of both " + milliseconds(pairCopy), align / pairCopy, Target{4.0});
    printRow("  the same against its budget", milliseconds(align), milliseconds(0.040),
             align / 0.040, std::nullopt);
    const double depths = results.seconds("BM_MeasureDisparity");
    printRow("measure disparities after it, 2 x 6000x4000", milliseconds(depths),
             "memcpy of both " + milliseconds(pairCopy), depths / pairCopy, std::nullopt);
    const double turning = results.seconds("BM_TurnCopy");
    printRow("turn a copy of one eye, 6000x4000, 1° (in the background)", milliseconds(turning),
             "memcpy of both " + milliseconds(pairCopy), turning / pairCopy, std::nullopt);
    for (const Area a : kAreas) {
        const std::string area = std::to_string(a.width) + "x" + std::to_string(a.height);
        for (const int mode : kModes) {
            double fastest = 1e9, slowest = 0;
            int fastestZoom = 0, slowestZoom = 0;
            for (const int zoom : kZooms) {
                const double t =
                    results.seconds(key("BM_ComposePanel", a.width, a.height, mode, zoom));
                const double copy =
                    results.seconds(key("BM_CopySource", a.width, a.height, mode, zoom));
                printRow("draw panel " + area + " mode " + std::to_string(mode) + " zoom " +
                             std::to_string(zoom),
                         milliseconds(t), "memcpy of its source " + milliseconds(copy), t / copy,
                         Target{6.0});
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
    const Area a = kDisplayArea;
    const std::string area = std::to_string(a.width) + "x" + std::to_string(a.height);
    const double copy = results.seconds(key("BM_CopyBackBuffer", a.width, a.height));
    for (const int zoom : kDisplayZooms) {
        const double sideBySide = results.seconds(displayKey(Display::SideBySide, zoom));
        const std::string at = " " + area + " zoom " + std::to_string(zoom);
        printRow(std::string("display ") + displayName(Display::SideBySide) + at,
                 milliseconds(sideBySide), "memcpy " + milliseconds(copy), sideBySide / copy,
                 std::nullopt);
        const double turned = results.seconds(displayKey(Display::SideBySideTurned, zoom));
        // Shrunk, the panels draw the eye turned only until its copy is made; enlarged, always.
        const bool shrunk = zoom == 0;
        printRow(std::string("display ") + displayName(Display::SideBySideTurned) + at,
                 milliseconds(turned), "unturned " + milliseconds(sideBySide), turned / sideBySide,
                 shrunk ? std::nullopt : std::optional<Target>(Target{1.5}));
        if (shrunk) {
            const double copied = results.seconds(displayKey(Display::SideBySideTurnedCopy, zoom));
            printRow(std::string("display ") + displayName(Display::SideBySideTurnedCopy) + at,
                     milliseconds(copied), "unturned " + milliseconds(sideBySide),
                     copied / sideBySide, Target{1.5});
        }
        for (const Display d : kDisplays) {
            const double t = results.seconds(displayKey(d, zoom));
            printRow(std::string("display ") + displayName(d) + at,
                     milliseconds(t) + " (" + std::to_string(int(t / copy + 0.5)) + " x memcpy)",
                     "side by side " + milliseconds(sideBySide), t / sideBySide, Target{3.0});
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
