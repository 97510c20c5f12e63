#pragma once

#include <string>

namespace duoptic {

// The file to open for a path formed as base path + pair suffix. The file name part is matched
// ignoring ASCII case, as the pair was classified, so base path + "_DUP.jpg" finds x_dup.JPG; the
// exact spelling wins when it names a regular file. Returns `path` unchanged when no regular file
// matches, so that the caller's open fails naming the path it formed. A relative path stays
// relative and is looked up in the current directory.
std::string resolvePairFilePath(const std::string& path);

} // namespace duoptic
