#include "imaging/Orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace duoptic {

namespace {

// Where the upright picture's pixels come from: the stored pixel under its pixel (0, 0), and the
// steps in the stored picture, in bytes, for one pixel right and one pixel down in the upright one.
struct Walk {
    std::ptrdiff_t start = 0;
    std::ptrdiff_t right = 0;
    std::ptrdiff_t down = 0;
};

Walk walkFor(int orientation, int width, int height, std::ptrdiff_t pixel, std::ptrdiff_t row) {
    const std::ptrdiff_t lastColumn = (width - 1) * pixel;
    const std::ptrdiff_t lastRow = (height - 1) * row;
    switch (orientation) {
    case 2:
        return {lastColumn, -pixel, row};
    case 3:
        return {lastColumn + lastRow, -pixel, -row};
    case 4:
        return {lastRow, pixel, -row};
    case 5:
        return {0, row, pixel};
    case 6:
        return {lastRow, -row, pixel};
    case 7:
        return {lastColumn + lastRow, -row, -pixel};
    case 8:
        return {lastColumn, row, -pixel};
    default:
        return {0, pixel, row};
    }
}

// Copies in square tiles, so that a quarter turn reads the stored rows a cache line at a time.
template <typename Pixel>
void copyTurned(const std::uint8_t* stored, const Walk& walk, Picture& upright) {
    constexpr int kTile = 64;
    for (int top = 0; top < upright.height(); top += kTile) {
        const int bottom = std::min(top + kTile, upright.height());
        for (int left = 0; left < upright.width(); left += kTile) {
            const int right = std::min(left + kTile, upright.width());
            for (int y = top; y < bottom; ++y) {
                auto* out = reinterpret_cast<Pixel*>(upright.row(y));
                const std::uint8_t* from = stored + walk.start + y * walk.down;
                for (int x = left; x < right; ++x) {
                    out[x] = *reinterpret_cast<const Pixel*>(from + x * walk.right);
                }
            }
        }
    }
}

} // namespace

std::shared_ptr<const Picture> turnUpright(const Raster& raster, int orientation) {
    if (raster.empty()) {
        return nullptr;
    }
    const bool quarter = turnsAQuarter(orientation);
    auto upright =
        std::make_shared<Picture>(raster.format(), quarter ? raster.height() : raster.width(),
                                  quarter ? raster.width() : raster.height());
    const bool indexed = raster.format() == PixelFormat::Indexed8;
    const Walk walk =
        walkFor(orientation, raster.width(), raster.height(), indexed ? 1 : 4, raster.stride());
    if (indexed) {
        upright->palette() = raster.palette();
        copyTurned<std::uint8_t>(raster.row(0), walk, *upright);
    } else {
        copyTurned<std::uint32_t>(raster.row(0), walk, *upright);
    }
    return upright;
}

} // namespace duoptic
