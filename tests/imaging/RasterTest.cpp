#include "imaging/Raster.h"
#include "NumberedPicture.h"

#include <gtest/gtest.h>

#include <ostream>

#include <memory>
#include <string>

namespace duoptic {
namespace {

// Every pixel tells where it came from: 0xFF, x (12 bits), y (12 bits).
using testing::numberedPicture;

struct SplitCase {
    const char* name;
    int width;
    int height;
    int halfWidth;

    friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }
};

class Split : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Split, GivesTwoEqualHalvesOfTheSamePixels) {
    const SplitCase& c = GetParam();
    const auto picture = numberedPicture(c.width, c.height);
    const Raster whole = Raster::whole(picture);
    const SplitHalves halves = splitSideBySide(picture);
    for (const Raster* half : {&halves.left, &halves.right}) {
        EXPECT_EQ(half->width(), c.halfWidth);
        EXPECT_EQ(half->height(), c.height);
        EXPECT_TRUE(half->sharesPixelsWith(whole));
    }
    for (int y = 0; y < c.height; y += 97) {
        for (int x = 0; x < c.halfWidth; ++x) {
            ASSERT_EQ(halves.left.pixel(x, y), whole.pixel(x, y));
            ASSERT_EQ(halves.right.pixel(x, y), whole.pixel(c.halfWidth + x, y));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, Split,
                         ::testing::Values(SplitCase{"Even", 1000, 500, 500},
                                           SplitCase{"OddLastColumnInNeither", 1001, 500, 500},
                                           SplitCase{"TwoWide", 2, 3, 1},
                                           SplitCase{"OneWide", 1, 7, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ColumnsCase {
    const char* name;
    int first;
    int width;
    int expectedFirst; // column of the whole raster shown first
    int expectedWidth;

    friend void PrintTo(const ColumnsCase& c, std::ostream* os) { *os << c.name; }
};

class Columns : public ::testing::TestWithParam<ColumnsCase> {};

TEST_P(Columns, AreCutToTheRaster) {
    const ColumnsCase& c = GetParam();
    const Raster whole = Raster::whole(numberedPicture(10, 4));
    const Raster part = whole.columns(c.first, c.width);
    EXPECT_EQ(part.width(), c.expectedWidth);
    for (int x = 0; x < part.width(); ++x) {
        EXPECT_EQ(part.pixel(x, 3), whole.pixel(c.expectedFirst + x, 3));
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, Columns,
                         ::testing::Values(ColumnsCase{"Inside", 2, 5, 2, 5},
                                           ColumnsCase{"PastTheRightEdge", 8, 5, 8, 2},
                                           ColumnsCase{"BeforeTheLeftEdge", -3, 4, 0, 4},
                                           ColumnsCase{"BeyondTheRaster", 12, 3, 10, 0},
                                           ColumnsCase{"NegativeWidth", 3, -1, 3, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Raster, ColumnsOfAHalfCountFromTheHalf) {
    const auto picture = numberedPicture(20, 2);
    const Raster right = splitSideBySide(picture).right;
    EXPECT_EQ(right.columns(3, 2).pixel(0, 1), Raster::whole(picture).pixel(13, 1));
}

TEST(Raster, DefaultIsEmptyAndSharesNothing) {
    const Raster none;
    EXPECT_EQ(none.width(), 0);
    EXPECT_EQ(none.height(), 0);
    EXPECT_TRUE(none.empty());
    EXPECT_FALSE(none.sharesPixelsWith(Raster()));
    EXPECT_TRUE(none.columns(0, 5).empty());
}

TEST(Raster, SwapTwiceGivesBackBothSides) {
    const auto a = numberedPicture(6, 4);
    Raster left = Raster::whole(a);
    Raster right = splitSideBySide(numberedPicture(9, 3)).right;
    const Raster oldLeft = left;
    const Raster oldRight = right;
    swap(left, right);
    EXPECT_EQ(left.width(), 4);
    EXPECT_EQ(left.height(), 3);
    EXPECT_TRUE(right.sharesPixelsWith(oldLeft));
    EXPECT_EQ(left.pixel(1, 2), oldRight.pixel(1, 2));
    swap(left, right);
    EXPECT_TRUE(left.sharesPixelsWith(oldLeft));
    EXPECT_EQ(right.pixel(3, 0), oldRight.pixel(3, 0));
    EXPECT_EQ(right.width(), oldRight.width());
}

TEST(Raster, IndexedPixelsGoThroughThePalette) {
    auto picture = std::make_shared<Picture>(PixelFormat::Indexed8, 5, 2);
    picture->palette()[7] = 0xFF123456;
    picture->row(1)[4] = 7;
    EXPECT_EQ(Raster::whole(picture).pixel(4, 1), 0xFF123456u);
    EXPECT_EQ(picture->stride(), 8);
}

} // namespace
} // namespace duoptic
