#pragma once

#include "imaging/DisplayCompose.h"

#include <cstdint>

namespace duoptic {

// Mixes n pixel pairs, the left eye's and the right eye's, into one anaglyph pixel each.
void mixAnaglyph(AnaglyphKind kind, const std::uint32_t* left, const std::uint32_t* right,
                 std::uint32_t* out, int n);

} // namespace duoptic
