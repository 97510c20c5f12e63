#include "exporting/OutputFiles.h"

#include "base/FileWrite.h"

#include "base/Messages.h"
#include "base/Paths.h"
#include "settings/TempFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <span>
#include <system_error>
#include <utility>

namespace duoptic {

namespace {

[[noreturn]] void fail(const std::string& target, int error) {
    throw Error(messages::cannotWrite(target) + ": " + std::system_category().message(error));
}

struct Identity {
    dev_t device;
    ino_t inode;
};

std::vector<Identity> identitiesOf(const std::vector<std::string>& paths) {
    std::vector<Identity> found;
    for (const std::string& path : paths) {
        struct stat info {};
        if (!path.empty() && stat(path.c_str(), &info) == 0) {
            found.push_back({info.st_dev, info.st_ino});
        }
    }
    return found;
}

// Whether the target exists; an Error when it is one of the inputs, which no option may replace.
bool targetExists(const std::string& target, const std::vector<Identity>& inputs) {
    struct stat info {};
    if (stat(target.c_str(), &info) != 0) {
        // A link that leads nowhere is still a name that a new file would take.
        return lstat(target.c_str(), &info) == 0;
    }
    for (const Identity& input : inputs) {
        if (input.device == info.st_dev && input.inode == info.st_ino) {
            throw Error(messages::cannotWrite(target) + ": it is a file of the pair being written");
        }
    }
    return true;
}

// Puts the temporary file in place without ever replacing a file; EEXIST when one is there.
int renameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    // File systems that cannot do it atomically say so; a link never replaces either.
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    if (link(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    unlink(from.c_str());
    return 0;
}

// The files this call has put in place, removed again unless the whole set made it; a file it
// replaced is kept under a name of its own meanwhile and comes back.
class PlacedFiles {
public:
    PlacedFiles() = default;
    PlacedFiles(const PlacedFiles&) = delete;
    PlacedFiles& operator=(const PlacedFiles&) = delete;
    ~PlacedFiles() {
        for (const Placed& file : files_) {
            if (file.old.empty()) {
                unlink(file.target.c_str());
            } else {
                rename(file.old.c_str(), file.target.c_str());
            }
        }
    }
    // Before the target is replaced: a second name for the file there now, if there is one.
    // Where the file system cannot give one, the set goes on as before, only without the way back.
    std::string keepOld(const std::string& target) {
        struct stat info {};
        if (lstat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            return {};
        }
        std::string old = tempFilePattern(target);
        const int fd = mkostemp(old.data(), O_CLOEXEC);
        if (fd < 0) {
            return {};
        }
        close(fd);
        // The name made is taken over: the old file now has two names, the target one of them.
        if (unlink(old.c_str()) != 0 || link(target.c_str(), old.c_str()) != 0) {
            return {};
        }
        return old;
    }
    void add(const std::string& target, std::string old) {
        files_.push_back({target, std::move(old)});
    }
    void keep() {
        for (const Placed& file : files_) {
            if (!file.old.empty()) {
                unlink(file.old.c_str());
            }
        }
        files_.clear();
    }

private:
    struct Placed {
        std::string target;
        std::string old; // the replaced file's second name, or empty
    };
    std::vector<Placed> files_;
};

} // namespace

void writeOutputFiles(const std::string& folder, const std::vector<ExportedFile>& files,
                      Replace replace, const std::vector<std::string>& inputs,
                      const std::atomic<bool>* cancel) {
    if (files.empty()) {
        return;
    }
    const std::string prefix = folder.empty() ? "./" : withTrailingSeparator(folder);
    const std::vector<Identity> inputIds = identitiesOf(inputs);
    surviveFileSizeLimit();

    // Refused before anything is written: a set of which one file may not go in is not begun.
    for (const ExportedFile& file : files) {
        const std::string target = prefix + file.name;
        removeAbandonedTempFiles(target);
        if (targetExists(target, inputIds) && replace == Replace::Never) {
            throw OutputExists(messages::cannotWrite(target) + ": " +
                               std::system_category().message(EEXIST));
        }
    }

    std::vector<std::unique_ptr<TempFile>> temps;
    for (const ExportedFile& file : files) {
        temps.push_back(std::make_unique<TempFile>(prefix + file.name));
        const TempFile& temp = *temps.back();
        if (temp.error() != 0) {
            fail(temp.target(), temp.error());
        }
        if (fchmod(temp.fd(), newFileMode()) != 0) {
            fail(temp.target(), errno);
        }
        if (!writeAll(temp.fd(), file.bytes)) {
            fail(temp.target(), errno);
        }
        // A file replaced must never be lost to a crash between the rename and the write-back.
        if (replace == Replace::Existing && fsync(temp.fd()) != 0) {
            fail(temp.target(), errno);
        }
    }

    if (cancel && cancel->load()) {
        fail(prefix + files.front().name, ECANCELED);
    }
    PlacedFiles placed;
    for (const std::unique_ptr<TempFile>& temp : temps) {
        int error = 0;
        std::string old;
        if (replace == Replace::Never) {
            error = renameNoReplace(temp->path(), temp->target());
        } else {
            targetExists(temp->target(), inputIds); // checked again: the writing took a while
            old = placed.keepOld(temp->target());
            if (rename(temp->path().c_str(), temp->target().c_str()) != 0) {
                error = errno;
                if (!old.empty()) {
                    unlink(old.c_str()); // the target still holds it
                }
            }
        }
        if (error == EEXIST) {
            throw OutputExists(messages::cannotWrite(temp->target()) + ": " +
                               std::system_category().message(error));
        }
        if (error != 0) {
            fail(temp->target(), error);
        }
        temp->renamed();
        placed.add(temp->target(), std::move(old));
    }
    placed.keep();
    if (replace == Replace::Existing) {
        syncFolder(prefix);
    }
}

} // namespace duoptic
