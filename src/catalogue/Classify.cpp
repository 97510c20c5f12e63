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
            // Looked up as the load looks it up, so that both settle on the same right-eye file.
            const std::string_view rightEye[] = {openedSuffix(PairSuffix::RightEye)};
            const std::optional<std::string> found = listing.findPairFile(baseName, rightEye);
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
