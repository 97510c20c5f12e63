#pragma once

#include "base/Rect.h"

namespace duoptic {

// The parts of the two eyes' pictures that show the same rectangle of the scene.
struct EyeRects {
    Rect left;  // in the left eye's picture
    Rect right; // in the right eye's picture
    bool empty() const { return left.width <= 0 || left.height <= 0; }
};

struct Size {
    int width = 0;
    int height = 0;
};

// The largest rectangle both eyes cover once the right eye is moved so that its pixel (x, y)
// lies where its pixel (x + dx, y + dy) would: in the left eye's picture, and the same rectangle
// in the right eye's, moved back. Empty when the eyes do not meet.
constexpr EyeRects commonArea(Size left, Size right, int dx, int dy) {
    const int x0 = dx > 0 ? dx : 0;
    const int y0 = dy > 0 ? dy : 0;
    const int x1 = left.width < dx + right.width ? left.width : dx + right.width;
    const int y1 = left.height < dy + right.height ? left.height : dy + right.height;
    if (x1 <= x0 || y1 <= y0) {
        return {};
    }
    const Rect shared{x0, y0, x1 - x0, y1 - y0};
    return {shared, {x0 - dx, y0 - dy, shared.width, shared.height}};
}

} // namespace duoptic
