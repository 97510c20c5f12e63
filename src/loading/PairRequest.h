#pragma once

#include "catalogue/PairKind.h"
#include "modes/ViewerModes.h"

#include <string>

namespace duoptic {

// Everything a load of one pair needs, made once from a Pair-list entry and handed unchanged to
// the load, the preload and the title: which files, how they hold the two images, and which
// image goes to the left panel.
struct PairRequest {
    PairKind kind = PairKind::TwoFiles;
    // The files the entry was classified from: the one file of a side-by-side or MPO pair, or
    // the left-eye file of a two-file pair; and the right-eye file of a two-file pair (else empty).
    std::string file;
    std::string rightEyeFile;
    // For two-file and MPO pairs only: a side-by-side file shows the same in both modes, so its
    // requests are alike whatever the mode.
    ViewerSides sides = ViewerSides::Parallel;
    std::string baseName; // what the title calls the pair
    // Whether the pictures are turned upright as their EXIF orientation says: always for the
    // formats of 3D cameras (MPO, JPS), for the other kinds only when the user asks for it.
    bool orientUpright = false;
    // Whether the load measures the vertical alignment of the two eyes.
    bool measureAlignment = false;

    friend bool operator==(const PairRequest&, const PairRequest&) = default;
};

// What the user's settings ask of every load.
struct LoadChoices {
    bool orientJpegPairs = false; // turn the pairs of plain JPEG files upright too
    bool measureAlignment = false;

    friend bool operator==(const LoadChoices&, const LoadChoices&) = default;
};

PairRequest pairRequest(const PairEntry& entry, ViewerSides sides, LoadChoices choices = {});

} // namespace duoptic
