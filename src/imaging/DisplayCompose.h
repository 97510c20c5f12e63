#pragma once

#include "base/Rect.h"
#include "imaging/Raster.h"

#include <cstdint>
#include <limits>

// Composing both eyes into one image for the displays other than two free-viewing panels:
// anaglyph glasses, 3D televisions, polarised monitors and mirror viewers. Every mapping is the
// nearest-neighbour one of composeRaster (Stretch.h): each output pixel takes the raster pixel
// under its centre, from the full-resolution raster, and what no raster covers gets the face
// colour.
namespace duoptic {

// A destination of 32-bit 0xFFRRGGBB pixels.
struct Frame {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int strideBytes = 0;
};

// One eye: its raster and the rectangle of it that fills the frame (it may reach beyond the
// raster; a shift of one eye against the other is a shift of this rectangle), after the raster
// is turned by rollDegrees about its centre, clockwise on screen (TurnedStretch.h). Without a
// roll the eye is drawn exactly as composeRaster draws it.
struct EyeView {
    const Raster* raster = nullptr;
    Rect source;
    double rollDegrees = 0.0;
};

// Rows [begin, end) of a frame. A composition that takes one can be split into bands that
// together fill the frame exactly as one whole composition does, each band on a core of its own.
struct RowBand {
    int begin = 0;
    int end = std::numeric_limits<int>::max();
};

enum class AnaglyphKind : unsigned char {
    RedCyanDubois,
    GreenMagentaDubois,
    AmberBlueDubois,
    RedCyanGrey,       // both eyes as grey: red from the left eye, green and blue from the right
    RedCyanHalfColour, // red from the left eye's grey, green and blue from the right eye's colour
};

// Both eyes over the whole frame, mixed for glasses with the left eye's filter first in the
// kind's name. Where neither eye covers a pixel it gets `background` unchanged.
void composeAnaglyph(AnaglyphKind kind, EyeView left, EyeView right, std::uint32_t background,
                     Frame frame, RowBand rows = {});

enum class HalfLayout : unsigned char {
    SideBySide, // left eye in columns 0 .. width/2 - 1, right eye in the rest
    TopBottom,  // left eye in rows 0 .. height/2 - 1, right eye in the rest
};

// Each eye squeezed into its half: the whole source rectangle maps onto the half.
void composeHalf(HalfLayout layout, EyeView left, EyeView right, std::uint32_t background,
                 Frame frame);
// One of those halves: 0 the left eye's, 1 the right eye's. The two write apart.
void composeHalfOf(HalfLayout layout, int half, EyeView eye, std::uint32_t background, Frame frame);

enum class InterlaceAxis : unsigned char { Rows, Columns };

// Both eyes over the whole frame, alternating by line of the screen: the frame's pixel (0, 0)
// lies at device position (screenX, screenY) on the screen, and a line whose screen index is
// even comes from `even`, an odd one from `odd`.
void composeInterlaced(InterlaceAxis axis, EyeView even, EyeView odd, int screenX, int screenY,
                       std::uint32_t background, Frame frame, RowBand rows = {});

// One eye over the whole frame, as composeRaster draws it when it has no roll.
void composeEye(EyeView eye, std::uint32_t background, Frame frame);

// One eye as composeEye draws it, flipped left to right.
void composeMirrored(EyeView eye, std::uint32_t background, Frame frame);

} // namespace duoptic
