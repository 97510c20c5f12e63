#include "ViewFrm/logic/NextScreen.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

struct Row {
    const char* name;
    std::vector<Rect> screens; // in the system's order
    std::size_t current;
    std::optional<std::size_t> expected;
};

class NextScreen : public testing::TestWithParam<Row> {};

TEST_P(NextScreen, IsTheNearestToTheRightElseTheFirstOther) {
    EXPECT_EQ(nextScreen(GetParam().screens, GetParam().current), GetParam().expected);
}

const Rect kA{0, 0, 1280, 1024}, kB{1280, 0, 1920, 1080}, kC{3200, 0, 800, 600};
INSTANTIATE_TEST_SUITE_P(
    Rows, NextScreen,
    testing::Values(Row{"OneScreen", {kA}, 0, {}}, Row{"ToTheRight", {kA, kB}, 0, 1},
                    Row{"RightmostTakesTheFirstOther", {kC, kA, kB}, 0, 1},
                    Row{"NearestOfTwoToTheRight", {kA, kC, kB}, 0, 2},
                    Row{"LevelBeforeLower", {kA, {1280, 500, 800, 600}, {1280, 0, 800, 600}}, 0, 2},
                    Row{"OverlappingIsNoRight", {kA, {640, 0, 1280, 1024}, kB}, 0, 2}),
    [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

} // namespace
} // namespace duoptic
