#pragma once

#include <string>

#include <sys/stat.h>

namespace duoptic {

// Whether a path names a folder (after following links). Paths are native bytes and need not be
// valid UTF-8, so they are asked of the file system as they stand, never through a conversion.
inline bool isFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace duoptic
