#pragma once

#include "imaging/HorizontalDisparity.h"

#include <optional>

namespace duoptic {

// How far to move the right eye's picture to the right, in full-size pixels, so that the nearest
// part of the picture (the near percentile) lies in the screen plane and nothing at the left or
// right edge stands in front of it, cut by the picture's frame: the nearest at either edge is
// brought back to the plane too. Nothing when the estimate is not confident.
std::optional<int> automaticWindowShift(const DisparityEstimate& estimate);

} // namespace duoptic
