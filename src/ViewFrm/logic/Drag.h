#pragma once

namespace duoptic {

// Position 0..100 that puts an image edge at offset n, where r = area size - displayed size is
// the offset of position 100. Both images follow the mouse and stop where an image edge meets the
// area's edge; for an image not larger than the area only 0 and 100 come out.
int dragPosition(double n, int r);

struct DragResult {
    int horizontal; // 0..100
    int vertical;   // 0..100
};

// Turns a drag by (dx, dy) into new positions, from the offsets and displayed size of the last
// drawing of the panel in which the drag happened.
DragResult applyDragDelta(double dx, double dy, int panelHorizontalOffset, int verticalOffset,
                          int areaWidth, int areaHeight, int displayedWidth, int displayedHeight);

enum class MouseButton { Left, Middle, Right };

struct DragRelease {
    enum Kind {
        Nothing,
        ApplyDrag, // left release of a pending drag: apply (dx, dy)
        DropDrag,  // other release of a pending drag: positions stay
        StepNext,  // middle release with no drag pending
    } kind = Nothing;
    double dx = 0.0;
    double dy = 0.0;
};

// Press and release of the image areas. Movement in between is not followed; only the release
// point counts.
class DragTracker {
public:
    void press(MouseButton button, double x, double y);
    // Every release ends a pending drag, whatever the button.
    DragRelease release(MouseButton button, double x, double y);

    bool pending() const { return pending_; }

private:
    bool pending_ = false;
    double startX_ = 0.0;
    double startY_ = 0.0;
};

} // namespace duoptic
