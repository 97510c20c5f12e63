#pragma once

#include <string_view>

namespace duoptic {

// Where "0x" counts as a hexadecimal prefix. A settings value takes it only as its very first
// characters, with something after them; the center-border prompt takes it behind spaces and a
// sign too.
enum class ZeroXPrefix {
    AtStartOnly,  // settings values: " 0x10" and "-0x10" are not numbers
    AfterSignToo, // the prompt: " -0x10" is -16
};

// Converts hand-edited or typed text to an integer: optional leading spaces (' ' only, not tabs),
// an optional '+' or '-', then decimal digits, or hexadecimal digits of either case behind "$",
// "x" or "X", or behind "0x" / "0X" where zeroX allows it. The whole text must be consumed and
// the signed value must fit in 32 bits; otherwise the result is defaultValue. Hexadecimal is a
// magnitude like decimal: "$80000000" is out of range, "-$80000000" is INT_MIN.
int textToInt(std::string_view text, int defaultValue, ZeroXPrefix zeroX);

} // namespace duoptic
