#pragma once

#include <string_view>

namespace duoptic {

// Converts hand-edited or typed text to an integer the way the settings file and the
// center-border prompt expect: optional leading spaces (' ' only, not tabs), an optional '+' or
// '-', then decimal digits, or hexadecimal digits of either case behind "$", "x", "X", "0x" or
// "0X". The whole text must be consumed and the signed value must fit in 32 bits; otherwise the
// result is defaultValue. Hexadecimal is a magnitude like decimal: "$80000000" is out of range,
// "-$80000000" is INT_MIN.
int textToInt(std::string_view text, int defaultValue);

} // namespace duoptic
