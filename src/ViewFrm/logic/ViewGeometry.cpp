#include "ViewFrm/logic/ViewGeometry.h"

#include "ViewFrm/logic/Rounding.h"

#include <cmath>
#include <cstdint>

namespace duoptic {

namespace {

struct Size {
    int width;
    int height;
};

Size displayedSize(const ViewInputs& in) {
    const double p = in.zoom / 100.0;
    const double imageWidth = in.imageWidth;
    if (in.fitting == FittingMode::ImageWidth) {
        const double e = static_cast<double>(in.areaWidth) / imageWidth;
        const double z = e + (2.0 - e) * p;
        return {roundToInt(imageWidth * z), roundToInt(imageWidth * z / in.imageAspect)};
    }
    const double a = 2.0 * imageWidth / in.areaWidth;
    const double f = 1.0 + (a - 1.0) * p;
    if (in.imageAspect > in.areaAspect) {
        const double height = in.areaHeight * f;
        return {roundToInt(height * in.imageAspect), roundToInt(height)};
    }
    const double width = in.areaWidth * f;
    return {roundToInt(width), roundToInt(width / in.imageAspect)};
}

// The product of two pixel quantities is exact in 64 bits; only the quotient is inexact.
int scaledRound(std::int64_t a, std::int64_t b, int divisor) {
    return roundToInt(static_cast<double>(a * b) / divisor);
}

} // namespace

PanelGeometry computePanelGeometry(const ViewInputs& in) {
    if (in.imageWidth <= 0 || in.imageHeight <= 0 || in.areaWidth <= 0 || in.areaHeight <= 0 ||
        !(in.imageAspect > 0.0) || !std::isfinite(in.imageAspect)) {
        return {};
    }
    const Size shown = displayedSize(in);
    if (shown.width <= 0 || shown.height <= 0) {
        return {};
    }

    PanelGeometry g;
    g.drawable = true;
    g.displayedWidth = shown.width;
    g.displayedHeight = shown.height;
    const double h = in.horizontal / 100.0;
    const double v = in.vertical / 100.0;
    // Differences in double: a saturated displayed size must not overflow int.
    g.horizontalOffset = roundToInt((static_cast<double>(in.areaWidth) - shown.width) * h);
    g.verticalOffset = roundToInt((static_cast<double>(in.areaHeight) - shown.height) * v);

    g.source.left =
        scaledRound(-static_cast<std::int64_t>(g.horizontalOffset), in.imageWidth, shown.width);
    g.source.top =
        scaledRound(-static_cast<std::int64_t>(g.verticalOffset), in.imageHeight, shown.height);
    g.source.width = scaledRound(in.imageWidth, in.areaWidth, shown.width);
    g.source.height = scaledRound(in.imageHeight, in.areaHeight, shown.height);
    return g;
}

std::optional<AreaMetrics> recomputeAreaMetrics(int imageWidth, int imageHeight, int paintBoxWidth,
                                                int paintBoxHeight) {
    if (imageWidth == 0 || imageHeight == 0) {
        return std::nullopt;
    }
    const double aspect =
        paintBoxHeight == 0 ? 0.0 : static_cast<double>(paintBoxWidth) / paintBoxHeight;
    return AreaMetrics{paintBoxWidth, paintBoxHeight, aspect};
}

} // namespace duoptic
