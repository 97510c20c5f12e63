#pragma once

#include <string>

namespace duoptic {

// A save writes its content into "<target>.tmp-XXXXXX" beside the target, the six characters
// being the letters and digits that mkstemp picks, and holds an exclusive flock on that file
// from just after its creation until it has been renamed over the target. A process killed during
// the save leaves the file behind; since its lock died with it, a file of that name that nobody
// holds and that has not changed for some seconds is abandoned.

// The mkstemp pattern of target's temporary files.
std::string tempFilePattern(const std::string& target);

// One temporary file of target's, created and locked as above; removed when it goes out of
// scope unless it has been renamed into place.
class TempFile {
public:
    explicit TempFile(const std::string& target);
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();

    // The errno of a failed creation or lock, 0 when the file is there and held.
    int error() const { return error_; }
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    const std::string& target() const { return target_; }
    // Renamed into place: nothing of it to remove any more.
    void renamed() { path_.clear(); }

private:
    std::string target_;
    std::string path_;
    int fd_ = -1;
    int error_ = 0;
};

// Removes the abandoned temporary files of target's saves from target's folder: regular files
// whose name follows the pattern exactly, that no running save holds and that are not new. Nothing
// else in the folder is touched, and a file that cannot be removed is left where it is.
void removeAbandonedTempFiles(const std::string& target);

} // namespace duoptic
