#pragma once

#include <string>
#include <string_view>

// The one place that turns the stored viewer mode and fitting mode into meaning and back. The
// viewer mode stays text throughout, because the window title shows it exactly as stored.
namespace duoptic {

inline constexpr std::string_view kParallel = "(Parallel)";
inline constexpr std::string_view kCrossing = "(Crossing)";

// Only the exact text "(Crossing)" means crossing viewing; anything else a hand-edited file
// holds is shown as parallel.
inline bool isCrossing(std::string_view viewerMode) {
    return viewerMode == kCrossing;
}

// Reverse toggles between the two modes; an unknown text turns into "(Crossing)".
inline std::string reversedViewerMode(std::string_view viewerMode) {
    return std::string(isCrossing(viewerMode) ? kParallel : kCrossing);
}

// 0 fits the image width into a panel; any other stored value makes the image fill the panel.
inline bool fitsImageWidth(int fittingMode) {
    return fittingMode == 0;
}

inline int storedFittingMode(bool formSize) {
    return formSize ? 10 : 0;
}

} // namespace duoptic
