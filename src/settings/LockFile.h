#pragma once

#include <chrono>
#include <string>

namespace duoptic {

// An exclusive flock on a file that serves only as the lock of another file, held for the
// object's lifetime, so that copies of the viewer take turns at reading, merging and replacing
// that file. The lock file is created if missing and never renamed or removed; a link at its path
// is not followed (the open fails), so it cannot lead anyone to create or lock another file.
class LockFile {
public:
    // Waits at most `patience` for the lock: a copy stopped in the middle of its turn must not
    // hang this one.
    LockFile(const std::string& path, std::chrono::milliseconds patience);
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

} // namespace duoptic
