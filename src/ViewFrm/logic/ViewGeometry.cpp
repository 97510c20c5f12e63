#include "ViewFrm/logic/ViewGeometry.h"

#include "ViewFrm/logic/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace duoptic {

namespace {

struct Size {
    int width;
    int height;
};

// A picture far longer than it is high still shows one row at the fitting zoom, not none: its
// thinner side rounds up to a pixel at least.
int atLeastAPixel(double size) {
    return std::max(roundToInt(size), 1);
}

Size displayedSize(const ViewInputs& in) {
    if (in.actualSizeRatio) {
        const double ratio = *in.actualSizeRatio;
        return {atLeastAPixel(in.imageWidth / ratio), atLeastAPixel(in.imageHeight / ratio)};
    }
    const double p = in.zoom / 100.0;
    const double imageWidth = in.imageWidth;
    if (in.fitting == FittingMode::ImageWidth) {
        const double e = static_cast<double>(in.areaWidth) / imageWidth;
        const double z = e + (2.0 - e) * p;
        return {atLeastAPixel(imageWidth * z), atLeastAPixel(imageWidth * z / in.imageAspect)};
    }
    const double a = 2.0 * imageWidth / in.areaWidth;
    const double f = 1.0 + (a - 1.0) * p;
    if (in.imageAspect > in.areaAspect) {
        const double height = in.areaHeight * f;
        return {atLeastAPixel(height * in.imageAspect), atLeastAPixel(height)};
    }
    const double width = in.areaWidth * f;
    return {atLeastAPixel(width), atLeastAPixel(width / in.imageAspect)};
}

// The product of two pixel quantities is exact in 64 bits; only the quotient is inexact.
int scaledRound(std::int64_t a, std::int64_t b, int divisor) {
    return roundToInt(static_cast<double>(a * b) / divisor);
}

// The displayed picture always meets the area, but a source rounded to whole raster pixels may
// miss a picture of few pixels shown large. The panel draws the raster pixel under the centre of
// each of its `count` pixels (imaging/Stretch.h), so the source keeps one pixel at least, and the
// first of them shows none past the raster's end, the last none before its start.
void keepOnePixel(int& start, int& span, int count, int rasterSize) {
    span = std::max(span, 1);
    const auto shownAt = [&](double position) {
        return static_cast<int>(std::floor((2.0 * position + 1.0) * span / (2.0 * count)));
    };
    start = std::clamp(start, -shownAt(count - 1), rasterSize - 1 - shownAt(0));
}

} // namespace

PanelGeometry computePanelGeometry(const ViewInputs& in) {
    if (in.imageWidth <= 0 || in.imageHeight <= 0 || in.areaWidth <= 0 || in.areaHeight <= 0 ||
        !(in.imageAspect > 0.0) || !std::isfinite(in.imageAspect) ||
        (in.actualSizeRatio && !(*in.actualSizeRatio > 0.0))) {
        return {};
    }
    const Size shown = displayedSize(in);

    PanelGeometry g;
    g.drawable = true;
    g.displayedWidth = shown.width;
    g.displayedHeight = shown.height;
    const double h = in.exactHorizontal.value_or(in.horizontal / 100.0);
    const double v = in.exactVertical.value_or(in.vertical / 100.0);
    // Differences in double: a saturated displayed size must not overflow int.
    g.horizontalOffset = roundToInt((static_cast<double>(in.areaWidth) - shown.width) * h);
    g.verticalOffset = roundToInt((static_cast<double>(in.areaHeight) - shown.height) * v);

    if (in.actualSizeRatio) {
        // Exactly as many image pixels as the buffer has device pixels, from the one under the
        // area's first: the stretch then copies them one to one.
        const double ratio = *in.actualSizeRatio;
        g.source.left = roundToInt(-g.horizontalOffset * ratio);
        g.source.top = roundToInt(-g.verticalOffset * ratio);
        g.source.width = deviceExtent(in.areaWidth, ratio);
        g.source.height = deviceExtent(in.areaHeight, ratio);
    } else {
        g.source.left =
            scaledRound(-static_cast<std::int64_t>(g.horizontalOffset), in.imageWidth, shown.width);
        g.source.top =
            scaledRound(-static_cast<std::int64_t>(g.verticalOffset), in.imageHeight, shown.height);
        g.source.width = scaledRound(in.imageWidth, in.areaWidth, shown.width);
        g.source.height = scaledRound(in.imageHeight, in.areaHeight, shown.height);
    }
    keepOnePixel(g.source.left, g.source.width, in.areaWidth, in.imageWidth);
    keepOnePixel(g.source.top, g.source.height, in.areaHeight, in.imageHeight);
    return g;
}

int deviceExtent(int extent, double ratio) {
    return static_cast<int>(std::lround(extent * ratio));
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

void PanelMetrics::setImage(int width, int height) {
    imageWidth = width;
    imageHeight = height;
    imageAspect = height == 0 ? 0.0 : double(width) / double(height);
}

ViewInputs PanelMetrics::inputs(FittingMode fitting, int zoom, int horizontal, int vertical) const {
    ViewInputs in;
    in.fitting = fitting;
    in.zoom = zoom;
    in.horizontal = horizontal;
    in.vertical = vertical;
    in.imageWidth = imageWidth;
    in.imageHeight = imageHeight;
    in.imageAspect = imageAspect;
    in.areaWidth = area.width;
    in.areaHeight = area.height;
    in.areaAspect = area.aspect;
    return in;
}

void PanelMetrics::drawn(int index, const PanelGeometry& geometry) {
    displayedWidth = geometry.displayedWidth;
    displayedHeight = geometry.displayedHeight;
    horizontalOffsets[static_cast<std::size_t>(index)] = geometry.horizontalOffset;
    verticalOffset = geometry.verticalOffset;
}

} // namespace duoptic
