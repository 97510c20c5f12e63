#include "catalogue/PathTarget.h"

#include "base/Paths.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace duoptic {

namespace {

std::string absolute(const std::string& path) {
    if (!path.empty() && path.front() == '/') {
        return path;
    }
    std::error_code failed;
    return withTrailingSeparator(std::filesystem::current_path(failed).native()) + path;
}

} // namespace

PathTarget examinePath(const std::string& path) {
    PathTarget target;
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return target;
    }
    // The folder as the file system names it, as the Filer shows folders: no "..", no links.
    const std::string full = withoutTrailingSeparator(absolute(path));
    const std::string folder =
        S_ISDIR(info.st_mode) ? full : withoutTrailingSeparator(std::string(folderPart(full)));
    std::error_code failed;
    const std::string canonical = std::filesystem::canonical(folder, failed).native();
    if (failed) {
        return target;
    }
    if (S_ISDIR(info.st_mode)) {
        target.kind = PathTarget::Folder;
        target.folder = canonical;
    } else if (S_ISREG(info.st_mode)) {
        target.kind = PathTarget::File;
        target.folder = canonical;
        target.file = withTrailingSeparator(canonical) + std::string(namePart(full));
    }
    return target;
}

int entryOfFile(const PairList& list, const std::string& file) {
    for (int k = 1; k <= list.count(); ++k) {
        const PairEntry& entry = list.entry(k);
        if (entry.filePath == file || entry.rightEyeFilePath == file) {
            return k;
        }
    }
    return 0;
}

} // namespace duoptic
