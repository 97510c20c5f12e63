#include "settings/PairOffsetsText.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace duoptic {

namespace {

constexpr std::string_view kHeader =
    "# Offset of the right eye against the left, per pair: key, dx and dy in image pixels, "
    "roll in tenths of a degree\n";

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while ((at = line.find_first_not_of(" \t", at)) != std::string_view::npos) {
        const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
        fields.push_back(line.substr(at, end - at));
        at = end;
    }
    return fields;
}

std::optional<int> numberIn(std::string_view field, int limit) {
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || value < -limit ||
        value > limit) {
        return std::nullopt;
    }
    return value;
}

enum class LineKind { Note, Entry, Damaged };

LineKind parseLine(std::string_view line, PairOffsets& offsets) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const std::vector<std::string_view> fields = fieldsOf(line);
    if (fields.empty() || fields.front().front() == '#') {
        return LineKind::Note;
    }
    if (fields.size() != 3 && fields.size() != 4) {
        return LineKind::Damaged;
    }
    const std::optional<PairKey> key = PairKey::fromText(fields[0]);
    const std::optional<int> dx = numberIn(fields[1], PairOffset::kMaxShift);
    const std::optional<int> dy = numberIn(fields[2], PairOffset::kMaxShift);
    const std::optional<int> roll =
        fields.size() == 4 ? numberIn(fields[3], PairOffset::kMaxRoll) : 0;
    if (!key || !dx || !dy || !roll) {
        return LineKind::Damaged;
    }
    applyOffset(offsets, *key, {*dx, *dy, *roll});
    return LineKind::Entry;
}

} // namespace

void applyOffset(PairOffsets& offsets, PairKey key, const PairOffset& offset) {
    if (offset == PairOffset{}) {
        offsets.erase(key);
    } else {
        offsets[key] = offset;
    }
}

ParsedOffsets parsePairOffsets(std::string_view text) {
    ParsedOffsets parsed;
    for (std::size_t number = 1; !text.empty(); ++number) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        if (parseLine(text.substr(0, end), parsed.offsets) == LineKind::Damaged) {
            if (++parsed.damagedLines <= ParsedOffsets::kLinesNamed) {
                parsed.firstDamagedLines.push_back(number);
            }
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return parsed;
}

std::string pairOffsetsText(const PairOffsets& offsets) {
    std::string text(kHeader);
    for (const auto& [key, offset] : offsets) {
        text += key.text() + ' ' + std::to_string(offset.dx) + ' ' + std::to_string(offset.dy) +
                ' ' + std::to_string(offset.roll) + '\n';
    }
    return text;
}

} // namespace duoptic
