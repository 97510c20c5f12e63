#include "catalogue/DirectoryEntries.h"

#include <sys/stat.h>

namespace duoptic {

namespace {

bool isDotOrDotDot(std::string_view name) {
    return name == "." || name == "..";
}

EntryKind kindOfMode(mode_t mode) {
    return S_ISREG(mode) ? EntryKind::File : S_ISDIR(mode) ? EntryKind::Folder : EntryKind::Other;
}

} // namespace

DirectoryEntries::DirectoryEntries(const std::string& folder) : dir_(opendir(folder.c_str())) {}

std::optional<std::string_view> DirectoryEntries::next() {
    if (!dir_) {
        return std::nullopt;
    }
    while ((current_ = readdir(dir_.get())) != nullptr) {
        const std::string_view name(current_->d_name);
        if (!isDotOrDotDot(name)) {
            return name;
        }
    }
    return std::nullopt;
}

EntryKind DirectoryEntries::kind() const {
    switch (current_->d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat info {};
        if (fstatat(dirfd(dir_.get()), current_->d_name, &info, 0) != 0) {
            return EntryKind::Other;
        }
        return kindOfMode(info.st_mode);
    }
    default:
        return EntryKind::Other;
    }
}

} // namespace duoptic
