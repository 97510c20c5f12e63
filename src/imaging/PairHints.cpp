#include "imaging/PairHints.h"

#include "imaging/StereoWindow.h"

#include <cmath>
#include <numbers>

namespace duoptic {

PairHints pairHints(const PairRasters& rasters, bool align, bool window) {
    PairHints hints;
    const std::optional<AlignmentEstimate>& measured = rasters.facts.alignment;
    if (align && measured && measured->confident) {
        hints.measuredDy = static_cast<int>(std::lround(measured->dy));
        // A roll that moves no corner by half a pixel is left out: an unturned eye draws and
        // saves faster, and looks the same.
        const double cornerRadius = std::hypot(rasters.right.width(), rasters.right.height()) / 2;
        const bool seen =
            std::abs(measured->rollDegrees) * std::numbers::pi / 180 * cornerRadius >= 0.5;
        hints.measuredRoll = seen ? static_cast<int>(std::lround(measured->rollDegrees * 100)) : 0;
    }
    if (window && rasters.facts.disparity) {
        // The window is set for the eyes as drawn: turned, where they are.
        hints.windowDx =
            automaticWindowShift(turnedDisparity(*rasters.facts.disparity, hints.roll() / 100.0));
    }
    return hints;
}

} // namespace duoptic
