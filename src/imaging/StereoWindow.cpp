#include "imaging/StereoWindow.h"

#include <algorithm>
#include <cmath>

namespace duoptic {

std::optional<int> automaticWindowShift(const DisparityEstimate& estimate) {
    if (!estimate.confident) {
        return std::nullopt;
    }
    // A point moves to parallax disparity + shift: the nearest of them ends at zero.
    double nearest = estimate.nearest;
    for (const std::optional<double>& edge :
         {estimate.nearestAtLeftEdge, estimate.nearestAtRightEdge}) {
        nearest = std::min(nearest, edge.value_or(nearest));
    }
    return static_cast<int>(std::lround(-nearest));
}

} // namespace duoptic
