#pragma once

#include "base/Rect.h"
#include "modes/FittingModes.h"

#include <array>
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
    // Actual size: while set, the picture is drawn at one image pixel per device pixel, this many
    // device pixels to an area pixel, instead of at the zoom's scale.
    std::optional<double> actualSizeRatio;
    // While set (0..1), in place of horizontal / 100 and vertical / 100: positions between the
    // scroll bars' steps, which actual size needs to keep a point of the picture where it was.
    std::optional<double> exactHorizontal;
    std::optional<double> exactVertical;
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

// The device pixels across an area side of `extent` pixels at `ratio` device pixels to a pixel:
// what a panel's buffer holds, and what actual size spreads as many image pixels over.
int deviceExtent(int extent, double ratio);

struct AreaMetrics {
    int width = 0;
    int height = 0;
    double aspect = 0.0; // 0 when height is 0
};

// New area metrics for an image area of the given size, or nullopt when there is no image, in
// which case the previous metrics are to be kept.
std::optional<AreaMetrics> recomputeAreaMetrics(int imageWidth, int imageHeight, int paintBoxWidth,
                                                int paintBoxHeight);

// What the two panels keep between drawings: the picture's size, their areas' size, and where
// the last drawing of each put the picture. Changed at a load, at a layout pass and at each
// drawing, read by the drawing and the drag.
struct PanelMetrics {
    int imageWidth = 0; // of the last complete load; 0 means no image
    int imageHeight = 0;
    double imageAspect = 0.0;
    AreaMetrics area;
    int displayedWidth = 0;
    int displayedHeight = 0;
    std::array<int, 2> horizontalOffsets{}; // of each panel's last drawing
    int verticalOffset = 0;

    bool hasImage() const { return imageWidth != 0 && imageHeight != 0; }
    void setImage(int width, int height);
    // The inputs of a drawing at these controls.
    ViewInputs inputs(FittingMode fitting, int zoom, int horizontal, int vertical) const;
    // What drawing panel `index` (0 or 1) with `geometry` leaves behind.
    void drawn(int index, const PanelGeometry& geometry);
};

} // namespace duoptic
