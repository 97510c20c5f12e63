#include "catalogue/Scan.h"

#include "base/Paths.h"

#include "catalogue/Classify.h"
#include "catalogue/FolderListing.h"

namespace duoptic {

void scanFolderForPairs(const std::string& folder, PairList& list) {
    list.clear();
    const std::string dir = withTrailingSeparator(folder);
    const FolderListing listing = FolderListing::read(dir);
    for (const std::string& name : listing.pairFileCandidates(NameOrder::Listing)) {
        if (auto entry = classifyFileName(dir, name, listing)) {
            list.append(std::move(*entry));
        }
    }
}

FilerListing buildFilerList(const std::string& folder, PairList& list) {
    list.clear();
    FilerListing filer;
    const std::string dir = withTrailingSeparator(folder);
    const FolderListing listing = FolderListing::read(dir);
    for (const std::string& name : listing.pairFileCandidates(NameOrder::IgnoringAsciiCase)) {
        if (auto entry = classifyFileName(dir, name, listing)) {
            filer.rows.push_back(entry->baseName);
            filer.previewPaths.push_back(entry->filePath);
            list.append(std::move(*entry));
        }
    }
    return filer;
}

} // namespace duoptic
