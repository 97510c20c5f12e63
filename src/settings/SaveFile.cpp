#include "settings/SaveFile.h"

#include "base/FileWrite.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "base/Paths.h"

#include "settings/TempFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>

namespace duoptic {

namespace {

std::string folderOf(const std::string& path) {
    const std::string_view folder = folderPart(path);
    return folder.empty() ? "." : withoutTrailingSeparator(std::string(folder));
}

// mkdir -p with the mode that the XDG base directory rules ask for.
bool makeFolders(const std::string& folder) {
    if (isFolder(folder)) {
        return true;
    }
    for (std::size_t i = 1; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '/') {
            const std::string part = folder.substr(0, i);
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    return isFolder(folder);
}

// What the new file takes over from the one it replaces.
struct OldFile {
    uid_t uid = 0;
    gid_t gid = 0;
    mode_t mode = 0;
};

// Gives the new file the old file's owner and permission bits, or the usual ones for a new file.
// Best effort: only root may give a file away, and some file systems keep neither. A file left
// at mkstemp's 0600 is still the user's own settings file.
void takeOverAttributes(int fd, const std::optional<OldFile>& old) {
    if (!old) {
        (void)fchmod(fd, newFileMode());
        return;
    }
    if (old->uid != geteuid() || old->gid != getegid()) {
        (void)!fchown(fd, old->uid, old->gid);
    }
    (void)fchmod(fd, old->mode);
}

// A file without any write bit is the user freezing the settings; root, whom access() lets
// through, must honour it too. A link counts as what it leads to, but only the link is replaced.
bool isWritableOrMissing(const std::string& path, std::optional<OldFile>& old) {
    struct stat own {};
    struct stat info {};
    if (lstat(path.c_str(), &own) != 0 || stat(path.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    // Only a regular file is replaced. A FIFO or a device that the path leads to, such as a link
    // to /dev/null meant to keep nothing, stays what it is.
    if (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0) {
        return false;
    }
    // Behind a link may be someone else's file, passed to this user to copy from: the new file is
    // this user's own, without set-id bits.
    old = S_ISLNK(own.st_mode) ? OldFile{geteuid(), getegid(), info.st_mode & 0777}
                               : OldFile{info.st_uid, info.st_gid, info.st_mode & 07777};
    return true;
}

bool save(const std::string& target, std::string_view content) {
    const std::string folder = folderOf(target);
    std::optional<OldFile> old;
    if (!makeFolders(folder) || !isWritableOrMissing(target, old)) {
        return false;
    }
    removeAbandonedTempFiles(target);
    TempFile temp(target);
    if (temp.error() != 0) {
        return false;
    }
    takeOverAttributes(temp.fd(), old);
    surviveFileSizeLimit();
    if (!writeAll(temp.fd(),
                  {reinterpret_cast<const std::uint8_t*>(content.data()), content.size()}) ||
        fsync(temp.fd()) != 0 || rename(temp.path().c_str(), target.c_str()) != 0) {
        return false;
    }
    temp.renamed();
    syncFolder(folder);
    return true;
}

} // namespace

bool makeFolderOf(const std::string& path) {
    return makeFolders(folderOf(path));
}

void saveFileAtomically(const std::string& path, std::string_view content) {
    if (!save(path, content)) {
        throw Error(messages::cannotWrite(path));
    }
}

} // namespace duoptic
