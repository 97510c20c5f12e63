// Any text as a stored or typed integer, against a reference built on std::from_chars.
#include "settings/TextToInt.h"

#include <charconv>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace {

using duoptic::ZeroXPrefix;

// Spaces, a sign, a hexadecimal prefix, then digits of the base that make up all of the rest.
// Settings values take "0x" only at the very start (as "$"); the prompt also after a sign.
std::optional<int> reference(std::string_view original, ZeroXPrefix zeroX) {
    std::string replaced(original);
    if (zeroX == ZeroXPrefix::AtStartOnly && replaced.size() > 2 &&
        (replaced.starts_with("0x") || replaced.starts_with("0X"))) {
        replaced.replace(0, 2, "$");
    }
    std::string_view text = replaced;
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    for (const std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (prefix.size() == 2 && zeroX == ZeroXPrefix::AtStartOnly) {
            continue;
        }
        if (text.starts_with(prefix)) {
            text.remove_prefix(prefix.size());
            base = 16;
            break;
        }
    }
    // from_chars would take a sign of its own; the text may hold only digits here.
    if (text.empty() || text.front() == '+' || text.front() == '-') {
        return std::nullopt;
    }
    std::uint64_t magnitude = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, magnitude, base);
    if (error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    const std::int64_t limit = negative ? -std::int64_t{INT_MIN} : std::int64_t{INT_MAX};
    if (magnitude > static_cast<std::uint64_t>(limit)) {
        return std::nullopt;
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<int>(negative ? -value : value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const ZeroXPrefix zeroX : {ZeroXPrefix::AtStartOnly, ZeroXPrefix::AfterSignToo}) {
        const std::optional<int> expected = reference(text, zeroX);
        // Two defaults, so that a result which happens to equal the default cannot hide a
        // mistake.
        for (const int fallback : {-1, INT_MIN}) {
            const int got = duoptic::textToInt(text, fallback, zeroX);
            if (got != expected.value_or(fallback)) {
                std::fprintf(stderr, "textToInt(\"%.*s\", %d, %d) = %d, expected %d\n",
                             static_cast<int>(size), text.data(), fallback, static_cast<int>(zeroX),
                             got, expected.value_or(fallback));
                std::abort();
            }
        }
    }
    return 0;
}
