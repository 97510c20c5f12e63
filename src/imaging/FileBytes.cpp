#include "imaging/FileBytes.h"

#include "base/Error.h"
#include "base/FileDescriptor.h"
#include "base/Messages.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace duoptic {

std::vector<std::uint8_t> readFileBytes(const std::string& path, std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes;
    readFileBytes(path, bytes, maxBytes);
    return bytes;
}

void readFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t maxBytes,
                   FileIdentity* identity) {
    bytes.clear();
    const auto fail = [&path, &bytes]() {
        bytes.clear();
        return Error(messages::cannotOpenFile(path));
    };
    if (path.find('\0') != std::string::npos) {
        throw fail();
    }
    // O_NONBLOCK: opening a FIFO without a writer must not wait; it is refused below anyway.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        throw fail();
    }
    if (identity != nullptr) {
        *identity = identityFromStat(info);
    }
    const auto expected = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
    if (expected > maxBytes) {
        throw fail();
    }
    // One byte more than expected, so that the read which meets the end usually needs no growth.
    if (bytes.capacity() / 2 > expected + 1) {
        bytes = std::vector<std::uint8_t>(); // a far larger buffer is not kept for a small file
    }
    bytes.resize(expected + 1);
    std::size_t total = 0;
    for (;;) {
        if (total == bytes.size()) {
            if (total > maxBytes) {
                throw fail();
            }
            // The file grew while it was read: take what arrives, up to the cap.
            bytes.resize(std::min(maxBytes + 1, total + std::max<std::size_t>(total / 2, 65536)));
        }
        const ssize_t n = ::read(file.get(), bytes.data() + total, bytes.size() - total);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw fail();
        }
        if (n == 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    if (total > maxBytes) {
        throw fail();
    }
    bytes.resize(total);
}

} // namespace duoptic
