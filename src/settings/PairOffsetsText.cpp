#include "settings/PairOffsetsText.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
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

// A roll in tenths of a degree with an optional single decimal, as hundredths.
std::optional<int> rollIn(std::string_view field) {
    const std::size_t point = field.find('.');
    if (point == std::string_view::npos) {
        const std::optional<int> tenths = numberIn(field, PairOffset::kMaxRoll / 10);
        return tenths ? std::optional<int>(*tenths * 10) : std::nullopt;
    }
    const std::string_view decimal = field.substr(point + 1);
    const std::string_view whole = field.substr(0, point);
    // "-0.5" has a sign that the whole number alone does not keep.
    const bool negative = !whole.empty() && whole.front() == '-';
    const std::optional<int> tenths = numberIn(whole, PairOffset::kMaxRoll / 10);
    if (!tenths || decimal.size() != 1 || decimal[0] < '0' || decimal[0] > '9') {
        return std::nullopt;
    }
    const int magnitude = std::abs(*tenths) * 10 + (decimal[0] - '0');
    return magnitude <= PairOffset::kMaxRoll ? std::optional<int>(negative ? -magnitude : magnitude)
                                             : std::nullopt;
}

std::string rollText(int hundredths) {
    if (hundredths % 10 == 0) {
        return std::to_string(hundredths / 10);
    }
    const int magnitude = std::abs(hundredths);
    return (hundredths < 0 ? "-" : "") + std::to_string(magnitude / 10) + '.' +
           std::to_string(magnitude % 10);
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
    const std::optional<int> roll = fields.size() == 4 ? rollIn(fields[3]) : 0;
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
                ' ' + rollText(offset.roll) + '\n';
    }
    return text;
}

} // namespace duoptic
