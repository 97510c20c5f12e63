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

KeyAction mapKey(MainKey key, const KeyContext& context) {
    switch (key) {
    case MainKey::Enter:
    case MainKey::Space:
        if (!context.slideShowRunning && context.pairCount > 1) {
            return {KeyAction::Next, 0};
        }
        return {};
    case MainKey::Escape:
        if (context.slideShowRunning) {
            return {KeyAction::StopSlideShow, 0};
        }
        return {};
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
    case MainKey::Other:
        return {};
    }
    return {};
}

} // namespace duoptic
