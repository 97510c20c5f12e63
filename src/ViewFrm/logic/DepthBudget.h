#pragma once

#include <optional>
#include <string>
#include <vector>

namespace duoptic {

// How the pair on screen is drawn, as far as its depth is concerned.
struct DepthViewing {
    int imageWidth = 0;                     // full-size pixels
    int rightEyeShift = 0;                  // of the right eye to the right, full-size pixels
    double devicePixelsPerImagePixel = 0.0; // across, as drawn now
    double mmPerDevicePixel = 0.0;          // across the screen; 0: its size is not known
    double screenWidthMm = 0.0;             // sets the viewing distance assumed
    double eyeDistanceMm = 65.0;
};

// The viewer is assumed this many screen widths away: about where a picture filling the screen
// is seen whole without turning the eyes much.
inline constexpr double kViewingDistanceInScreenWidths = 1.6;
// The total parallax, far less near, that a viewer fuses without strain: this share of the
// viewing distance.
inline constexpr double kDepthBudgetShare = 1.0 / 30.0;

// The parallax of the nearest and farthest points of a pair as shown: positive behind the screen.
struct DepthReadout {
    double nearPercent = 0.0; // of the picture's width
    double farPercent = 0.0;
    std::optional<double> nearMm; // on the screen, where its size is known
    std::optional<double> farMm;
    std::optional<double> budgetMm; // what far less near may be
    bool diverges = false;   // the far parallax is wider than the eyes: they would turn outwards
    bool overBudget = false; // far less near is more than the budget
};

// From the disparities (x_right - x_left, full-size pixels) of the nearest and farthest points.
DepthReadout depthReadout(double nearest, double farthest, const DepthViewing& viewing);

// The overlay's lines.
std::vector<std::string> depthLines(const DepthReadout& readout, double eyeDistanceMm);

} // namespace duoptic
