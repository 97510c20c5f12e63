#pragma once

#include "imaging/DecodeCancelled.h"
#include "imaging/Raster.h"

#include <atomic>

namespace duoptic {

// How to move the right eye's picture so that it lines up with the left one vertically: first
// turn it by rollDegrees about its centre, clockwise on screen (y pointing down), then move it
// down by dy full-size pixels (negative: up). Horizontal offsets are left alone: they are the
// pair's depth.
struct AlignmentEstimate {
    bool confident = false; // enough parts of the picture agree on the values; else both are 0
    double dy = 0.0;
    double rollDegrees = 0.0;
    int matches = 0;       // parts of the picture whose vertical offset agrees with the fit
    double residual = 0.0; // their disagreement with it, root mean square, in full-size pixels
};

// Measures the vertical offset and the roll between the two eyes of a pair of the same size,
// on grey samples about 1500 along the picture's longer side. Pictures of different sizes, flat
// pictures and pictures of different scenes come out not confident. The cancel flag (null:
// none) is looked at as the work goes; once set, DecodeCancelled is thrown.
AlignmentEstimate measureAlignment(const Raster& left, const Raster& right,
                                   const std::atomic<bool>* cancel = nullptr);

} // namespace duoptic
