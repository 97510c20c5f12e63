#include "catalogue/OpenPairFile.h"

#include "base/Paths.h"
#include "catalogue/FolderListing.h"

#include <vector>

namespace duoptic {

std::string pairFilePath(const std::string& basePath, PairKind kind, Eye eye) {
    std::vector<std::string_view> endings;
    for (const PairSuffix suffix : pairFileSuffixes(kind, eye)) {
        endings.push_back(openedSuffix(suffix));
    }
    const std::string formed = basePath + std::string(endings.front());
    // The exact spelling of the first ending wins over everything: no need to read the folder.
    if (isRegularFile(formed)) {
        return formed;
    }
    const std::string folder(folderPart(basePath));
    const std::string_view baseName = namePart(basePath);
    const FolderListing listing = FolderListing::read(folder.empty() ? "." : folder);
    if (const auto found = listing.findPairFile(baseName, endings)) {
        return folder + *found;
    }
    return formed;
}

std::string pairFilePath(const PairEntry& entry, Eye eye) {
    const bool twoFiles = entry.kind == PairKind::TwoFiles;
    const std::string& remembered =
        twoFiles && eye == Eye::Right ? entry.rightEyeFilePath : entry.filePath;
    return remembered.empty() ? pairFilePath(entry.basePath, entry.kind, eye) : remembered;
}

} // namespace duoptic
