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

// The files a load opens: the one file of the pair (side-by-side, MPO) or its left-eye file, and
// the right-eye file of a two-file pair (else empty).
struct PairFiles {
    std::string left;
    std::string right;
};

// From a base path, found as classification finds names (a bare base name is looked up in the
// current directory), or from an entry, which remembers the files it was classified from.
PairFiles pairFilesOf(const std::string& basePath, PairKind kind);
PairFiles pairFilesOf(const PairEntry& entry);

// Where the second picture of a pair is decoded: beside the caller, at the caller's priority, or
// for a preload nobody waits for yet, at the low priority of background work.
enum class DecodeThreads { Foreground, Background };

// Reads the files of one pair into the two rasters, by pair kind and viewer mode. Both images of
// a two-file or MPO pair are read before either raster changes. Errors are thrown at the step
// that fails; what was assigned before stays assigned (nothing is rolled back), so the panels
// keep their previous pictures when a file cannot be opened or its header is rejected.
void readPairInto(JpegDecoder& decoderA, JpegDecoder& decoderB, PairKind kind,
                  std::string_view viewerMode, const PairFiles& files, PairRasters& rasters,
                  DecodeThreads threads = DecodeThreads::Foreground);

// Exchanges the two rasters' pictures, sizes included. Handles only: no pixel moves.
void reversePair(PairRasters& rasters);

} // namespace duoptic
