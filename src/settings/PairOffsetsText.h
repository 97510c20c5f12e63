#pragma once

#include "base/PairKey.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace duoptic {

// How the right eye's picture is moved against the left one's to align a pair: in image pixels,
// so that it means the same at every zoom, and a turn in hundredths of a degree, clockwise on
// screen (the right eye is turned about its centre first, then moved).
struct PairOffset {
    int dx = 0;
    int dy = 0;
    int roll = 0;

    // Beyond these nothing is kept: no picture the viewer decodes is wider or taller than
    // kMaxShift, and a turn of more than half a circle is a turn the other way.
    static constexpr int kMaxShift = 65535;
    static constexpr int kMaxRoll = 18000;

    bool operator==(const PairOffset&) const = default;
};

// A pair without an entry has no offset; an entry is never all zero.
using PairOffsets = std::map<PairKey, PairOffset>;

// Sets or, for an all-zero offset, removes the entry of the key.
void applyOffset(PairOffsets& offsets, PairKey key, const PairOffset& offset);

// The stored form: one line per pair, "<key> <dx> <dy> <roll>" with spaces or tabs between, the
// roll optional and in tenths of a degree with at most one decimal ("3" is 0.3 degrees, "3.5"
// 0.35: the lines of the versions that kept only tenths read the same), LF or CR LF at the end.
// Lines starting with "#" and blank lines are notes. A later line for a key wins over an earlier
// one, so that a line added by hand at the end counts.
struct ParsedOffsets {
    static constexpr std::size_t kLinesNamed = 5;

    PairOffsets offsets;
    std::size_t damagedLines = 0;               // lines neither an entry nor a note
    std::vector<std::size_t> firstDamagedLines; // their numbers from 1, at most kLinesNamed
};

ParsedOffsets parsePairOffsets(std::string_view text);

// The text that parsePairOffsets reads back as the same offsets, sorted by key, after a note
// that says what the columns are.
std::string pairOffsetsText(const PairOffsets& offsets);

} // namespace duoptic
