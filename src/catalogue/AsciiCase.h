#pragma once

#include <string>
#include <string_view>

namespace duoptic {

// File names are bytes of any encoding; only the ASCII letters take part in case folding, so
// multi-byte characters (UTF-8 or not) pass through untouched.

constexpr char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string asciiUpper(std::string_view text);

// Also the sort key of names ignoring case: folding to lower case puts "_" and the other
// punctuation between "Z" and "a" before the letters ("a_DUP.jpg" before "ab_DUP.jpg").
std::string asciiLower(std::string_view text);

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);

bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix);

} // namespace duoptic
