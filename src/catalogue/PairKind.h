#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace duoptic {

// What a pair entry holds; the character is the kind's letter in the naming convention.
enum class PairKind : char {
    Parallel = 'P', // one side-by-side file, left-eye image in the left half
    Crossing = 'C', // one side-by-side file, left-eye image in the right half
    TwoFiles = '2', // a left-eye file and a right-eye file
    Multi = 'M',    // one file holding the two images one after the other (MPO)
};

struct PairEntry {
    PairEntry() = default;
    // An entry made without its files (by hand, not by classification) opens by base path alone.
    PairEntry(std::string basePath, std::string baseName, PairKind kind, std::string filePath = {},
              std::string rightEyeFilePath = {})
        : basePath(std::move(basePath)), baseName(std::move(baseName)), kind(kind),
          filePath(std::move(filePath)), rightEyeFilePath(std::move(rightEyeFilePath)) {}

    std::string basePath; // folder (ending in "/") + base name; + a suffix gives a file of the pair
    std::string baseName; // may be empty (a file named "_DUP.jpg")
    PairKind kind = PairKind::TwoFiles;
    // The files the entry was classified from, folder + name as the folder spells them: the one
    // file of the pair or its left-eye file, and the right-eye file of kind 2 (else empty). Names
    // that differ only in letter case may stand side by side; these say which one was meant.
    std::string filePath;
    std::string rightEyeFilePath;

    friend bool operator==(const PairEntry&, const PairEntry&) = default;
};

// The name endings that make a file part of a pair: the four of the naming convention, and the
// extensions of the stereo formats of 3D cameras (MPO) and of side-by-side stereo JPEGs (JPS).
enum class PairSuffix : unsigned char { Parallel, Crossing, LeftEye, RightEye, Mpo, Jps };

enum class Eye : unsigned char { Left, Right };

inline constexpr std::size_t kPairSuffixLength = 8; // the four convention suffixes

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
    case PairSuffix::Mpo:
        return ".MPO";
    case PairSuffix::Jps:
        return ".JPS";
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
    case PairSuffix::Mpo:
        return ".mpo";
    case PairSuffix::Jps:
        return ".jps";
    }
    return {};
}

namespace pair_file_suffixes {
inline constexpr PairSuffix kParallel[] = {PairSuffix::Parallel};
inline constexpr PairSuffix kCrossing[] = {PairSuffix::Crossing, PairSuffix::Jps};
inline constexpr PairSuffix kLeftEye[] = {PairSuffix::LeftEye};
inline constexpr PairSuffix kRightEye[] = {PairSuffix::RightEye};
inline constexpr PairSuffix kMpo[] = {PairSuffix::Mpo};
} // namespace pair_file_suffixes

// The endings of the file that holds the given eye's image (a side-by-side or multi-image file
// holds both), in the order they are tried: a JPS file is a crossing pair too, and the
// convention's own name comes first.
constexpr std::span<const PairSuffix> pairFileSuffixes(PairKind kind, Eye eye) {
    using namespace pair_file_suffixes;
    switch (kind) {
    case PairKind::Parallel:
        return pair_file_suffixes::kParallel;
    case PairKind::Crossing:
        return pair_file_suffixes::kCrossing;
    case PairKind::TwoFiles:
        return eye == Eye::Left ? std::span<const PairSuffix>(kLeftEye) : kRightEye;
    case PairKind::Multi:
        return kMpo;
    }
    return kLeftEye;
}

} // namespace duoptic
