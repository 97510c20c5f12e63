#include "modes/DisplayModes.h"
#include "modes/FittingModes.h"
#include "modes/ViewerModes.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace duoptic {
namespace {

struct Row {
    const char* name;
    std::string stored;
    bool crossing;
    std::string reversed;
};

// Failures name the row instead of dumping its bytes.
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class ViewerModeTest : public testing::TestWithParam<Row> {};

TEST_P(ViewerModeTest, MeaningAndReverse) {
    EXPECT_EQ(isCrossing(viewerSides(GetParam().stored)), GetParam().crossing);
    EXPECT_EQ(reversedViewerMode(GetParam().stored), GetParam().reversed);
}

// A hand-edited file may hold anything; only the exact text means crossing.
INSTANTIATE_TEST_SUITE_P(Rows, ViewerModeTest,
                         testing::Values(Row{"Parallel", "(Parallel)", false, "(Crossing)"},
                                         Row{"Crossing", "(Crossing)", true, "(Parallel)"},
                                         Row{"LowerCase", "(crossing)", false, "(Crossing)"},
                                         Row{"WithoutParentheses", "Crossing", false, "(Crossing)"},
                                         Row{"Empty", "", false, "(Crossing)"}),
                         [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

TEST(ViewerMode, ReversingTwiceGivesTheModeBack) {
    for (std::string_view mode : {kParallel, kCrossing}) {
        EXPECT_EQ(reversedViewerMode(reversedViewerMode(mode)), mode);
    }
}

TEST(FittingMode, StoredValuesKeepTheirMeaning) {
    for (const FittingMode mode : {FittingMode::ImageWidth, FittingMode::FormSize}) {
        EXPECT_EQ(fittingMode(storedFittingMode(mode)), mode);
    }
    EXPECT_EQ(fittingMode(1), FittingMode::FormSize); // any value but 0 fills the panel
    EXPECT_EQ(fittingMode(-1), FittingMode::FormSize);
}

// The mode key goes round the menu in its order, passing Two Screens by without a second screen.
TEST(DisplayMode, TheKeyGoesRoundTheMenu) {
    for (const bool secondScreen : {false, true}) {
        DisplayMode mode = DisplayMode::SideBySide;
        for (const DisplayModeNames& names : kDisplayModes) {
            if (secondScreen || names.mode != DisplayMode::TwoScreens) {
                EXPECT_EQ(mode, names.mode) << secondScreen;
                mode = nextDisplayMode(mode, secondScreen);
            }
        }
        EXPECT_EQ(mode, DisplayMode::SideBySide) << secondScreen;
    }
}

} // namespace
} // namespace duoptic
