#include "settings/LockFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace duoptic {

LockFile::LockFile(const std::string& path, std::chrono::milliseconds patience) {
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    struct stat info {};
    if (fd_ < 0 || fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        return;
    }
    // Polled rather than blocking, so that the wait has an end.
    constexpr std::chrono::milliseconds kStep{10};
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    while (!(held_ = flock(fd_, LOCK_EX | LOCK_NB) == 0) &&
           (errno == EWOULDBLOCK || errno == EINTR) && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(kStep);
    }
}

LockFile::~LockFile() {
    if (fd_ >= 0) {
        close(fd_); // releases the lock
    }
}

} // namespace duoptic
