#include "ViewFrm/logic/Layout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace duoptic {

void PrintTo(const Rect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

namespace {

TEST(MainLayout, DefaultClientArea) {
    const MainLayout m = computeMainLayout(553, 483, 4);
    EXPECT_EQ(m.panelHeight, 442);
    EXPECT_EQ(m.panelWidth, 264);
    EXPECT_EQ(m.scrollBarV, (Rect{0, 0, 20, 442}));
    EXPECT_EQ(m.pnPct1, (Rect{20, 0, 264, 442}));
    EXPECT_EQ(m.paintBox1, (Rect{3, 3, 258, 436}));
    EXPECT_EQ(m.pnPct2, (Rect{288, 0, 264, 442}));
    EXPECT_EQ(m.paintBox2, (Rect{3, 3, 258, 436}));
    EXPECT_EQ(m.scrollBarH, (Rect{20, 442, 532, 20}));
    EXPECT_EQ(m.pct4, (Rect{20, 462, 532, 21}));
    EXPECT_EQ(m.trackBar1, (Rect{1, 1, 530, 19}));
    EXPECT_EQ(m.bnTips, (Rect{0, 442, 20, 20}));
    EXPECT_EQ(m.bnRevers, (Rect{0, 462, 20, 20}));
}

struct LayoutRow {
    const char* name;
    int clientWidth, clientHeight, border;
    int panelWidth, panelHeight;
    int pnPct2Left;
    int areaWidth, areaHeight;
};

class MainLayoutRows : public testing::TestWithParam<LayoutRow> {};

TEST_P(MainLayoutRows, SizesAndPlaces) {
    const LayoutRow& row = GetParam();
    const MainLayout m = computeMainLayout(row.clientWidth, row.clientHeight, row.border);
    EXPECT_EQ(m.panelWidth, row.panelWidth);
    EXPECT_EQ(m.panelHeight, row.panelHeight);
    EXPECT_EQ(m.pnPct2.left, row.pnPct2Left);
    EXPECT_EQ(m.paintBox1.width, row.areaWidth);
    EXPECT_EQ(m.paintBox1.height, row.areaHeight);
    EXPECT_EQ(m.paintBox2, m.paintBox1);
    // The bars span both frames and the border; pct4 ends at the client's bottom.
    EXPECT_EQ(m.scrollBarH.left + m.scrollBarH.width, m.pnPct2.left + m.pnPct2.width);
    EXPECT_EQ(m.pct4.top + m.pct4.height, row.clientHeight);
    EXPECT_EQ(m.trackBar1.width, m.pct4.width - 2);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MainLayoutRows,
    testing::Values(LayoutRow{"OddRemainderDropped", 553, 483, 4, 264, 442, 288, 258, 436},
                    LayoutRow{"EvenFillsWidth", 552, 483, 4, 264, 442, 288, 258, 436},
                    LayoutRow{"WideBorder", 553, 483, 200, 166, 442, 386, 160, 436},
                    LayoutRow{"NarrowBorder", 553, 483, 1, 266, 442, 287, 260, 436},
                    LayoutRow{"NoPositiveArea", 225, 100, 200, 2, 59, 222, -4, 53},
                    LayoutRow{"NegativeHalfTruncatesTowardZero", 553, 483, 540, -3, 442, 557, -9,
                              436},
                    LayoutRow{"NegativeHeightPassesThrough", 553, 30, 4, 264, -11, 288, 258, -17}),
    [](const testing::TestParamInfo<LayoutRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace duoptic
