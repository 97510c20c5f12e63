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
// the left picture and in the right picture as `place` puts it (a corner may lie a billionth of
// a pixel outside, the rounding of the turn); 0 x 0 when they do not meet. Without a roll it is
// their intersection. A roll costs well under a millisecond for pictures of 24 megapixels.
Rect commonRectangle(PictureSize left, PictureSize right, const RightEyePlace& place);

} // namespace duoptic
