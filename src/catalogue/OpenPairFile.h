#pragma once

#include "catalogue/PairKind.h"

#include <string>

namespace duoptic {

// The file to open for one eye of the pair at `basePath` (a folder part, empty for the current
// directory, then the base name): base path + the kind's ending, found as classification found
// it (FolderListing::findPairFile), so that x_dup.JPG opens under that spelling and X_dul.JPG is
// not mistaken for x_DUL.jpg beside it. Returns base path + the first ending when no regular file
// matches, so that the caller's open fails naming the path it formed.
std::string pairFilePath(const std::string& basePath, PairKind kind, Eye eye);

// The file to open for one eye of an entry: the file it was classified from, where it remembers
// one, else as above from its base path. Only the entry knows which of x_DUR.jpg and x_dur.JPG
// is the right eye of the x_dul.JPG beside x_DUL.jpg.
std::string pairFilePath(const PairEntry& entry, Eye eye);

} // namespace duoptic
