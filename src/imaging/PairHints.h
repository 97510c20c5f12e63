#pragma once

#include "imaging/PairRasters.h"

#include <optional>

namespace duoptic {

// What the measurements of a pair ask of its right eye where the user gave it nothing: the
// window, the saved pair and the command line all take the same.
struct PairHints {
    std::optional<int> measuredDy; // a confident automatic alignment, when that is on
    int measuredRoll = 0;          // with it, in hundredths of a degree
    std::optional<int> windowDx;   // the automatic window, when that is on and sure

    // The right eye's offset these give, in image pixels and hundredths of a degree.
    int dx() const { return windowDx.value_or(0); }
    int dy() const { return measuredDy.value_or(0); }
    int roll() const { return measuredDy ? measuredRoll : 0; }
};

// The hints of the measurements the load made, of those that are on.
PairHints pairHints(const PairRasters& rasters, bool align, bool window);

} // namespace duoptic
