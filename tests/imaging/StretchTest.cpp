#include "imaging/Stretch.h"
#include "NumberedPicture.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace duoptic {
namespace {

// Every pixel tells where it came from: 0xFF, x (12 bits), y (12 bits); never the grey.
using testing::numberedPicture;

std::shared_ptr<Picture> indexedPicture(int width, int height) {
    auto picture = std::make_shared<Picture>(PixelFormat::Indexed8, width, height);
    for (int i = 0; i < 256; ++i) {
        picture->palette()[static_cast<std::size_t>(i)] =
            0xFF000000u | static_cast<std::uint32_t>(255 - i) << 16 | static_cast<std::uint32_t>(i);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture->row(y)[x] = static_cast<std::uint8_t>(x * 3 + y * 11);
        }
    }
    return picture;
}

// A destination with a padded stride, filled grey; the padding must stay untouched.
struct Canvas {
    Canvas(int w, int h) : width(w), height(h), stride(w + 3), pixels(std::size_t(stride) * h + 1) {
        fillBackground(pixels.data(), width, height, stride * 4, kBackgroundGrey);
    }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * stride + x]; }
    void draw(const Raster& raster, Rect rect) {
        stretchRaster(raster, rect, pixels.data(), width, height, stride * 4);
    }
    void expectPaddingUntouched() const {
        for (int y = 0; y < height; ++y) {
            for (int x = width; x < stride; ++x) {
                ASSERT_EQ(at(x, y), 0u) << "padding " << x << "," << y;
            }
        }
    }
    int width;
    int height;
    int stride;
    std::vector<std::uint32_t> pixels;
};

using Expected = std::function<std::optional<std::pair<int, int>>(int dx, int dy)>;

struct MappingCase {
    const char* name;
    int rasterWidth;
    int rasterHeight;
    Rect rect;
    int dstWidth;
    int dstHeight;
    Expected source; // the raster pixel destination (dx, dy) shows, or none for grey

    friend void PrintTo(const MappingCase& c, std::ostream* os) { *os << c.name; }
};

class Mapping : public ::testing::TestWithParam<MappingCase> {};

TEST_P(Mapping, ShowsTheExpectedRasterPixels) {
    const MappingCase& c = GetParam();
    const Raster raster = Raster::whole(numberedPicture(c.rasterWidth, c.rasterHeight));
    Canvas canvas(c.dstWidth, c.dstHeight);
    canvas.draw(raster, c.rect);
    for (int dy = 0; dy < c.dstHeight; ++dy) {
        for (int dx = 0; dx < c.dstWidth; ++dx) {
            const auto s = c.source(dx, dy);
            const bool inside = s && s->first >= 0 && s->first < c.rasterWidth && s->second >= 0 &&
                                s->second < c.rasterHeight;
            const std::uint32_t expected =
                inside ? raster.pixel(s->first, s->second) : kBackgroundGrey;
            ASSERT_EQ(canvas.at(dx, dy), expected) << "at " << dx << "," << dy;
        }
    }
    canvas.expectPaddingUntouched();
}

std::optional<std::pair<int, int>> at(int x, int y) {
    return std::make_pair(x, y);
}

INSTANTIATE_TEST_SUITE_P(
    Rects, Mapping,
    ::testing::Values(
        MappingCase{"Identity", 13, 7, {0, 0, 13, 7}, 13, 7, [](int x, int y) { return at(x, y); }},
        MappingCase{"DoubleRepeatsEveryPixelTwice",
                    13,
                    7,
                    {0, 0, 13, 7},
                    26,
                    14,
                    [](int x, int y) { return at(x / 2, y / 2); }},
        MappingCase{"TripleOfAPart",
                    13,
                    7,
                    {2, 1, 4, 3},
                    12,
                    9,
                    [](int x, int y) { return at(2 + x / 3, 1 + y / 3); }},
        MappingCase{"HalfTakesThePixelUnderTheCentre",
                    20,
                    16,
                    {0, 0, 20, 16},
                    10,
                    8,
                    [](int x, int y) { return at(2 * x + 1, 2 * y + 1); }},
        MappingCase{"ReachingOutTopLeft",
                    10,
                    8,
                    {-3, -2, 10, 8},
                    10,
                    8,
                    [](int x, int y) { return at(x - 3, y - 2); }},
        MappingCase{"ReachingOutBottomRight",
                    10,
                    8,
                    {4, 5, 10, 8},
                    10,
                    8,
                    [](int x, int y) { return at(x + 4, y + 5); }},
        MappingCase{"LargerThanTheRasterOnAllSides",
                    4,
                    3,
                    {-2, -1, 8, 5},
                    16,
                    10,
                    [](int x, int y) { return at(x / 2 - 2, y / 2 - 1); }},
        MappingCase{"WhollyOutside",
                    10,
                    8,
                    {20, 0, 10, 8},
                    10,
                    8,
                    [](int, int) { return std::optional<std::pair<int, int>>(); }},
        MappingCase{
            "OnePixelFillsAll", 10, 8, {5, 3, 1, 1}, 40, 30, [](int, int) { return at(5, 3); }},
        MappingCase{"HugeRectOverSmallRaster",
                    10,
                    10,
                    {-1000000000, -1000000000, 2000000000, 2000000000},
                    50,
                    50,
                    [](int, int) { return std::optional<std::pair<int, int>>(); }}),
    [](const auto& info) { return std::string(info.param.name); });

// Image 623 x 648 in an area 258 x 436, fitted to the width: displayed 258 x 268 with grey
// bands of 84 rows above and below.
TEST(Stretch, FittedToTheWidthLeavesGreyBandsAboveAndBelow) {
    const Raster raster = Raster::whole(numberedPicture(623, 648));
    Canvas canvas(258, 436);
    canvas.draw(raster, {0, -203, 623, 1054});
    for (int dy = 0; dy < 436; ++dy) {
        const bool band = dy < 84 || dy >= 84 + 268;
        for (int dx = 0; dx < 258; ++dx) {
            ASSERT_EQ(canvas.at(dx, dy) == kBackgroundGrey, band) << dx << "," << dy;
        }
    }
    EXPECT_EQ(canvas.at(0, 84) >> 12 & 0xFFF, 1u);      // x under the first column's centre
    EXPECT_EQ(canvas.at(257, 351) & 0xFFF, 646u);       // y under the last image row's centre
    EXPECT_EQ(canvas.at(257, 351) >> 12 & 0xFFF, 621u); // x under the last column's centre
}

TEST(Stretch, IndexedPixelsGoThroughThePalette) {
    const auto picture = indexedPicture(9, 5);
    const Raster raster = Raster::whole(picture);
    Canvas canvas(18, 5);
    canvas.draw(raster, {0, 0, 9, 5});
    for (int dy = 0; dy < 5; ++dy) {
        for (int dx = 0; dx < 18; ++dx) {
            ASSERT_EQ(canvas.at(dx, dy), picture->palette()[picture->row(dy)[dx / 2]]);
        }
    }
}

TEST(Stretch, AHalfShowsItsOwnColumns) {
    const auto picture = numberedPicture(21, 4);
    const Raster right = splitSideBySide(picture).right;
    Canvas canvas(10, 4);
    canvas.draw(right, {0, 0, 10, 4});
    EXPECT_EQ(canvas.at(0, 2), Raster::whole(picture).pixel(10, 2));
    EXPECT_EQ(canvas.at(9, 3), Raster::whole(picture).pixel(19, 3));
}

struct NothingCase {
    const char* name;
    int rasterWidth; // of a half of a picture twice as wide
    Rect rect;
    int dstWidth;
    int dstHeight;

    friend void PrintTo(const NothingCase& c, std::ostream* os) { *os << c.name; }
};

class DrawsNothing : public ::testing::TestWithParam<NothingCase> {};

TEST_P(DrawsNothing, LeavesTheDestinationAsItWas) {
    const NothingCase& c = GetParam();
    const Raster raster = splitSideBySide(numberedPicture(2 * c.rasterWidth + 1, 6)).left;
    Canvas canvas(8, 6);
    stretchRaster(raster, c.rect, canvas.pixels.data(), c.dstWidth, c.dstHeight, canvas.stride * 4);
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            ASSERT_EQ(canvas.at(x, y), kBackgroundGrey) << x << "," << y;
        }
    }
    canvas.expectPaddingUntouched();
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, DrawsNothing,
    ::testing::Values(NothingCase{"ZeroWideRaster", 0, {0, 0, 8, 6}, 8, 6},
                      NothingCase{"ZeroWideRect", 8, {0, 0, 0, 6}, 8, 6},
                      NothingCase{"NegativeHighRect", 8, {0, 0, 8, -6}, 8, 6},
                      NothingCase{"ZeroWideDestination", 8, {0, 0, 8, 6}, 0, 6},
                      NothingCase{"NegativeHighDestination", 8, {0, 0, 8, 6}, 8, -1}),
    [](const auto& info) { return std::string(info.param.name); });

// The per-pixel rule, written plainly: what the column table, the clipping and the row repeats
// must reproduce.
std::uint32_t plainPixel(const Raster& raster, Rect r, int dx, int dy, int w, int h) {
    const std::int64_t sx = r.left + (2 * std::int64_t{dx} + 1) * r.width / (2 * std::int64_t{w});
    const std::int64_t sy = r.top + (2 * std::int64_t{dy} + 1) * r.height / (2 * std::int64_t{h});
    if (sx < 0 || sy < 0 || sx >= raster.width() || sy >= raster.height()) {
        return kBackgroundGrey;
    }
    return raster.pixel(static_cast<int>(sx), static_cast<int>(sy));
}

TEST(Stretch, AgreesWithThePlainRuleForManyRects) {
    std::mt19937 random(20240601);
    const auto number = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const Raster rasters[] = {Raster::whole(numberedPicture(37, 23)),
                              Raster::whole(indexedPicture(29, 31)),
                              splitSideBySide(numberedPicture(51, 17)).right};
    for (int round = 0; round < 300; ++round) {
        const Raster& raster = rasters[round % 3];
        const Rect rect{number(-40, 40), number(-40, 40), number(1, 90), number(1, 90)};
        Canvas canvas(number(1, 60), number(1, 60));
        canvas.draw(raster, rect);
        for (int dy = 0; dy < canvas.height; ++dy) {
            for (int dx = 0; dx < canvas.width; ++dx) {
                ASSERT_EQ(canvas.at(dx, dy),
                          plainPixel(raster, rect, dx, dy, canvas.width, canvas.height))
                    << "round " << round << " at " << dx << "," << dy;
            }
        }
        canvas.expectPaddingUntouched();
    }
}

// The panel's one-pass composition gives exactly what the grey fill followed by the stretch gives,
// whatever the destination held before.
TEST(Compose, EqualsFillThenStretchForManyRects) {
    std::mt19937 random(20240715);
    const auto number = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const Raster rasters[] = {Raster::whole(numberedPicture(37, 23)),
                              Raster::whole(indexedPicture(29, 31)),
                              splitSideBySide(numberedPicture(51, 17)).right,
                              splitSideBySide(numberedPicture(1, 5)).left}; // 0 wide
    for (int round = 0; round < 400; ++round) {
        const Raster& raster = rasters[round % 4];
        const Rect rect{number(-40, 40), number(-40, 40), number(-2, 90), number(-2, 90)};
        Canvas expected(number(1, 60), number(1, 60));
        expected.draw(raster, rect);
        Canvas composed(expected.width, expected.height);
        for (int y = 0; y < composed.height; ++y) {
            std::fill_n(composed.pixels.data() + std::size_t(y) * composed.stride, composed.width,
                        0xFF123456u);
        }
        composeRaster(raster, rect, kBackgroundGrey, composed.pixels.data(), composed.width,
                      composed.height, composed.stride * 4);
        for (int dy = 0; dy < composed.height; ++dy) {
            for (int dx = 0; dx < composed.width; ++dx) {
                ASSERT_EQ(composed.at(dx, dy), expected.at(dx, dy))
                    << "round " << round << " at " << dx << "," << dy;
            }
        }
        composed.expectPaddingUntouched();
    }
}

} // namespace
} // namespace duoptic
