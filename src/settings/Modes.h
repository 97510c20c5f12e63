#pragma once

#include <string>
#include <string_view>

// The one place that turns the stored viewer mode and fitting mode into meaning and back. The
// viewer mode stays text throughout, because the window title shows it exactly as stored.
namespace duoptic {

inline constexpr std::string_view kParallel = "(Parallel)";
inline constexpr std::string_view kCrossing = "(Crossing)";

// Which eye's image of a two-image pair goes to the left panel: the meaning of the viewer mode,
// taken from its text once, where the settings meet the loading.
enum class ViewerSides : unsigned char {
    Parallel, // left eye on the left
    Crossing, // left eye on the right
};

constexpr bool isCrossing(ViewerSides sides) {
    return sides == ViewerSides::Crossing;
}

// Only the exact text "(Crossing)" means crossing viewing; anything else a hand-edited file
// holds is shown as parallel.
constexpr ViewerSides viewerSides(std::string_view viewerMode) {
    return viewerMode == kCrossing ? ViewerSides::Crossing : ViewerSides::Parallel;
}

// Reverse toggles between the two modes; an unknown text turns into "(Crossing)".
inline std::string reversedViewerMode(std::string_view viewerMode) {
    return std::string(isCrossing(viewerSides(viewerMode)) ? kParallel : kCrossing);
}

// 0 fits the image width into a panel; any other stored value makes the image fill the panel.
inline bool fitsImageWidth(int fittingMode) {
    return fittingMode == 0;
}

inline int storedFittingMode(bool formSize) {
    return formSize ? 10 : 0;
}

} // namespace duoptic
