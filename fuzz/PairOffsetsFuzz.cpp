// Any text as the store of pair offsets: what it reads holds only entries within the limits, and
// what is written of it reads back the same, with nothing damaged, and is written the same again.
#include "settings/PairOffsetsText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using duoptic::PairOffset;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

bool withinLimits(const PairOffset& offset) {
    return offset != PairOffset{} && std::abs(offset.dx) <= PairOffset::kMaxShift &&
           std::abs(offset.dy) <= PairOffset::kMaxShift &&
           std::abs(offset.roll) <= PairOffset::kMaxRoll;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const duoptic::ParsedOffsets parsed = duoptic::parsePairOffsets(text);
    for (const auto& [key, offset] : parsed.offsets) {
        check(withinLimits(offset), "an entry beyond the limits, or all zero");
    }
    check(parsed.firstDamagedLines.size() ==
              std::min(parsed.damagedLines, duoptic::ParsedOffsets::kLinesNamed),
          "the damaged lines miscounted");
    const std::string written = duoptic::pairOffsetsText(parsed.offsets);
    const duoptic::ParsedOffsets again = duoptic::parsePairOffsets(written);
    check(again.damagedLines == 0, "a written line reads as damaged");
    check(again.offsets == parsed.offsets, "the written offsets read back differently");
    check(duoptic::pairOffsetsText(again.offsets) == written, "a second write differs");
    return 0;
}
