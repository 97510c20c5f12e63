#pragma once

#include <cmath>
#include <limits>

namespace duoptic {

// Every floating-point to integer conversion of the view goes through here: nearest, ties to even
// (the default rounding mode), so that -80.5 gives -80 and 84.5 gives 84. Values beyond the int
// range saturate and NaN gives 0, so that degenerate geometry never reaches undefined behaviour.
inline int roundToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = std::nearbyint(value);
    if (rounded >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (rounded <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(rounded);
}

} // namespace duoptic
