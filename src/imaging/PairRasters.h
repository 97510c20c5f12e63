#pragma once

#include "imaging/ExifTags.h"
#include "imaging/Raster.h"

#include <optional>
#include <utility>

namespace duoptic {

// The two pictures of a pair as the panels show them: the left raster in the left panel.
struct PairRasters {
    Raster left;
    Raster right;
    // The right eye's picture is in the left panel (crossed viewing, or after a Reverse).
    bool leftEyeOnRight = false;
    // The parallax the camera recorded for the pair, as its file holds it, where it holds one.
    std::optional<CameraParallax> cameraParallax{};
};

// Exchanges the two rasters' pictures, sizes included. Handles only: no pixel moves.
inline void reversePair(PairRasters& rasters) {
    std::swap(rasters.left, rasters.right);
    rasters.leftEyeOnRight = !rasters.leftEyeOnRight;
}

} // namespace duoptic
