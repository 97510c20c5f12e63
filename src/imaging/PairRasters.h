#pragma once

#include "base/PairKey.h"
#include "imaging/ExifTags.h"
#include "imaging/HorizontalDisparity.h"
#include "imaging/PairFile.h"
#include "imaging/Raster.h"
#include "imaging/VerticalAlignment.h"

#include <optional>
#include <utility>
#include <vector>

namespace duoptic {

// The two pictures of a pair as the panels show them: the left raster in the left panel.
struct PairRasters {
    Raster left;
    Raster right;
    // The right eye's picture is in the left panel (crossed viewing, or after a Reverse).
    bool leftEyeOnRight = false;
    // The load put the eyes in the panels for crossed viewing. That arranges the two panels
    // only: a mode of one image area takes the eyes in their own order, which a Reverse swaps.
    bool crossedByViewerMode = false;
    // What the load learnt of the pair besides its pixels; nothing for a pair of no files.
    struct Facts {
        std::optional<PairKey> key; // of the files' content, whatever their names
        // The parallax the camera recorded, as its file holds it, where it holds one.
        std::optional<CameraParallax> cameraParallax;
        // The files read, in the order read, and what the camera recorded in the EXIF of the
        // left eye's file (or image of an MPO).
        std::vector<PairFile> files;
        ExifCamera camera;
        // The right eye against the left, where the load was asked to measure it.
        std::optional<AlignmentEstimate> alignment;
        // The depths the same measurement sees, of the eyes in their own order.
        std::optional<DisparityEstimate> disparity;
    } facts;
};

// Exchanges the two rasters' pictures, sizes included. Handles only: no pixel moves.
inline void reversePair(PairRasters& rasters) {
    std::swap(rasters.left, rasters.right);
    rasters.leftEyeOnRight = !rasters.leftEyeOnRight;
}

} // namespace duoptic
