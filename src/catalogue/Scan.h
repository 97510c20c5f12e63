#pragma once

#include "catalogue/PairList.h"

#include <string>
#include <vector>

namespace duoptic {

// Replaces `list` with the pairs of `folder`, in the order the file system lists the files. A
// missing or unreadable folder gives an empty list.
void scanFolderForPairs(const std::string& folder, PairList& list);

// Row r of the Filer's name list, preview path r and entry r + 1 of the pair list describe the
// same pair.
struct FilerListing {
    std::vector<std::string> rows; // base names
    // The file the entry was classified from: the side-by-side or MPO file, or the left-eye file.
    // A JPEG decoder reading an MPO file decodes its first image.
    std::vector<std::string> previewPaths;
};

// Replaces `list` with the pairs of `folder` in name order ignoring case, as the Filer shows them.
FilerListing buildFilerList(const std::string& folder, PairList& list);

} // namespace duoptic
