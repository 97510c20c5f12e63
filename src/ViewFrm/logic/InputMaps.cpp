#include "ViewFrm/logic/InputMaps.h"

#include <algorithm>

namespace duoptic {

namespace {

constexpr int kWheelDivisor = 30;
constexpr int kArrowStep = 2;

} // namespace

int wheelZoomStep(int delta) {
    return delta / kWheelDivisor;
}

int clampPosition(int position) {
    return std::clamp(position, 0, 100);
}

namespace {

// The keys that walk the Pair list share Next's condition: a walk needs somewhere to go, and a
// running slide show owns the walk.
KeyAction walk(KeyAction::Kind kind, const KeyContext& context) {
    if (!context.slideShowRunning && context.pairCount > 1) {
        return {kind, 0};
    }
    return {};
}

} // namespace

KeyAction mapKey(MainKey key, const KeyContext& context) {
    switch (key) {
    case MainKey::Enter:
    case MainKey::Space:
    case MainKey::PageDown:
        return walk(KeyAction::Next, context);
    case MainKey::Backspace:
    case MainKey::PageUp:
        return walk(KeyAction::Previous, context);
    case MainKey::Home:
        return walk(KeyAction::First, context);
    case MainKey::End:
        return walk(KeyAction::Last, context);
    case MainKey::Escape:
        // A running show is what Esc stops first; only then does it leave fullscreen.
        if (context.slideShowRunning) {
            return {KeyAction::StopSlideShow, 0};
        }
        if (context.fullScreen) {
            return {KeyAction::ToggleFullScreen, 0};
        }
        return {};
    case MainKey::F11:
        return {KeyAction::ToggleFullScreen, 0};
    case MainKey::Left:
        if (context.horizontal > 0) {
            return {KeyAction::SetHorizontal, std::max(context.horizontal - kArrowStep, 0)};
        }
        return {};
    case MainKey::Right:
        if (context.horizontal < 100) {
            return {KeyAction::SetHorizontal, std::min(context.horizontal + kArrowStep, 100)};
        }
        return {};
    case MainKey::Up:
        if (context.vertical > 0) {
            return {KeyAction::SetVertical, std::max(context.vertical - kArrowStep, 0)};
        }
        return {};
    case MainKey::Down:
        if (context.vertical < 100) {
            return {KeyAction::SetVertical, std::min(context.vertical + kArrowStep, 100)};
        }
        return {};
    case MainKey::KeypadPlus:
        return {KeyAction::ZoomIn, 0};
    case MainKey::KeypadMinus:
        return {KeyAction::ZoomOut, 0};
    case MainKey::D:
        return {KeyAction::NextDisplayMode, 0};
    case MainKey::I:
        return {KeyAction::MoveRightEye, 0, -1};
    case MainKey::K:
        return {KeyAction::MoveRightEye, 0, 1};
    case MainKey::J:
        return {KeyAction::MoveRightEye, -1, 0};
    case MainKey::L:
        return {KeyAction::MoveRightEye, 1, 0};
    case MainKey::O:
        return {KeyAction::ResetRightEye, 0};
    case MainKey::A:
        return {KeyAction::ToggleAutoAlign, 0};
    case MainKey::S:
        return {KeyAction::SaveAs, 0};
    case MainKey::LeftBracket:
        return {KeyAction::TurnRightEye, -1};
    case MainKey::RightBracket:
        return {KeyAction::TurnRightEye, 1};
    case MainKey::C:
        return {KeyAction::ToggleCropCommon, 0};
    case MainKey::W:
        return {KeyAction::ToggleAutoWindow, 0};
    case MainKey::P:
        return {KeyAction::ToggleDepth, 0};
    case MainKey::E:
        return {KeyAction::ToggleCameraData, 0};
    case MainKey::F:
        return {KeyAction::ToggleActualSize, 0};
    case MainKey::Delete:
        return {KeyAction::MoveToTrash, 0};
    case MainKey::Other:
        return {};
    }
    return {};
}

} // namespace duoptic
