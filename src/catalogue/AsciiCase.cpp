#include "catalogue/AsciiCase.h"

#include <algorithm>

namespace duoptic {

std::string asciiUpper(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = asciiUpper(c);
    }
    return folded;
}

bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) {
        return false;
    }
    const std::string_view tail = text.substr(text.size() - suffix.size());
    return std::equal(tail.begin(), tail.end(), suffix.begin(),
                      [](char a, char b) { return asciiUpper(a) == asciiUpper(b); });
}

bool lessIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(asciiLower(a[i]));
        const auto y = static_cast<unsigned char>(asciiLower(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b; // std::char_traits<char> compares as unsigned char
}

} // namespace duoptic
