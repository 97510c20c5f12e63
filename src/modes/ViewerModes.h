#pragma once

#include <string>
#include <string_view>

// The viewer mode: which panel each eye's picture of a two-image pair goes to. The settings keep
// its text as stored, because the window title shows it exactly so; everything else asks for its
// meaning, taken once when the text is read or changed.
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

// The viewer mode as the settings hold it: its text exactly as stored, which the title shows and
// the file gets back, and its meaning, taken once whenever the text is set.
class ViewerMode {
public:
    ViewerMode() : ViewerMode(kParallel) {}
    ViewerMode(std::string_view text) : text_(text), sides_(viewerSides(text)) {}
    ViewerMode(const char* text) : ViewerMode(std::string_view(text)) {}
    ViewerMode(const std::string& text) : ViewerMode(std::string_view(text)) {}

    const std::string& text() const { return text_; }
    ViewerSides sides() const { return sides_; }
    // What Reverse makes of it.
    ViewerMode reversed() const { return ViewerMode(reversedViewerMode(text_)); }

    friend bool operator==(const ViewerMode& a, const ViewerMode& b) { return a.text_ == b.text_; }

private:
    std::string text_;
    ViewerSides sides_;
};

} // namespace duoptic
