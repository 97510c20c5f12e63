#pragma once

#include "imaging/Picture.h"
#include "imaging/Raster.h"

#include <memory>

namespace duoptic {

// The eight ways a camera stores a picture, numbered as EXIF's Orientation tag numbers them by
// where the stored rows and columns belong: 1 upright, 2 mirrored left to right, 3 turned half
// round, 4 mirrored top to bottom, 5 rows and columns exchanged, 6 to be turned a quarter
// clockwise, 7 exchanged across the other diagonal, 8 to be turned a quarter anticlockwise.
inline constexpr int kUpright = 1;

// Whether the upright picture is as high as the stored one is wide.
constexpr bool turnsAQuarter(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// Whether the two pictures of a stereo pair change eyes when turned upright: when the turn runs
// each row backwards, the lens that was on the left stood on the right of the scene (a camera
// held upside down), and each picture's depth would come out reversed in its old panel.
constexpr bool exchangesEyes(int orientation) {
    return orientation == 2 || orientation == 3;
}

// A new picture holding the raster as it is seen upright, its pixels moved and its palette kept.
// An orientation outside 1 .. 8 counts as upright; an empty raster gives none. Throws
// std::bad_alloc.
std::shared_ptr<const Picture> turnUpright(const Raster& raster, int orientation);

} // namespace duoptic
