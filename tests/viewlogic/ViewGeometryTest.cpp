#include "ViewFrm/logic/ViewGeometry.h"
#include "ViewFrm/logic/Rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <tuple>

namespace duoptic {

void PrintTo(const Rect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

// Inputs as the window holds them: both aspects derived from the sizes.
ViewInputs inputs(int fitting, int zoom, int h, int v, int imageW, int imageH, int areaW,
                  int areaH) {
    ViewInputs in;
    in.fitting = fittingMode(fitting);
    in.zoom = zoom;
    in.horizontal = h;
    in.vertical = v;
    in.imageWidth = imageW;
    in.imageHeight = imageH;
    in.imageAspect = imageH == 0 ? 0.0 : static_cast<double>(imageW) / imageH;
    in.areaWidth = areaW;
    in.areaHeight = areaH;
    in.areaAspect = areaH == 0 ? 0.0 : static_cast<double>(areaW) / areaH;
    return in;
}

template <typename Row> std::string rowName(const testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

struct RoundRow {
    const char* name;
    double value;
    int expected;
};

class RoundToInt : public testing::TestWithParam<RoundRow> {};

TEST_P(RoundToInt, RoundsToNearestTiesToEvenAndSaturates) {
    EXPECT_EQ(roundToInt(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RoundToInt,
    testing::Values(RoundRow{"NegativeTieToEven", -80.5, -80},
                    RoundRow{"PositiveTieToEven", 84.5, 84}, RoundRow{"SmallTieDown", 2.5, 2},
                    RoundRow{"SmallTieUp", 3.5, 4}, RoundRow{"NegativeHalf", -0.5, 0},
                    RoundRow{"BelowHalf", -395.2, -395}, RoundRow{"AboveHalf", -481.6, -482},
                    RoundRow{"HugePositive", 1e20, kIntMax},
                    RoundRow{"HugeNegative", -1e20, kIntMin},
                    RoundRow{"JustBeyondMax", 2147483647.6, kIntMax},
                    RoundRow{"PlusInfinity", std::numeric_limits<double>::infinity(), kIntMax},
                    RoundRow{"MinusInfinity", -std::numeric_limits<double>::infinity(), kIntMin},
                    RoundRow{"NaN", std::nan(""), 0}),
    rowName<RoundRow>);

struct GeometryRow {
    const char* name;
    ViewInputs in;
    int displayedWidth, displayedHeight;
    int horizontalOffset, verticalOffset;
    Rect source;
};

class PanelGeometryExamples : public testing::TestWithParam<GeometryRow> {};

TEST_P(PanelGeometryExamples, MatchesWorkedExample) {
    const GeometryRow& row = GetParam();
    const PanelGeometry g = computePanelGeometry(row.in);
    ASSERT_TRUE(g.drawable);
    EXPECT_EQ(g.displayedWidth, row.displayedWidth);
    EXPECT_EQ(g.displayedHeight, row.displayedHeight);
    EXPECT_EQ(g.horizontalOffset, row.horizontalOffset);
    EXPECT_EQ(g.verticalOffset, row.verticalOffset);
    EXPECT_EQ(g.source, row.source);
}

// The sample image of 623 x 648 in the image area of the default window, 258 x 436.
INSTANTIATE_TEST_SUITE_P(Rows, PanelGeometryExamples,
                         testing::Values(GeometryRow{"WidthFitZoom0Centred",
                                                     inputs(0, 0, 50, 50, 623, 648, 258, 436),
                                                     258,
                                                     268,
                                                     0,
                                                     84,
                                                     {0, -203, 623, 1054}},
                                         GeometryRow{"WidthFitZoom100Centred",
                                                     inputs(0, 100, 50, 50, 623, 648, 258, 436),
                                                     1246,
                                                     1296,
                                                     -494,
                                                     -430,
                                                     {247, 215, 129, 218}},
                                         GeometryRow{"WidthFitZoom100BottomRight",
                                                     inputs(0, 100, 100, 100, 623, 648, 258, 436),
                                                     1246,
                                                     1296,
                                                     -988,
                                                     -860,
                                                     {494, 430, 129, 218}},
                                         GeometryRow{"WidthFitZoom100TopLeft",
                                                     inputs(0, 100, 0, 0, 623, 648, 258, 436),
                                                     1246,
                                                     1296,
                                                     0,
                                                     0,
                                                     {0, 0, 129, 218}},
                                         GeometryRow{"FormSizeZoom0WiderImage",
                                                     inputs(10, 0, 50, 50, 623, 648, 258, 436),
                                                     419,
                                                     436,
                                                     -80,
                                                     0,
                                                     {119, 0, 384, 648}},
                                         GeometryRow{"FormSizeMode1LikeMode10",
                                                     inputs(1, 0, 50, 50, 623, 648, 258, 436),
                                                     419,
                                                     436,
                                                     -80,
                                                     0,
                                                     {119, 0, 384, 648}},
                                         GeometryRow{"NegativeFormSizeMode",
                                                     inputs(-7, 0, 50, 50, 623, 648, 258, 436),
                                                     419,
                                                     436,
                                                     -80,
                                                     0,
                                                     {119, 0, 384, 648}},
                                         GeometryRow{"FormSizeZoom100",
                                                     inputs(10, 100, 0, 0, 623, 648, 258, 436),
                                                     2024,
                                                     2106,
                                                     0,
                                                     0,
                                                     {0, 0, 79, 134}},
                                         GeometryRow{"FormSizeMode1Zoom100",
                                                     inputs(1, 100, 0, 0, 623, 648, 258, 436),
                                                     2024,
                                                     2106,
                                                     0,
                                                     0,
                                                     {0, 0, 79, 134}},
                                         GeometryRow{"FormSizeEqualAspectsTakeWidthBranch",
                                                     inputs(10, 0, 50, 50, 1200, 800, 300, 200),
                                                     300,
                                                     200,
                                                     0,
                                                     0,
                                                     {0, 0, 1200, 800}},
                                         GeometryRow{"FormSizeTallerImageTakesWidthBranch",
                                                     inputs(10, 0, 50, 50, 400, 800, 300, 200),
                                                     300,
                                                     600,
                                                     0,
                                                     -200,
                                                     {0, 267, 400, 267}}),
                         rowName<GeometryRow>);

// Both products must be formed exactly: 46341 * 46341 overflows 32 bits.
TEST(PanelGeometry, PixelProductsDoNotOverflow32Bits) {
    const PanelGeometry g = computePanelGeometry(inputs(0, 0, 0, 0, 46341, 46341, 46341, 46341));
    ASSERT_TRUE(g.drawable);
    EXPECT_EQ(g.source, (Rect{0, 0, 46341, 46341}));
}

struct DegenerateRow {
    const char* name;
    ViewInputs in;
    bool drawable;
};

class PanelGeometryDegenerate : public testing::TestWithParam<DegenerateRow> {};

TEST_P(PanelGeometryDegenerate, NeverDividesByZero) {
    const PanelGeometry g = computePanelGeometry(GetParam().in);
    EXPECT_EQ(g.drawable, GetParam().drawable);
    if (g.drawable) {
        EXPECT_GT(g.displayedWidth, 0);
        EXPECT_GT(g.displayedHeight, 0);
        EXPECT_GE(g.source.width, 0);
        EXPECT_GE(g.source.height, 0);
    } else {
        EXPECT_EQ(g.displayedWidth, 0);
        EXPECT_EQ(g.source, Rect{});
    }
}

ViewInputs withAspect(ViewInputs in, double imageAspect) {
    in.imageAspect = imageAspect;
    return in;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PanelGeometryDegenerate,
    testing::Values(
        DegenerateRow{"NoImage", inputs(0, 0, 50, 50, 0, 0, 258, 436), false},
        DegenerateRow{"ImageWidthZero", inputs(10, 0, 50, 50, 0, 648, 258, 436), false},
        DegenerateRow{"ImageHeightZero", inputs(0, 0, 50, 50, 623, 0, 258, 436), false},
        DegenerateRow{"ImageAspectZero", withAspect(inputs(0, 0, 50, 50, 623, 648, 258, 436), 0),
                      false},
        DegenerateRow{"AreaWidthZeroWidthFit", inputs(0, 0, 50, 50, 623, 648, 0, 436), false},
        DegenerateRow{"AreaWidthZeroFormSize", inputs(10, 50, 50, 50, 623, 648, 0, 436), false},
        DegenerateRow{"AreaWidthNegative", inputs(0, 0, 50, 50, 623, 648, -12, 436), false},
        DegenerateRow{"AreaWidthNegativeFormSize", inputs(10, 0, 50, 50, 623, 648, -12, 436),
                      false},
        DegenerateRow{"AreaHeightZero", inputs(10, 0, 50, 50, 623, 648, 258, 0), false},
        DegenerateRow{"AreaHeightNegative", inputs(0, 0, 50, 50, 623, 648, 258, -6), false},
        DegenerateRow{"LongStripWidthFit", inputs(0, 0, 50, 50, 20000, 1, 100, 100), true},
        DegenerateRow{"LongStripWidthFitZoom100", inputs(0, 100, 50, 50, 20000, 1, 100, 100), true},
        DegenerateRow{"LongStripFormSize", inputs(10, 0, 50, 50, 20000, 1, 100, 100), true},
        DegenerateRow{"TallStripWidthFit", inputs(0, 0, 50, 50, 1, 20000, 100, 100), true},
        DegenerateRow{"TallStripFormSize", inputs(10, 0, 50, 50, 1, 20000, 100, 100), true},
        DegenerateRow{"HugeImageSaturates",
                      inputs(10, 100, 50, 50, 2000000000, 2000000000, 100, 100), true}),
    rowName<DegenerateRow>);

using Sizes = std::tuple<int, int, int, int, int, int, int>;
class ExtremeAspect : public testing::TestWithParam<Sizes> {};

// However long or high the picture and its panel, a pixel each way, from a source on the raster.
TEST_P(ExtremeAspect, AlwaysDrawsSomething) {
    const auto [imageW, imageH, areaW, areaH, fitting, zoom, scroll] = GetParam();
    const PanelGeometry g = computePanelGeometry(
        inputs(fitting, zoom, scroll, 100 - scroll, imageW, imageH, areaW, areaH));
    ASSERT_TRUE(g.drawable && g.displayedWidth >= 1 && g.displayedHeight >= 1);
    const Rect s = g.source;
    EXPECT_TRUE(s.width >= 1 && s.left < imageW && s.left + s.width > 0);
    EXPECT_TRUE(s.height >= 1 && s.top < imageH && s.top + s.height > 0);
}

using testing::Values;
INSTANTIATE_TEST_SUITE_P(Sizes, ExtremeAspect,
                         testing::Combine(Values(1, 3, 16, 65000), Values(1, 2, 16, 479, 65000),
                                          Values(1, 600), Values(1, 400, 1013), Values(0, 1),
                                          Values(0, 1, 100), Values(0, 37, 100)));

struct MetricsRow {
    const char* name;
    int imageW, imageH, boxW, boxH;
    bool present;
    double aspect;
};

class AreaMetricsRows : public testing::TestWithParam<MetricsRow> {};

TEST_P(AreaMetricsRows, FollowsPaintBox) {
    const MetricsRow& row = GetParam();
    const auto m = recomputeAreaMetrics(row.imageW, row.imageH, row.boxW, row.boxH);
    ASSERT_EQ(m.has_value(), row.present);
    if (m) {
        EXPECT_EQ(m->width, row.boxW);
        EXPECT_EQ(m->height, row.boxH);
        EXPECT_DOUBLE_EQ(m->aspect, row.aspect);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AreaMetricsRows,
    testing::Values(MetricsRow{"NoImageKeepsMetrics", 0, 0, 258, 436, false, 0},
                    MetricsRow{"ImageHeightZero", 623, 0, 258, 436, false, 0},
                    MetricsRow{"DefaultArea", 623, 648, 258, 436, true, 258.0 / 436.0},
                    MetricsRow{"AreaHeightZero", 623, 648, 258, 0, true, 0},
                    MetricsRow{"AreaEmpty", 623, 648, 0, 0, true, 0}),
    rowName<MetricsRow>);

TEST(AreaMetrics, ZeroHeightAreaIsNotDrawable) {
    const auto m = recomputeAreaMetrics(623, 648, 258, 0);
    ASSERT_TRUE(m.has_value());
    ViewInputs in = inputs(10, 0, 50, 50, 623, 648, m->width, m->height);
    in.areaAspect = m->aspect;
    EXPECT_FALSE(computePanelGeometry(in).drawable);
}

} // namespace
} // namespace duoptic
