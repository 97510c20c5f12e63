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

std::string asciiLower(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = asciiLower(c);
    }
    return folded;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiUpper(x) == asciiUpper(y);
           });
}

bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equalIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

} // namespace duoptic
