#pragma once

#include "catalogue/PairKind.h"
#include "imaging/JpegDecoder.h"
#include "imaging/Raster.h"

#include <string>
#include <string_view>

namespace duoptic {

struct PairRasters {
    Raster left;
    Raster right;
};

// Reads the file or files of one pair into the two rasters, by pair kind and viewer mode.
// Both files of a two-file pair are read before either raster changes. Errors are thrown at the
// step that fails; what was assigned before stays assigned (nothing is rolled back), so the
// panels keep their previous pictures when a file cannot be opened or its header is rejected.
void readPairInto(JpegDecoder& decoderA, JpegDecoder& decoderB, PairKind kind,
                  std::string_view viewerMode, const std::string& basePath, PairRasters& rasters);

// Exchanges the two rasters' pictures, sizes included. Handles only: no pixel moves.
void reversePair(PairRasters& rasters);

} // namespace duoptic
