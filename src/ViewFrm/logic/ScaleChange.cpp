#include "ViewFrm/logic/ScaleChange.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace duoptic {

namespace {

// Where the area's centre falls on the displayed picture, 0 at its first edge, 1 at its last. The
// offset before rounding: at the middle position the picture's centre, not a pixel beside it.
double centreOn(int area, int displayed, double position) {
    return (area / 2.0 - (static_cast<double>(area) - displayed) * position) / displayed;
}

// The position that puts `point` (as centreOn gives it) of a picture displayed this large at
// the centre of the area.
double positionFor(double point, int area, int displayed, double kept) {
    const double room = static_cast<double>(area) - displayed;
    if (room == 0.0) {
        return kept;
    }
    return std::clamp((area / 2.0 - point * displayed) / room, 0.0, 1.0);
}

} // namespace

ExactPositions keepCentre(const ViewInputs& from, const ViewInputs& to) {
    const ExactPositions kept{from.exactHorizontal.value_or(from.horizontal / 100.0),
                              from.exactVertical.value_or(from.vertical / 100.0)};
    const PanelGeometry before = computePanelGeometry(from);
    const PanelGeometry after = computePanelGeometry(to);
    if (!before.drawable || !after.drawable) {
        return kept;
    }
    return {positionFor(centreOn(from.areaWidth, before.displayedWidth, kept.horizontal),
                        to.areaWidth, after.displayedWidth, kept.horizontal),
            positionFor(centreOn(from.areaHeight, before.displayedHeight, kept.vertical),
                        to.areaHeight, after.displayedHeight, kept.vertical)};
}

int nearestZoom(const ViewInputs& in) {
    const PanelGeometry wanted = computePanelGeometry(in);
    if (!wanted.drawable) {
        return in.zoom;
    }
    ViewInputs zoomed = in;
    zoomed.actualSizeRatio.reset();
    int nearest = 0;
    long long nearestDistance = std::numeric_limits<long long>::max();
    for (int zoom = 0; zoom <= 100; ++zoom) {
        zoomed.zoom = zoom;
        const long long distance =
            std::llabs(static_cast<long long>(computePanelGeometry(zoomed).displayedWidth) -
                       wanted.displayedWidth);
        if (distance < nearestDistance) {
            nearest = zoom;
            nearestDistance = distance;
        }
    }
    return nearest;
}

} // namespace duoptic
