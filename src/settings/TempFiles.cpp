#include "settings/TempFiles.h"

#include "base/FileDescriptor.h"
#include "base/Paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string_view>

namespace duoptic {

namespace {

constexpr std::string_view kTempInfix = ".tmp-";
constexpr std::string_view kRandomPart = "XXXXXX"; // what mkstemp replaces

// A save creates its file unlocked and locks it a moment later; a file younger than this may be
// one caught in between, and even trying its lock could make that save fail.
constexpr std::time_t kSecondsBeforeAbandoned = 10;

bool isAsciiLetterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isTempFileName(std::string_view name, std::string_view targetName) {
    if (!name.starts_with(targetName)) {
        return false;
    }
    name.remove_prefix(targetName.size());
    if (!name.starts_with(kTempInfix)) {
        return false;
    }
    name.remove_prefix(kTempInfix.size());
    return name.size() == kRandomPart.size() &&
           std::all_of(name.begin(), name.end(), isAsciiLetterOrDigit);
}

bool isSameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A clock set back, or a file server's clock ahead of ours, makes a file look new: it is kept.
bool isOldEnough(const struct stat& info) {
    const std::time_t now = std::time(nullptr);
    return info.st_mtime <= now && now - info.st_mtime >= kSecondsBeforeAbandoned;
}

void removeIfAbandoned(const std::string& path) {
    // lstat before open: only a regular file of ours is ever opened, never a FIFO or a device.
    struct stat named {};
    if (lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) {
        return;
    }
    const FileDescriptor fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (fd.get() < 0 || fstat(fd.get(), &opened) != 0 || !isSameFile(named, opened) ||
        !isOldEnough(opened)) {
        return;
    }
    // A save that is still running holds its file; the lock is released by the kernel when its
    // process dies, however it dies.
    if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        return;
    }
    unlink(path.c_str());
}

} // namespace

std::string tempFilePattern(const std::string& target) {
    return target + std::string(kTempInfix) + std::string(kRandomPart);
}

TempFile::TempFile(const std::string& target) : target_(target) {
    std::string pattern = tempFilePattern(target);
    fd_ = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    path_ = std::move(pattern);
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        error_ = errno;
    }
}

TempFile::~TempFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
    if (!path_.empty()) {
        unlink(path_.c_str());
    }
}

void removeAbandonedTempFiles(const std::string& target) {
    const std::string_view targetName = namePart(target);
    const std::string folder = folderPart(target).empty() ? "./" : std::string(folderPart(target));
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) {
        return;
    }
    while (const dirent* entry = readdir(dir.get())) {
        if (isTempFileName(entry->d_name, targetName)) {
            removeIfAbandoned(folder + entry->d_name);
        }
    }
}

} // namespace duoptic
