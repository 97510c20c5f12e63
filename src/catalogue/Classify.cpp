#include "catalogue/Classify.h"

#include "catalogue/AsciiCase.h"

namespace duoptic {

namespace {

std::optional<PairKind> kindOf(std::string_view baseName, std::string_view key,
                               const FolderListing& listing) {
    if (key == testedSuffix(PairSuffix::Parallel)) {
        return PairKind::Parallel;
    }
    if (key == testedSuffix(PairSuffix::Crossing)) {
        return PairKind::Crossing;
    }
    if (key == testedSuffix(PairSuffix::LeftEye)) {
        std::string rightEye(baseName);
        rightEye += testedSuffix(PairSuffix::RightEye);
        if (listing.findFile(rightEye)) {
            return PairKind::TwoFiles;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<ClassifiedName> classifyFileName(const std::string& folder, const std::string& name,
                                               const FolderListing& listing) {
    // The folder ends in "/", which no suffix contains, so a suffix can only lie within the name.
    if (name.size() < kPairSuffixLength) {
        return std::nullopt;
    }
    const std::size_t baseLength = name.size() - kPairSuffixLength;
    const std::string_view baseName = std::string_view(name).substr(0, baseLength);
    const std::string key = asciiUpper(std::string_view(name).substr(baseLength));
    const std::optional<PairKind> kind = kindOf(baseName, key, listing);
    if (!kind) {
        return std::nullopt;
    }
    std::string basePath = folder;
    basePath += baseName;
    return ClassifiedName{PairEntry{std::move(basePath), std::string(baseName), *kind},
                          folder + name};
}

} // namespace duoptic
