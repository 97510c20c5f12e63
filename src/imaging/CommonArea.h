#pragma once

#include "base/Rect.h"

namespace duoptic {

struct PictureSize {
    int width = 0;
    int height = 0;
};

// Where the right eye's picture lies against the left one's: turned by rollDegrees about its
// picture's centre (clockwise on screen, y down), then moved so that its pixel (x, y) is drawn
// where its pixel (x + dx, y + dy) would be.
struct RightEyePlace {
    int dx = 0;
    int dy = 0;
    double rollDegrees = 0.0;
};

// The largest upright rectangle of whole pixels, in the left eye's picture, that lies wholly in
// the left picture and in the right picture as `place` puts it; 0 x 0 when they do not meet.
// Without a roll it is their intersection. With one it is the largest such rectangle up to the
// rounding to whole pixels, grown afterwards until no side can move out by a pixel.
Rect commonRectangle(PictureSize left, PictureSize right, const RightEyePlace& place);

} // namespace duoptic
