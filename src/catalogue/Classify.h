#pragma once

#include "catalogue/FolderListing.h"
#include "catalogue/PairKind.h"

#include <optional>
#include <string>

namespace duoptic {

struct ClassifiedName {
    PairEntry entry;
    std::string matchedPath; // folder + name: the file a preview shows
};

// Decides from its name alone whether a file stands for a pair. `folder` ends in "/" (or is empty
// for the current directory); `listing` is the reading of that folder, where the right-eye file
// of a left-eye name is looked up.
std::optional<ClassifiedName> classifyFileName(const std::string& folder, const std::string& name,
                                               const FolderListing& listing);

} // namespace duoptic
