#pragma once

#include "base/FileIdentity.h"
#include "imaging/JpegDecoder.h"
#include "imaging/PairRasters.h"
#include "loading/PairRequest.h"

#include <atomic>
#include <string>
#include <vector>

namespace duoptic {

// Where the second picture of a pair is decoded: beside the caller, at the caller's priority, or
// for a preload nobody waits for yet, at the low priority of background work.
enum class DecodeThreads { Foreground, Background };

// A file a load read, and its identity as taken from the open file while it was read.
struct FileRead {
    std::string path;
    FileIdentity identity;

    friend bool operator==(const FileRead&, const FileRead&) = default;
};

// Reads the files of one pair into the two rasters. Both images of a two-file or MPO pair are
// read before either raster changes. Errors are thrown at the step that fails; what was assigned
// before stays assigned (nothing is rolled back), so the panels keep their previous pictures when
// a file cannot be opened or its header is rejected. A pair whose pictures would take more memory
// than the pair budget is refused before either is decoded. Returns the files read, in the order
// read. `cancel`, when set by another thread, stops the work with DecodeCancelled.
std::vector<FileRead> readPairInto(JpegDecoder& decoderA, JpegDecoder& decoderB,
                                   const PairRequest& request, PairRasters& rasters,
                                   DecodeThreads threads = DecodeThreads::Foreground,
                                   const std::atomic<bool>* cancel = nullptr);

// Measures the vertical alignment of the right eye against the left, and the horizontal
// disparities between them, into the pair's facts.
void measurePair(PairRasters& rasters, const std::atomic<bool>* cancel = nullptr);

} // namespace duoptic
