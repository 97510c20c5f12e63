#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The output modes of the main window: what the stored [Display] Mode text means, the captions
// of the menu, and the order in which the mode key steps through them.
namespace duoptic {

// In the order of the menu and of the mode key.
enum class DisplayMode : unsigned char {
    SideBySide, // the two panels for free viewing
    AnaglyphRedCyan,
    AnaglyphGreenMagenta,
    AnaglyphAmberBlue,
    AnaglyphRedCyanGrey,
    AnaglyphRedCyanHalfColour,
    HalfSideBySide,
    HalfTopBottom,
    RowInterlaced,
    ColumnInterlaced,
    Mirror, // the two panels, one of them flipped left to right
    // Each eye fills a screen of its own: a way of presenting, as fullscreen is, never stored.
    TwoScreens,
};

struct DisplayModeNames {
    DisplayMode mode;
    std::string_view stored; // the side by side mode is the setting's default, the empty text
    std::string_view caption;
};

inline constexpr std::array<DisplayModeNames, 12> kDisplayModes{{
    {DisplayMode::SideBySide, "", "Side by Side"},
    {DisplayMode::AnaglyphRedCyan, "AnaglyphRedCyan", "Anaglyph Red-Cyan"},
    {DisplayMode::AnaglyphGreenMagenta, "AnaglyphGreenMagenta", "Anaglyph Green-Magenta"},
    {DisplayMode::AnaglyphAmberBlue, "AnaglyphAmberBlue", "Anaglyph Amber-Blue"},
    {DisplayMode::AnaglyphRedCyanGrey, "AnaglyphRedCyanGrey", "Anaglyph Red-Cyan Grey"},
    {DisplayMode::AnaglyphRedCyanHalfColour, "AnaglyphRedCyanHalfColour",
     "Anaglyph Red-Cyan Half Colour"},
    {DisplayMode::HalfSideBySide, "HalfSideBySide", "Half Side-by-Side"},
    {DisplayMode::HalfTopBottom, "HalfTopBottom", "Half Top-Bottom"},
    {DisplayMode::RowInterlaced, "RowInterlaced", "Row Interlaced"},
    {DisplayMode::ColumnInterlaced, "ColumnInterlaced", "Column Interlaced"},
    {DisplayMode::Mirror, "Mirror", "Mirror"},
    // Stored as the default text, which reads back as side by side: a file never starts in it.
    {DisplayMode::TwoScreens, "", "Two Screens"},
}};

constexpr std::size_t displayModeIndex(DisplayMode mode) {
    return static_cast<std::size_t>(mode);
}

constexpr bool everyDisplayModeOnceInOrder() {
    for (std::size_t i = 0; i < kDisplayModes.size(); ++i) {
        if (displayModeIndex(kDisplayModes[i].mode) != i) {
            return false;
        }
    }
    return displayModeIndex(DisplayMode::TwoScreens) + 1 == kDisplayModes.size();
}
static_assert(everyDisplayModeOnceInOrder(), "one row per mode, in the order of the enumeration");

// Only an exact stored name means its mode; anything else a hand-edited file holds is shown
// side by side, as a file without the key is.
constexpr DisplayMode displayMode(std::string_view stored) {
    for (const DisplayModeNames& names : kDisplayModes) {
        if (names.stored == stored) {
            return names.mode;
        }
    }
    return DisplayMode::SideBySide;
}

constexpr std::string_view storedDisplayMode(DisplayMode mode) {
    return kDisplayModes[displayModeIndex(mode)].stored;
}

constexpr std::string_view displayModeCaption(DisplayMode mode) {
    return kDisplayModes[displayModeIndex(mode)].caption;
}

// The mode key's step: the next mode of the menu, after the last one the first. Two Screens is
// passed by while there is no second screen to show it on.
constexpr DisplayMode nextDisplayMode(DisplayMode mode, bool secondScreen) {
    const DisplayMode next =
        kDisplayModes[(displayModeIndex(mode) + 1) % kDisplayModes.size()].mode;
    return next == DisplayMode::TwoScreens && !secondScreen ? nextDisplayMode(next, true) : next;
}

// The modes that show one image area over the place of both panels and the border between them.
constexpr bool fillsOneArea(DisplayMode mode) {
    return mode != DisplayMode::SideBySide && mode != DisplayMode::Mirror &&
           mode != DisplayMode::TwoScreens;
}

// The modes that take the eyes in their own order, the left eye first, also in crossed viewing,
// which arranges only the two panels of the window.
constexpr bool keepsEyeOrder(DisplayMode mode) {
    return fillsOneArea(mode) || mode == DisplayMode::TwoScreens;
}

// The modes whose lines alternate between the eyes by their parity on the screen.
constexpr bool isInterlaced(DisplayMode mode) {
    return mode == DisplayMode::RowInterlaced || mode == DisplayMode::ColumnInterlaced;
}

} // namespace duoptic
