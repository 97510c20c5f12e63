#include "catalogue/Scan.h"

#include "catalogue/Classify.h"
#include "catalogue/FolderListing.h"

namespace duoptic {

void scanFolderForPairs(const std::string& folder, PairList& list) {
    list.clear();
    const std::string dir = withTrailingSeparator(folder);
    const FolderListing listing = FolderListing::read(dir);
    for (const std::string& name : listing.jpgFileNames(NameOrder::Listing)) {
        if (auto classified = classifyFileName(dir, name, listing)) {
            list.append(std::move(classified->entry));
        }
    }
}

FilerListing buildFilerList(const std::string& folder, PairList& list) {
    list.clear();
    FilerListing filer;
    const std::string dir = withTrailingSeparator(folder);
    const FolderListing listing = FolderListing::read(dir);
    for (const std::string& name : listing.jpgFileNames(NameOrder::IgnoringAsciiCase)) {
        if (auto classified = classifyFileName(dir, name, listing)) {
            filer.rows.push_back(classified->entry.baseName);
            filer.previewPaths.push_back(std::move(classified->matchedPath));
            list.append(std::move(classified->entry));
        }
    }
    return filer;
}

} // namespace duoptic
