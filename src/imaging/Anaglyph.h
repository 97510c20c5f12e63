#pragma once

#include "imaging/DisplayCompose.h"

#include <cstdint>

namespace duoptic {

// Mixes n pixel pairs, the left eye's and the right eye's, into one anaglyph pixel each.
void mixAnaglyph(AnaglyphKind kind, const std::uint32_t* left, const std::uint32_t* right,
                 std::uint32_t* out, int n);

// One eye's pixels on a row, row[columns[i]], and the row drawn after it, to ask memory for early
// (or null).
struct GatheredEye {
    const std::uint32_t* row;
    const std::int32_t* columns;
    const std::uint32_t* nextRow;
};

// The same on left.row[left.columns[i]] and right.row[right.columns[i]], both eyes gathered and
// mixed in one pass; false, drawing nothing, where the processor lacks the instructions for it.
bool mixAnaglyphGathered(AnaglyphKind kind, GatheredEye left, GatheredEye right, std::uint32_t* out,
                         int n);

} // namespace duoptic
