#include "ViewFrm/logic/DepthBudget.h"

#include <cstdio>

namespace duoptic {

namespace {

std::string format(const char* pattern, double a, double b = 0.0) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

} // namespace

DepthReadout depthReadout(double nearest, double farthest, const DepthViewing& viewing) {
    DepthReadout out;
    if (viewing.imageWidth <= 0) {
        return out;
    }
    // A shift of the right eye to the right adds to every point's parallax.
    const double nearPixels = nearest + viewing.rightEyeShift;
    const double farPixels = farthest + viewing.rightEyeShift;
    out.nearPercent = 100.0 * nearPixels / viewing.imageWidth;
    out.farPercent = 100.0 * farPixels / viewing.imageWidth;
    if (viewing.mmPerDevicePixel > 0.0) {
        const double mmPerImagePixel = viewing.devicePixelsPerImagePixel * viewing.mmPerDevicePixel;
        out.nearMm = nearPixels * mmPerImagePixel;
        out.farMm = farPixels * mmPerImagePixel;
        out.diverges = *out.farMm > viewing.eyeDistanceMm;
    }
    if (out.nearMm && viewing.screenWidthMm > 0.0) {
        out.budgetMm = kDepthBudgetShare * kViewingDistanceInScreenWidths * viewing.screenWidthMm;
        out.overBudget = *out.farMm - *out.nearMm > *out.budgetMm;
    }
    return out;
}

std::vector<std::string> depthLines(const DepthReadout& r, double eyeDistanceMm) {
    std::vector<std::string> lines;
    if (r.nearMm && r.farMm) {
        lines.push_back(format("Near %+.2f %% of the width, %+.1f mm", r.nearPercent, *r.nearMm));
        lines.push_back(format("Far %+.2f %% of the width, %+.1f mm", r.farPercent, *r.farMm));
    } else {
        lines.push_back(
            format("Near %+.2f %%, far %+.2f %% of the width", r.nearPercent, r.farPercent));
        lines.emplace_back("Screen size unknown: set [Alignment] ScreenWidth");
    }
    if (r.budgetMm) {
        lines.push_back(format("Depth %.1f mm of %.1f mm", *r.farMm - *r.nearMm, *r.budgetMm));
    }
    if (r.diverges) {
        lines.push_back(format("Far wider than the eyes (%.0f mm): they diverge", eyeDistanceMm));
    }
    if (r.overBudget) {
        lines.emplace_back("More depth than 1/30 of the viewing distance");
    }
    return lines;
}

} // namespace duoptic
