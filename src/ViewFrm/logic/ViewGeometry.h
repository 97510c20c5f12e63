#pragma once

#include "base/Rect.h"
#include "modes/FittingModes.h"

#include <optional>

namespace duoptic {

struct ViewInputs {
    FittingMode fitting = FittingMode::ImageWidth;
    int zoom = 0;        // 0..100
    int horizontal = 50; // 0..100
    int vertical = 50;   // 0..100
    int imageWidth = 0;  // pixels; 0 means no image
    int imageHeight = 0; // pixels; 0 means no image
    double imageAspect = 0.0;
    int areaWidth = 0;  // pixels
    int areaHeight = 0; // pixels
    double areaAspect = 0.0;
};

// Where one panel's image lands in its area. When drawable is false nothing may be drawn and the
// other fields are zero. A picture and an area that are not empty are always drawable, however
// long or high the picture: at least a pixel each way, and a source that shows some of it.
struct PanelGeometry {
    bool drawable = false;
    int displayedWidth = 0;
    int displayedHeight = 0;
    int horizontalOffset = 0; // x of the displayed image's left edge in the area
    int verticalOffset = 0;   // y of the displayed image's top edge in the area
    Rect source;              // raster pixels; may reach beyond the raster
};

PanelGeometry computePanelGeometry(const ViewInputs& in);

struct AreaMetrics {
    int width = 0;
    int height = 0;
    double aspect = 0.0; // 0 when height is 0
};

// New area metrics for an image area of the given size, or nullopt when there is no image, in
// which case the previous metrics are to be kept.
std::optional<AreaMetrics> recomputeAreaMetrics(int imageWidth, int imageHeight, int paintBoxWidth,
                                                int paintBoxHeight);

} // namespace duoptic
