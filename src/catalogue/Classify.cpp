#include "catalogue/Classify.h"

#include "catalogue/AsciiCase.h"

#include <utility>

namespace duoptic {

namespace {

struct EntrySuffix {
    PairSuffix suffix;
    PairKind kind;
};

// The endings that make a file an entry of its own; a right-eye file only completes a left one.
// No name can end in two of them.
constexpr EntrySuffix kEntrySuffixes[] = {
    {PairSuffix::Parallel, PairKind::Parallel}, {PairSuffix::Crossing, PairKind::Crossing},
    {PairSuffix::LeftEye, PairKind::TwoFiles},  {PairSuffix::Mpo, PairKind::Multi},
    {PairSuffix::Jps, PairKind::Crossing},
};

// Where the eye's letter lies in a two-file ending ("_DUL.JPG", "_DUR.JPG").
constexpr std::size_t kEyeLetter = testedSuffix(PairSuffix::LeftEye).find('L');
static_assert(testedSuffix(PairSuffix::RightEye)[kEyeLetter] == 'R');

// The name of the other eye's file as the same hand spells it: the eye's letter swapped in its own
// case, the rest byte for byte ("x_dul.JPG" and "x_dur.JPG").
std::string otherEyeSpelling(std::string_view name) {
    std::string other(name);
    char& eye = other[other.size() - kPairSuffixLength + kEyeLetter];
    const char swapped = asciiUpper(eye) == 'L' ? 'R' : 'L';
    eye = eye == asciiUpper(eye) ? swapped : asciiLower(swapped);
    return other;
}

// The right-eye file of a left-eye name. Pairs whose names differ only in case may stand side by
// side, so the spelling that mirrors the left one wins. Another spelling (the cases mixed in one
// pair) will do only where no left-eye file mirrors it: such a file is that left file's own.
std::optional<std::string> rightEyeFileOf(const std::string& leftName, const std::string& baseName,
                                          const FolderListing& listing) {
    const std::string mirrored = otherEyeSpelling(leftName);
    if (listing.hasFile(mirrored)) {
        return mirrored;
    }
    const std::string_view rightEye[] = {openedSuffix(PairSuffix::RightEye)};
    return listing.findPairFile(baseName, rightEye, [&](const std::string& name) {
        return !listing.hasFile(otherEyeSpelling(name));
    });
}

} // namespace

std::optional<PairEntry> classifyFileName(const std::string& folder, const std::string& name,
                                          const FolderListing& listing) {
    // The folder ends in "/", which no suffix contains, so a suffix can only lie within the name.
    for (const EntrySuffix& candidate : kEntrySuffixes) {
        const std::string_view tested = testedSuffix(candidate.suffix);
        if (!endsWithIgnoringAsciiCase(name, tested)) {
            continue;
        }
        std::string baseName = name.substr(0, name.size() - tested.size());
        std::string rightEyeFilePath;
        if (candidate.kind == PairKind::TwoFiles) {
            const std::optional<std::string> found = rightEyeFileOf(name, baseName, listing);
            if (!found) {
                return std::nullopt;
            }
            rightEyeFilePath = folder + *found;
        }
        return PairEntry{folder + baseName, std::move(baseName), candidate.kind, folder + name,
                         std::move(rightEyeFilePath)};
    }
    return std::nullopt;
}

} // namespace duoptic
