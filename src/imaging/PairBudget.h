#pragma once

#include "imaging/JpegDecoder.h"

#include <cstdint>

namespace duoptic {

// The most memory the decodes of one pair may take together (JpegDecoder::decodeMemory).
// A real 100-Mpixel camera picture, progressive with full-resolution colour, takes 4 bytes a
// pixel as Xrgb32 and 6 of coefficients while its scans are read: about 1 GB, so its pair about
// 2 GB, and this leaves room above that. Within the per-picture bounds, a header of a few bytes
// may claim 2.5 GiB for one picture, so a file of two such headers would have the pair take
// 5 GiB; here it is refused before anything is decoded. One picture alone always fits.
constexpr std::uint64_t kPairDecodeBudget = std::uint64_t{3} << 30; // 3 GiB

// For a pair whose headers are read, before either picture is decoded: throws the JPEG error of a
// picture too large (as the per-picture bound does) when the decodes together would take more
// than the budget. `second` is null for a pair in one picture. A pair to be turned upright
// (`orientation` other than kUpright, see imaging/Orientation.h) counts the turned copy of each
// picture too, made while the decoded one still lives.
void checkPairBudget(const JpegDecoder& first, const JpegDecoder* second, int orientation);

} // namespace duoptic
