#pragma once

#include "catalogue/FolderListing.h"
#include "catalogue/PairKind.h"

#include <optional>
#include <string>

namespace duoptic {

// Decides from its name alone whether a file stands for a pair. `folder` ends in "/" (or is empty
// for the current directory); `listing` is the reading of that folder, where the right-eye file
// of a left-eye name is looked up. The entry remembers folder + name as its file: the file a
// preview shows and the pair's load opens.
std::optional<PairEntry> classifyFileName(const std::string& folder, const std::string& name,
                                          const FolderListing& listing);

} // namespace duoptic
