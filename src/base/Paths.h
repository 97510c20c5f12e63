#pragma once

#include <string>
#include <string_view>

#include <sys/stat.h>

// Paths are native bytes and need not be valid UTF-8, so they are asked of the file system as
// they stand, never through a conversion. The separator is "/"; the root "/" is its own folder.
namespace duoptic {

// Whether a path names a folder, or a regular file (after following links).
inline bool isFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

inline bool isRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A folder text ready for a name to be appended: "" becomes "/", the root stays "/".
inline std::string withTrailingSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

// The path without trailing "/" separators, except that the root stays "/".
inline std::string withoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// The folder part of a path, up to and including its last "/"; empty for a bare name.
inline std::string_view folderPart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

// What follows the last "/" of a path: the whole path for a bare name.
inline std::string_view namePart(std::string_view path) {
    return path.substr(folderPart(path).size());
}

} // namespace duoptic
