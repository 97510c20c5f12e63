#include "settings/TextToInt.h"

#include <cstdint>
#include <optional>
#include <string>

namespace duoptic {

namespace {

constexpr std::uint64_t kMaxMagnitude = std::uint64_t{1} << 31; // |INT_MIN|

std::optional<unsigned> digitValue(char c, unsigned base) {
    unsigned value = 0;
    if (c >= '0' && c <= '9') {
        value = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
        value = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
        value = static_cast<unsigned>(c - 'A' + 10);
    } else {
        return std::nullopt;
    }
    if (value >= base) {
        return std::nullopt;
    }
    return value;
}

bool startsWithZeroX(std::string_view text) {
    return text.starts_with("0x") || text.starts_with("0X");
}

// Removes a hexadecimal prefix from the front of text and tells whether there was one.
bool takeHexPrefix(std::string_view& text, bool zeroXAllowed) {
    if (zeroXAllowed && startsWithZeroX(text)) {
        text.remove_prefix(2);
        return true;
    }
    for (std::string_view prefix : {"$", "x", "X"}) {
        if (text.starts_with(prefix)) {
            text.remove_prefix(prefix.size());
            return true;
        }
    }
    return false;
}

// The magnitude of a non-empty run of digits that makes up all of text, or nullopt when some
// character is not a digit or the magnitude exceeds what a negative 32-bit value can hold.
std::optional<std::uint64_t> magnitude(std::string_view text, unsigned base) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        std::optional<unsigned> digit = digitValue(c, base);
        if (!digit) {
            return std::nullopt;
        }
        value = value * base + *digit;
        if (value > kMaxMagnitude) {
            return std::nullopt;
        }
    }
    return value;
}

} // namespace

int textToInt(std::string_view text, int defaultValue, ZeroXPrefix zeroX) {
    // Settings values have "0x" turned into "$" at the very start, and only when something
    // follows it; the conversion after that knows no "0x".
    std::string replaced;
    if (zeroX == ZeroXPrefix::AtStartOnly && text.size() > 2 && startsWithZeroX(text)) {
        replaced = "$" + std::string(text.substr(2));
        text = replaced;
    }
    while (text.starts_with(' ')) {
        text.remove_prefix(1);
    }
    bool negative = false;
    if (text.starts_with('+') || text.starts_with('-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const unsigned base = takeHexPrefix(text, zeroX == ZeroXPrefix::AfterSignToo) ? 16 : 10;
    const std::optional<std::uint64_t> value = magnitude(text, base);
    if (!value || (!negative && *value == kMaxMagnitude)) {
        return defaultValue;
    }
    const std::int64_t signedValue =
        negative ? -static_cast<std::int64_t>(*value) : static_cast<std::int64_t>(*value);
    return static_cast<int>(signedValue);
}

} // namespace duoptic
