#pragma once

#include "imaging/JpegDecoder.h"
#include "imaging/PairRasters.h"

namespace duoptic {

// The sample pair that the window shows until a pair is loaded, decoded by the given decoders.
PairRasters decodeSamplePair(JpegDecoder& left, JpegDecoder& right);

} // namespace duoptic
