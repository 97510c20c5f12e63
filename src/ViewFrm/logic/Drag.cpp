#include "ViewFrm/logic/Drag.h"

#include "ViewFrm/logic/Rounding.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace duoptic {

namespace {

// area - displayed, kept in int even for a saturated displayed size.
int reach(int area, int displayed) {
    const std::int64_t r = static_cast<std::int64_t>(area) - displayed;
    return static_cast<int>(std::clamp<std::int64_t>(r, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

} // namespace

int dragPosition(double n, int r) {
    if (n >= 0.0) {
        return 0;
    }
    if (n <= r) {
        return 100;
    }
    // Here r < n < 0, so r is not zero and the quotient lies in (0, 1).
    return roundToInt(100.0 * n / r);
}

DragResult applyDragDelta(double dx, double dy, int panelHorizontalOffset, int verticalOffset,
                          int areaWidth, int areaHeight, int displayedWidth, int displayedHeight) {
    const double nx = panelHorizontalOffset + dx;
    const double ny = verticalOffset + dy;
    return {dragPosition(nx, reach(areaWidth, displayedWidth)),
            dragPosition(ny, reach(areaHeight, displayedHeight))};
}

void DragTracker::press(MouseButton button, double x, double y) {
    if (pending_ || button != MouseButton::Left) {
        return;
    }
    startX_ = x;
    startY_ = y;
    pending_ = true;
}

DragRelease DragTracker::release(MouseButton button, double x, double y) {
    const bool wasPending = pending_;
    pending_ = false;
    if (wasPending) {
        if (button == MouseButton::Left) {
            return {DragRelease::ApplyDrag, x - startX_, y - startY_};
        }
        return {DragRelease::DropDrag, 0.0, 0.0};
    }
    if (button == MouseButton::Middle) {
        return {DragRelease::StepNext, 0.0, 0.0};
    }
    return {};
}

} // namespace duoptic
