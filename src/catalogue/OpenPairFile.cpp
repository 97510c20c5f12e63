#include "catalogue/OpenPairFile.h"

#include "catalogue/FolderListing.h"

#include <sys/stat.h>

namespace duoptic {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

std::string resolvePairFilePath(const std::string& path) {
    if (isRegularFile(path)) {
        return path;
    }
    const std::size_t cut = path.rfind('/');
    const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    const std::string name = path.substr(folder.size());
    if (name.empty()) {
        return path;
    }
    const FolderListing listing = FolderListing::read(folder.empty() ? "." : folder);
    if (const auto found = listing.findFile(name)) {
        return folder + *found;
    }
    return path;
}

} // namespace duoptic
