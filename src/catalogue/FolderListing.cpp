#include "catalogue/FolderListing.h"

#include "catalogue/AsciiCase.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace duoptic {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// d_type answers for most entries without a system call; only links (which must be followed)
// and file systems that do not fill d_type need a stat.
bool isRegularFile(int dirFd, const dirent& entry) {
    switch (entry.d_type) {
    case DT_REG:
        return true;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat info {};
        return fstatat(dirFd, entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
    }
    default:
        return false;
    }
}

bool isDotOrDotDot(std::string_view name) {
    return name == "." || name == "..";
}

} // namespace

FolderListing FolderListing::read(const std::string& folder) {
    FolderListing listing;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        return listing;
    }
    listing.exists_ = true;
    const int dirFd = dirfd(dir.get());
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (isDotOrDotDot(name)) {
            continue;
        }
        const bool isFile = isRegularFile(dirFd, *entry);
        listing.entries_.push_back({std::string(name), isFile, name.front() == '.'});
    }
    listing.filesByFoldedName_.reserve(listing.entries_.size());
    for (std::size_t i = 0; i < listing.entries_.size(); ++i) {
        if (listing.entries_[i].isFile) {
            listing.filesByFoldedName_.emplace(asciiUpper(listing.entries_[i].name), i);
        }
    }
    return listing;
}

std::optional<std::string> FolderListing::findFile(std::string_view name) const {
    const auto [first, last] = filesByFoldedName_.equal_range(asciiUpper(name));
    if (first == last) {
        return std::nullopt;
    }
    std::size_t best = first->second;
    for (auto it = first; it != last; ++it) {
        if (entries_[it->second].name == name) {
            return entries_[it->second].name;
        }
        best = std::min(best, it->second);
    }
    return entries_[best].name;
}

std::vector<std::string> FolderListing::jpgFileNames(NameOrder order) const {
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries_) {
        if (entry.isFile && !entry.hidden && endsWithIgnoringAsciiCase(entry.name, ".jpg")) {
            names.push_back(entry.name);
        }
    }
    if (order == NameOrder::IgnoringAsciiCase) {
        std::sort(names.begin(), names.end(), lessIgnoringAsciiCase);
    }
    return names;
}

} // namespace duoptic
