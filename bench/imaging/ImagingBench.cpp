#include "JpegWriter.h"

#include "imaging/JpegDecoder.h"
#include "imaging/Raster.h"
#include "imaging/Stretch.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

using namespace duoptic;
namespace fs = std::filesystem;

struct Circle {
    double cx, cy, radius; // fractions of the view's width and height
    std::uint8_t r, g, b;
    double depth; // fraction of the width by which the right eye sees it shifted
};

const Circle kCircles[] = {
    {0.30, 0.40, 0.18, 190, 60, 40, 0.010},  {0.65, 0.55, 0.22, 50, 140, 70, 0.004},
    {0.50, 0.80, 0.10, 230, 210, 90, 0.015}, {0.82, 0.25, 0.08, 40, 70, 180, 0.002},
    {0.15, 0.75, 0.12, 120, 90, 160, 0.008},
};

// A photograph stand-in: smooth gradients, overlapping discs and fine grain, which compresses at
// quality 90 to about 2.5 bits a pixel like a real photo.
class Scene {
public:
    Scene(int viewWidth, int height) : viewWidth_(viewWidth), height_(height) {}

    // One eye's view into row, starting at out (3 bytes a pixel).
    void fillView(int y, bool rightEye, std::uint8_t* out) {
        const double v = double(y) / height_;
        for (int x = 0; x < viewWidth_; ++x) {
            const double u = double(x) / viewWidth_;
            double r = 120 + 70 * u + 30 * v, g = 100 + 60 * v, b = 160 - 80 * u * v;
            for (const Circle& c : kCircles) {
                const double dx = (u - c.cx - (rightEye ? c.depth : 0)) * viewWidth_;
                const double dy = (v - c.cy) * height_;
                const double rr = c.radius * height_;
                if (dx * dx + dy * dy < rr * rr) {
                    const double shade = 0.75 + 0.25 * (dy / rr);
                    r = c.r * shade, g = c.g * shade, b = c.b * shade;
                }
            }
            out[3 * x] = grain(r);
            out[3 * x + 1] = grain(g);
            out[3 * x + 2] = grain(b);
        }
    }

private:
    std::uint8_t grain(double value) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        const double noisy = value + double(int(state_ & 31) - 16) * 1.1;
        return static_cast<std::uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, noisy))));
    }

    int viewWidth_;
    int height_;
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

std::vector<std::uint8_t> photoJpeg(int width, int height, bool sideBySide) {
    const int view = sideBySide ? width / 2 : width;
    Scene scene(view, height);
    return testing::writeJpeg({width, height, testing::JpegKind::Colour, 90, false},
                              [&](int y, std::uint8_t* row) {
                                  scene.fillView(y, false, row);
                                  if (sideBySide) {
                                      scene.fillView(y, true, row + 3 * view);
                                  }
                              });
}

// The generated files, written once into a temporary folder.
struct Files {
    Files() {
        std::string pattern = (fs::temp_directory_path() / "duoptic-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        dir = pattern;
        sideBySide = write("pair_DUP.jpg", photoJpeg(12000, 4000, true));
        single = write("single_DUL.jpg", photoJpeg(6000, 4000, false));
    }
    ~Files() { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        std::printf("%s: %zu bytes, %.2f bits a pixel\n", name.c_str(), bytes.size(),
                    8.0 * double(bytes.size()) /
                        (name == "pair_DUP.jpg" ? 12000.0 * 4000 : 6000.0 * 4000));
        return path.string();
    }

    fs::path dir;
    std::string sideBySide;
    std::string single;
};

Files& files() {
    static Files f;
    return f;
}

template <typename Action> double seconds(Action action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_DecodeFirstLoad(benchmark::State& state) {
    const std::string& path = files().sideBySide;
    for (auto _ : state) {
        JpegDecoder decoder;
        state.SetIterationTime(seconds([&] {
            decoder.readFile(path);
            benchmark::DoNotOptimize(decoder.picture()->bits());
        }));
    }
}

void BM_DecodeRepeatedLoad(benchmark::State& state) {
    const std::string& path = files().sideBySide;
    JpegDecoder decoder;
    decoder.readFile(path);
    decoder.picture();
    for (auto _ : state) {
        state.SetIterationTime(seconds([&] {
            decoder.readFile(path);
            benchmark::DoNotOptimize(decoder.picture()->bits());
        }));
    }
}

double childCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto s = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

// The reference: libjpeg-turbo's own command-line decoder, same settings, output discarded. Its
// CPU time (a child's) is reported as a counter, comparable to the CPU column of the loads.
void BM_DjpegReference(benchmark::State& state) {
    const std::string command = "djpeg -dct float -outfile /dev/null '" + files().sideBySide + "'";
    const double cpuBefore = childCpuSeconds();
    for (auto _ : state) {
        int status = 0;
        state.SetIterationTime(seconds([&] { status = std::system(command.c_str()); }));
        if (status != 0) {
            state.SkipWithError("djpeg failed");
            break;
        }
    }
    state.counters["djpeg_cpu_ms"] = 1e3 * (childCpuSeconds() - cpuBefore) /
                                     double(std::max<std::int64_t>(state.iterations(), 1));
}

// The source rectangle of an area 1920 x 2000 onto a 6000 x 4000 picture, fitted to the width,
// both positions centred, at the given zoom position (0..100).
SourceRect zoomRect(int zoom) {
    const double imageW = 6000, imageH = 4000, areaW = 1920, areaH = 2000;
    const double e = areaW / imageW;
    const double z = e + (2 - e) * zoom / 100.0;
    const double shownW = std::nearbyint(imageW * z);
    const double shownH = std::nearbyint(imageW * z / (imageW / imageH));
    const double left = std::nearbyint((areaW - shownW) * 0.5);
    const double top = std::nearbyint((areaH - shownH) * 0.5);
    return {
        int(std::nearbyint(-left * imageW / shownW)), int(std::nearbyint(-top * imageH / shownH)),
        int(std::nearbyint(imageW * areaW / shownW)), int(std::nearbyint(imageH * areaH / shownH))};
}

constexpr int kAreaWidth = 1920;
constexpr int kAreaHeight = 2000;

const Raster& singleRaster() {
    static const Raster raster = [] {
        JpegDecoder decoder;
        decoder.readFile(files().single);
        return Raster::whole(decoder.picture());
    }();
    return raster;
}

void BM_Stretch(benchmark::State& state) {
    const Raster& raster = singleRaster();
    const SourceRect rect = zoomRect(static_cast<int>(state.range(0)));
    std::vector<std::uint32_t> area(std::size_t(kAreaWidth) * kAreaHeight);
    fillBackground(area.data(), kAreaWidth, kAreaHeight, kAreaWidth * 4, kBackgroundGrey);
    for (auto _ : state) {
        stretchRaster(raster, rect, area.data(), kAreaWidth, kAreaHeight, kAreaWidth * 4);
        benchmark::ClobberMemory();
    }
    state.SetLabel("rect " + std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
                   std::to_string(rect.width) + "x" + std::to_string(rect.height));
}

void BM_FillAndStretch(benchmark::State& state) {
    const Raster& raster = singleRaster();
    const SourceRect rect = zoomRect(static_cast<int>(state.range(0)));
    std::vector<std::uint32_t> area(std::size_t(kAreaWidth) * kAreaHeight);
    for (auto _ : state) {
        fillBackground(area.data(), kAreaWidth, kAreaHeight, kAreaWidth * 4, kBackgroundGrey);
        stretchRaster(raster, rect, area.data(), kAreaWidth, kAreaHeight, kAreaWidth * 4);
        benchmark::ClobberMemory();
    }
}

void BM_MemcpyArea(benchmark::State& state) {
    std::vector<std::uint32_t> from(std::size_t(kAreaWidth) * kAreaHeight, 0xFF102030);
    std::vector<std::uint32_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_DecodeFirstLoad)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DecodeRepeatedLoad)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DjpegReference)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Stretch)->Arg(0)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillAndStretch)->Arg(0)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyArea)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
