#include "ViewFrm/logic/Drag.h"
#include "ViewFrm/logic/ViewGeometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace duoptic {
namespace {

template <typename Row> std::string rowName(const testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

// The sample image of 623 x 648 in the default 258 x 436 image area.
ViewInputs sample(int fitting, int zoom, int h, int v) {
    ViewInputs in;
    in.fitting = fittingMode(fitting);
    in.zoom = zoom;
    in.horizontal = h;
    in.vertical = v;
    in.imageWidth = 623;
    in.imageHeight = 648;
    in.imageAspect = 623.0 / 648.0;
    in.areaWidth = 258;
    in.areaHeight = 436;
    in.areaAspect = 258.0 / 436.0;
    return in;
}

DragResult dragOn(const ViewInputs& in, double dx, double dy) {
    const PanelGeometry g = computePanelGeometry(in);
    return applyDragDelta(dx, dy, g.horizontalOffset, g.verticalOffset, in.areaWidth, in.areaHeight,
                          g.displayedWidth, g.displayedHeight);
}

struct PositionRow {
    const char* name;
    double n;
    int r;
    int expected;
};

class DragPosition : public testing::TestWithParam<PositionRow> {};

TEST_P(DragPosition, MapsOffsetToPosition) {
    EXPECT_EQ(dragPosition(GetParam().n, GetParam().r), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, DragPosition,
                         testing::Values(PositionRow{"ZeroOffsetIsStart", 0.0, -988, 0},
                                         PositionRow{"PositiveOffsetIsStart", 5.0, -988, 0},
                                         PositionRow{"AtReachIsEnd", -988.0, -988, 100},
                                         PositionRow{"BeyondReachIsEnd", -1200.0, -988, 100},
                                         PositionRow{"LargeImageInside", -394.0, -988, 40},
                                         PositionRow{"SmallImageNegativeIsEnd", -0.5, 168, 100},
                                         PositionRow{"SmallImagePositiveIsStart", 84.0, 168, 0},
                                         PositionRow{"EqualSizesNegativeIsEnd", -1.0, 0, 100},
                                         PositionRow{"TieRoundsToEven", -1.0, -8, 12}),
                         rowName<PositionRow>);

struct DragRow {
    const char* name;
    ViewInputs in;
    double dx, dy;
    int horizontal, vertical;
};

class DragExamples : public testing::TestWithParam<DragRow> {};

TEST_P(DragExamples, GivesPositions) {
    const DragRow& row = GetParam();
    const DragResult r = dragOn(row.in, row.dx, row.dy);
    EXPECT_EQ(r.horizontal, row.horizontal);
    EXPECT_EQ(r.vertical, row.vertical);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DragExamples,
    testing::Values(DragRow{"LargeImageDragged", sample(0, 100, 50, 50), 100, -50, 40, 56},
                    DragRow{"LeftEdgePastAreaLeft", sample(0, 100, 50, 50), 600, 0, 0, 50},
                    DragRow{"RightEdgePastAreaRight", sample(0, 100, 50, 50), -600, 0, 100, 50},
                    DragRow{"SmallImageClick", sample(0, 0, 50, 50), 0, 0, 0, 0},
                    DragRow{"SmallImageDraggedUp", sample(0, 0, 50, 50), 0, -100, 0, 100}),
    rowName<DragRow>);

TEST(Drag, RedrawAfterDragUsesNewPositions) {
    const DragResult r = dragOn(sample(0, 100, 50, 50), 100, -50);
    const PanelGeometry g = computePanelGeometry(sample(0, 100, r.horizontal, r.vertical));
    EXPECT_EQ(g.horizontalOffset, -395);
    EXPECT_EQ(g.verticalOffset, -482);
}

// For an image larger than the area the drag inverts the offset formula: a click without
// movement keeps every position.
TEST(Drag, ClickOnLargeImageKeepsEveryPosition) {
    for (int position = 0; position <= 100; ++position) {
        const DragResult r = dragOn(sample(0, 100, position, 100 - position), 0, 0);
        EXPECT_EQ(r.horizontal, position);
        EXPECT_EQ(r.vertical, 100 - position);
    }
}

TEST(Drag, SaturatedDisplayedSizeDoesNotOverflow) {
    const DragResult r = applyDragDelta(5, 5, -1000, -1000, -10, -10, 2147483647, 2147483647);
    EXPECT_EQ(r.horizontal, 0);
    EXPECT_EQ(r.vertical, 0);
}

struct Event {
    bool press;
    MouseButton button;
    double x, y;
};

struct TrackerRow {
    const char* name;
    std::vector<Event> events; // the last one is the release under test
    DragRelease::Kind kind;
    double dx, dy;
};

class DragTrackerRows : public testing::TestWithParam<TrackerRow> {};

TEST_P(DragTrackerRows, LastReleaseOutcome) {
    const TrackerRow& row = GetParam();
    DragTracker tracker;
    DragRelease last;
    for (const Event& e : row.events) {
        if (e.press) {
            tracker.press(e.button, e.x, e.y);
        } else {
            last = tracker.release(e.button, e.x, e.y);
            EXPECT_FALSE(tracker.pending()) << "every release ends the drag";
        }
    }
    EXPECT_EQ(last.kind, row.kind);
    if (row.kind == DragRelease::ApplyDrag) {
        EXPECT_DOUBLE_EQ(last.dx, row.dx);
        EXPECT_DOUBLE_EQ(last.dy, row.dy);
    }
}

constexpr auto L = MouseButton::Left;
constexpr auto M = MouseButton::Middle;
constexpr auto R = MouseButton::Right;

INSTANTIATE_TEST_SUITE_P(
    Rows, DragTrackerRows,
    testing::Values(
        TrackerRow{"LeftDrag",
                   {{true, L, 10, 20}, {false, L, 110, -30}},
                   DragRelease::ApplyDrag,
                   100,
                   -50},
        TrackerRow{"SecondPressKeepsFirstStart",
                   {{true, L, 10, 10}, {true, L, 50, 50}, {false, L, 60, 70}},
                   DragRelease::ApplyDrag,
                   50,
                   60},
        TrackerRow{"RightPressStartsNothing",
                   {{true, R, 10, 10}, {false, L, 60, 70}},
                   DragRelease::Nothing,
                   0,
                   0},
        TrackerRow{"MiddlePressStartsNothing",
                   {{true, M, 10, 10}, {false, M, 10, 10}},
                   DragRelease::StepNext,
                   0,
                   0},
        TrackerRow{"MiddleReleaseSteps", {{false, M, 5, 5}}, DragRelease::StepNext, 0, 0},
        TrackerRow{"MiddleReleaseDropsPending",
                   {{true, L, 10, 10}, {false, M, 10, 10}},
                   DragRelease::DropDrag,
                   0,
                   0},
        TrackerRow{"RightReleaseDropsPending",
                   {{true, L, 10, 10}, {false, R, 90, 90}},
                   DragRelease::DropDrag,
                   0,
                   0},
        TrackerRow{"RightReleaseAlone", {{false, R, 5, 5}}, DragRelease::Nothing, 0, 0},
        TrackerRow{"LeftReleaseAlone", {{false, L, 5, 5}}, DragRelease::Nothing, 0, 0},
        TrackerRow{"DropClearsPending",
                   {{true, L, 10, 10}, {false, R, 10, 10}, {false, M, 10, 10}},
                   DragRelease::StepNext,
                   0,
                   0},
        TrackerRow{"NewDragAfterRelease",
                   {{true, L, 10, 10}, {false, L, 10, 10}, {true, L, 30, 40}, {false, L, 31, 39}},
                   DragRelease::ApplyDrag,
                   1,
                   -1}),
    rowName<TrackerRow>);

} // namespace
} // namespace duoptic
