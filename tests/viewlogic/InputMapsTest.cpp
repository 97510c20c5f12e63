#include "ViewFrm/logic/InputMaps.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace duoptic {
namespace {

template <typename Row> std::string rowName(const testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

struct WheelRow {
    const char* name;
    int delta;
    int step;
};

class WheelZoomStep : public testing::TestWithParam<WheelRow> {};

TEST_P(WheelZoomStep, TruncatesTowardZero) {
    EXPECT_EQ(wheelZoomStep(GetParam().delta), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WheelZoomStep,
    testing::Values(WheelRow{"NotchAway", 120, 4}, WheelRow{"NotchTowards", -120, -4},
                    WheelRow{"HalfNotch", 60, 2}, WheelRow{"SmallPositiveLost", 29, 0},
                    WheelRow{"SmallNegativeLost", -29, 0},
                    WheelRow{"NegativeRemainderDropped", -45, -1}, WheelRow{"Zero", 0, 0}),
    rowName<WheelRow>);

struct ClampRow {
    const char* name;
    int in;
    int out;
};

class ClampPosition : public testing::TestWithParam<ClampRow> {};

TEST_P(ClampPosition, KeepsControlRange) {
    EXPECT_EQ(clampPosition(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Rows, ClampPosition,
                         testing::Values(ClampRow{"ZoomInAt95", 105, 100},
                                         ClampRow{"Inside", 37, 37}, ClampRow{"Below", -4, 0},
                                         ClampRow{"Lowest", 0, 0}, ClampRow{"Highest", 100, 100}),
                         rowName<ClampRow>);

struct KeyRow {
    const char* name;
    MainKey key;
    KeyContext context;
    KeyAction::Kind kind;
    int value;
};

class MapKey : public testing::TestWithParam<KeyRow> {};

TEST_P(MapKey, FollowsKeyMap) {
    const KeyRow& row = GetParam();
    const KeyAction action = mapKey(row.key, row.context);
    EXPECT_EQ(action.kind, row.kind);
    if (row.kind == KeyAction::SetHorizontal || row.kind == KeyAction::SetVertical) {
        EXPECT_EQ(action.value, row.value);
    }
}

// slideShowRunning, pairCount, horizontal, vertical, fullScreen
constexpr KeyContext kIdle{false, 5, 50, 50};
constexpr KeyContext kRunning{true, 5, 50, 50};
constexpr KeyContext kFull{false, 5, 50, 50, true};
constexpr KeyContext kShowFull{true, 5, 50, 50, true};

INSTANTIATE_TEST_SUITE_P(
    Rows, MapKey,
    testing::Values(
        KeyRow{"EnterEmptyList", MainKey::Enter, {false, 0, 50, 50}, KeyAction::None, 0},
        KeyRow{"EnterSinglePair", MainKey::Enter, {false, 1, 50, 50}, KeyAction::None, 0},
        KeyRow{"EnterTwoPairs", MainKey::Enter, {false, 2, 50, 50}, KeyAction::Next, 0},
        KeyRow{"EnterDuringSlideShow", MainKey::Enter, kRunning, KeyAction::None, 0},
        KeyRow{"SpaceTwoPairs", MainKey::Space, {false, 2, 50, 50}, KeyAction::Next, 0},
        KeyRow{"SpaceDuringSlideShow", MainKey::Space, kRunning, KeyAction::None, 0},
        KeyRow{"EscapeStopsSlideShow", MainKey::Escape, kRunning, KeyAction::StopSlideShow, 0},
        KeyRow{"EscapeWithoutSlideShow", MainKey::Escape, kIdle, KeyAction::None, 0},
        KeyRow{"LeftStepsTwo", MainKey::Left, kIdle, KeyAction::SetHorizontal, 48},
        KeyRow{"LeftAt1", MainKey::Left, {false, 5, 1, 50}, KeyAction::SetHorizontal, 0},
        KeyRow{"LeftAt0", MainKey::Left, {false, 5, 0, 50}, KeyAction::None, 0},
        KeyRow{"RightAt99", MainKey::Right, {false, 5, 99, 50}, KeyAction::SetHorizontal, 100},
        KeyRow{"RightAt100", MainKey::Right, {false, 5, 100, 50}, KeyAction::None, 0},
        KeyRow{"UpAt1", MainKey::Up, {false, 5, 50, 1}, KeyAction::SetVertical, 0},
        KeyRow{"UpAt0", MainKey::Up, {false, 5, 50, 0}, KeyAction::None, 0},
        KeyRow{"DownAt99", MainKey::Down, {false, 5, 50, 99}, KeyAction::SetVertical, 100},
        KeyRow{"DownAt100", MainKey::Down, {false, 5, 50, 100}, KeyAction::None, 0},
        KeyRow{"KeypadPlus", MainKey::KeypadPlus, kRunning, KeyAction::ZoomIn, 0},
        KeyRow{"KeypadMinus", MainKey::KeypadMinus, kIdle, KeyAction::ZoomOut, 0},
        KeyRow{"OtherKey", MainKey::Other, kRunning, KeyAction::None, 0},
        KeyRow{"Backspace", MainKey::Backspace, kIdle, KeyAction::Previous, 0},
        KeyRow{"PageUp", MainKey::PageUp, kIdle, KeyAction::Previous, 0},
        KeyRow{"PageDown", MainKey::PageDown, kIdle, KeyAction::Next, 0},
        KeyRow{"Home", MainKey::Home, kIdle, KeyAction::First, 0},
        KeyRow{"End", MainKey::End, kIdle, KeyAction::Last, 0},
        KeyRow{"F11", MainKey::F11, kRunning, KeyAction::ToggleFullScreen, 0},
        KeyRow{"EscapeFullScreen", MainKey::Escape, kFull, KeyAction::ToggleFullScreen, 0},
        KeyRow{"EscapeShowInFullScreen", MainKey::Escape, kShowFull, KeyAction::StopSlideShow, 0},
        KeyRow{"DSteps", MainKey::D, kShowFull, KeyAction::NextDisplayMode, 0},
        KeyRow{"OResetsTheEyes", MainKey::O, kRunning, KeyAction::ResetRightEye, 0},
        KeyRow{"ATogglesAlignment", MainKey::A, kRunning, KeyAction::ToggleAutoAlign, 0},
        KeyRow{"SSavesAs", MainKey::S, kRunning, KeyAction::SaveAs, 0},
        KeyRow{"BracketTurnsBack", MainKey::LeftBracket, kRunning, KeyAction::TurnRightEye, -1},
        KeyRow{"BracketTurns", MainKey::RightBracket, kRunning, KeyAction::TurnRightEye, 1},
        KeyRow{"CCrops", MainKey::C, kRunning, KeyAction::ToggleCropCommon, 0},
        KeyRow{"WWindows", MainKey::W, kRunning, KeyAction::ToggleAutoWindow, 0},
        KeyRow{"PShowsDepth", MainKey::P, kRunning, KeyAction::ToggleDepth, 0},
        KeyRow{"EShowsCameraData", MainKey::E, kRunning, KeyAction::ToggleCameraData, 0},
        KeyRow{"FActualSize", MainKey::F, kRunning, KeyAction::ToggleActualSize, 0},
        KeyRow{"DeleteTrashes", MainKey::Delete, kRunning, KeyAction::MoveToTrash, 0}),
    rowName<KeyRow>);

TEST(MapKey, LettersMoveTheRightEyeAsTheArrowsLie) {
    for (const auto& [key, dx, dy] : {std::tuple{MainKey::I, 0, -1},
                                      {MainKey::J, -1, 0},
                                      {MainKey::K, 0, 1},
                                      {MainKey::L, 1, 0}}) {
        const KeyAction action = mapKey(key, kRunning);
        EXPECT_EQ(std::tuple(action.kind, action.value, action.dy),
                  std::tuple(KeyAction::MoveRightEye, dx, dy));
    }
}

} // namespace
} // namespace duoptic
