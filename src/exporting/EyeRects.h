#pragma once

#include "base/Rect.h"
#include "imaging/CommonArea.h"

#include <algorithm>

namespace duoptic {

// The parts of the two eyes' pictures that show the same rectangle of the scene.
struct EyeRects {
    Rect left;  // in the left eye's picture
    Rect right; // in the right eye's picture
    bool empty() const { return left.width <= 0 || left.height <= 0; }
};

using Size = PictureSize;

// The rectangle the window shows with the crop to the common area (commonRectangle): in the
// left eye's picture, and the same rectangle in the right eye's, moved back. Nothing turns the
// right eye here, so with a roll that one is slid (and both cut, for a roll so large that it
// is wider or taller than the right picture) to lie wholly inside it. Empty when the eyes do
// not meet.
inline EyeRects commonArea(Size left, Size right, int dx, int dy, double rollDegrees) {
    Rect shared = commonRectangle(left, right, {dx, dy, rollDegrees});
    if (shared.width <= 0 || shared.height <= 0) {
        return {};
    }
    shared.width = std::min(shared.width, right.width);
    shared.height = std::min(shared.height, right.height);
    return {shared,
            {std::clamp(shared.left - dx, 0, right.width - shared.width),
             std::clamp(shared.top - dy, 0, right.height - shared.height), shared.width,
             shared.height}};
}

} // namespace duoptic
