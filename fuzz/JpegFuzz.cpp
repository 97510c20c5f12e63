// Any bytes as a pair file: header, decode, the split into halves, a drawing of each half, and a
// half turned as an orientation says and back.
#include "base/Error.h"
#include "imaging/JpegDecoder.h"
#include "imaging/Orientation.h"
#include "imaging/Raster.h"
#include "imaging/Stretch.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace duoptic;

// Pictures larger than this are legitimate but slow to decode thousands of times a second; the
// header check above this size is still fuzzed.
constexpr std::uint64_t kMaxFuzzedPixels = std::uint64_t{1} << 21;
constexpr int kSide = 48;    // destination of the one-to-one drawing, at most kSide x kSide
constexpr int kZoomedW = 37; // destination of the drawing through an arbitrary rectangle
constexpr int kZoomedH = 23;
constexpr std::uint32_t kUntouched = 0x12345678; // never a pixel: those are 0xFF......

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

void check(bool holds, const char* what) {
    if (!holds) {
        fail(what);
    }
}

std::uint64_t checksum(const Picture& p) {
    const std::size_t rowBytes =
        static_cast<std::size_t>(p.width()) * (p.format() == PixelFormat::Xrgb32 ? 4 : 1);
    std::uint64_t hash = 14695981039346656037ULL;
    for (int y = 0; y < p.height(); ++y) {
        const std::uint8_t* row = p.row(y);
        for (std::size_t i = 0; i < rowBytes; ++i) {
            hash = (hash ^ row[i]) * 1099511628211ULL;
        }
    }
    if (p.format() == PixelFormat::Indexed8) {
        for (const std::uint32_t colour : p.palette()) {
            hash = (hash ^ colour) * 1099511628211ULL;
        }
    }
    return hash;
}

// At one to one, the drawing must show exactly the raster's pixels, palette applied.
void drawOneToOne(const Raster& half) {
    const int w = std::min(half.width(), kSide);
    const int h = std::min(half.height(), kSide);
    if (w <= 0 || h <= 0) {
        return;
    }
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h),
                                   kUntouched);
    stretchRaster(half, Rect{0, 0, w, h}, out.data(), w, h, w * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            check(out[static_cast<std::size_t>(y * w + x)] == half.pixel(x, y),
                  "a one-to-one drawing shows the raster's pixels");
        }
    }
}

// A rectangle that may lie partly or wholly outside the raster, from the input's last bytes.
Rect rectangleFrom(const std::uint8_t* data, std::size_t size, const Raster& half) {
    auto byteAt = [&](std::size_t back) { return size > back ? data[size - 1 - back] : 0; };
    const int w = std::max(half.width(), 1);
    const int h = std::max(half.height(), 1);
    return Rect{static_cast<int>(byteAt(0)) % (2 * w) - w / 2,
                static_cast<int>(byteAt(1)) % (2 * h) - h / 2,
                1 + static_cast<int>(byteAt(2)) % (2 * w),
                1 + static_cast<int>(byteAt(3)) % (2 * h)};
}

// Turning a raster upright and then by the inverse turn gives back its pixels.
void turnAndBack(const Raster& half, std::uint8_t byte) {
    if (half.empty()) {
        return;
    }
    constexpr int kInverse[] = {0, 1, 2, 3, 4, 5, 8, 7, 6};
    const int orientation = 1 + byte % 8;
    const Raster turned = Raster::whole(turnUpright(half, orientation));
    const Raster back = Raster::whole(turnUpright(turned, kInverse[orientation]));
    check(back.width() == half.width() && back.height() == half.height(), "turned back in size");
    for (int y = 0; y < back.height(); ++y) {
        for (int x = 0; x < back.width(); ++x) {
            check(back.pixel(x, y) == half.pixel(x, y), "turned back, pixel for pixel");
        }
    }
}

void drawZoomed(const Raster& half, Rect rect) {
    std::vector<std::uint32_t> out(kZoomedW * kZoomedH, kUntouched);
    stretchRaster(half, rect, out.data(), kZoomedW, kZoomedH, kZoomedW * 4);
    for (const std::uint32_t pixel : out) {
        check(pixel == kUntouched || (pixel >> 24) == 0xFF, "drawn pixels are opaque");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    JpegDecoder decoder;
    try {
        decoder.readMemory(bytes);
    } catch (const Error&) {
        return 0;
    }
    check(size == 0 || (decoder.width() > 0 && decoder.height() > 0),
          "an accepted header has a size");
    if (std::uint64_t(decoder.width()) * std::uint64_t(decoder.height()) > kMaxFuzzedPixels) {
        return -1; // keep such inputs out of the corpus
    }
    std::uint64_t first = 0;
    try {
        const std::shared_ptr<const Picture> picture = decoder.picture();
        check(picture->width() == decoder.width() && picture->height() == decoder.height(),
              "the picture has the header's size");
        check(decoder.picture() == picture, "a picture is decoded once per read");
        const SplitHalves halves = splitSideBySide(picture);
        check(halves.left.width() == picture->width() / 2 &&
                  halves.right.width() == picture->width() / 2,
              "halves are W / 2 wide");
        for (const Raster* half : {&halves.left, &halves.right}) {
            check(half->height() == picture->height(), "halves are as high as the picture");
            drawOneToOne(*half);
            drawZoomed(*half, rectangleFrom(data, size, *half));
        }
        turnAndBack(halves.right, size > 4 ? data[size - 5] : 0);
        first = checksum(*picture);
    } catch (const Error&) {
        return 0;
    }
    // Nothing holds the picture now, so the next decode reuses its buffer: it must come out the
    // same as into a fresh one.
    decoder.readMemory(bytes);
    check(checksum(*decoder.picture()) == first, "a reused buffer decodes the same picture");
    return 0;
}
