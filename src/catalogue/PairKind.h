#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace duoptic {

// What a pair entry holds; the character is the kind as the rest of the program knows it.
enum class PairKind : char {
    Parallel = 'P', // one side-by-side file, left-eye image in the left half
    Crossing = 'C', // one side-by-side file, left-eye image in the right half
    TwoFiles = '2', // a left-eye file and a right-eye file
};

constexpr char toChar(PairKind kind) {
    return static_cast<char>(kind);
}

struct PairEntry {
    std::string basePath; // folder (ending in "/") + base name; + a suffix gives a file of the pair
    std::string baseName; // may be empty (a file named "_DUP.jpg")
    PairKind kind = PairKind::TwoFiles;

    friend bool operator==(const PairEntry&, const PairEntry&) = default;
};

// The four name endings that make a file part of a pair.
enum class PairSuffix : unsigned char { Parallel, Crossing, LeftEye, RightEye };

enum class Eye : unsigned char { Left, Right };

inline constexpr std::size_t kPairSuffixLength = 8; // every suffix, tested or opened

// The ending as compared against an upper-cased name.
constexpr std::string_view testedSuffix(PairSuffix suffix) {
    switch (suffix) {
    case PairSuffix::Parallel:
        return "_DUP.JPG";
    case PairSuffix::Crossing:
        return "_DUC.JPG";
    case PairSuffix::LeftEye:
        return "_DUL.JPG";
    case PairSuffix::RightEye:
        return "_DUR.JPG";
    }
    return {};
}

// The ending appended to a base path to open a file of the pair.
constexpr std::string_view openedSuffix(PairSuffix suffix) {
    switch (suffix) {
    case PairSuffix::Parallel:
        return "_DUP.jpg";
    case PairSuffix::Crossing:
        return "_DUC.jpg";
    case PairSuffix::LeftEye:
        return "_DUL.jpg";
    case PairSuffix::RightEye:
        return "_DUR.jpg";
    }
    return {};
}

// The file that holds the given eye's image: a side-by-side file holds both.
constexpr PairSuffix pairFileSuffix(PairKind kind, Eye eye) {
    switch (kind) {
    case PairKind::Parallel:
        return PairSuffix::Parallel;
    case PairKind::Crossing:
        return PairSuffix::Crossing;
    case PairKind::TwoFiles:
        return eye == Eye::Left ? PairSuffix::LeftEye : PairSuffix::RightEye;
    }
    return PairSuffix::LeftEye;
}

} // namespace duoptic
