#pragma once

#include <cstddef>
#include <string_view>

// Text is UTF-8, but what users and file systems hand over need not be. A byte that begins no
// well-formed sequence is taken as a character of its own, so any byte string can be measured
// and cut without losing or merging bytes.
namespace duoptic {

// The length of the well-formed UTF-8 sequence at the start of text, or 0 when there is none:
// a stray continuation byte, an overlong form, a surrogate, a value above U+10FFFF or a sequence
// cut short.
inline std::size_t utf8SequenceLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80; // the range of the second byte, narrower after some leads
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;   // overlong
        high = lead == 0xED ? 0x9F : high; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;   // overlong
        high = lead == 0xF4 ? 0x8F : high; // above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// The length of one character at the start of a non-empty text: a whole sequence, or one byte.
inline std::size_t characterLength(std::string_view text) {
    const std::size_t length = utf8SequenceLength(text);
    return length == 0 ? 1 : length;
}

// How many bytes the first `characters` characters of text take.
inline std::size_t bytesOfCharacters(std::string_view text, std::size_t characters) {
    std::size_t bytes = 0;
    for (; characters > 0 && bytes < text.size(); --characters) {
        bytes += characterLength(text.substr(bytes));
    }
    return bytes;
}

} // namespace duoptic
