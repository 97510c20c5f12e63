#include "base/FileRead.h"

#include "base/Error.h"
#include "base/FileDescriptor.h"
#include "base/Messages.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace duoptic {

namespace {

constexpr std::size_t kSmallestGrowth = 65536;

int openForReading(const std::string& path) {
    if (path.find('\0') != std::string::npos) {
        errno = EINVAL; // the system would open a shorter path
        return -1;
    }
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

// A regular file opened for reading, or why there is none.
struct OpenedFile {
    explicit OpenedFile(const std::string& path) : file(openForReading(path)) {
        if (file.get() < 0) {
            state = errno == ENOENT ? ReadState::Missing : ReadState::Unreadable;
        } else if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
            state = ReadState::Unreadable;
        }
    }

    FileDescriptor file;
    struct stat info {};
    ReadState state = ReadState::Whole; // Missing or Unreadable when it cannot be read
};

// A large file's buffer is faulted in huge pages where they fit whole: in 4 KiB pages, providing
// the memory takes longer than the read itself.
void adviseHugePages(std::uint8_t* data, std::size_t bytes) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHugePage - 1);
    if (end > begin) {
        ::madvise(data + (begin - reinterpret_cast<std::uintptr_t>(data)), end - begin,
                  MADV_HUGEPAGE); // a hint; without it the buffer works all the same
    }
}

bool isSet(const std::atomic<bool>* flag) {
    return flag != nullptr && flag->load(std::memory_order_relaxed);
}

// Reads to the end or to one byte past maxBytes, whichever comes first; false on a read error,
// which would otherwise pass for the end of the file. Throws ReadCancelled once cancel is set.
template <typename Buffer>
bool readUpTo(int fd, Buffer& bytes, std::size_t expected, std::size_t maxBytes,
              const std::atomic<bool>* cancel) {
    // One byte more than expected, so that the read which meets the end usually needs no growth.
    if (bytes.capacity() / 2 > expected + 1) {
        bytes = Buffer(); // a far larger buffer is not kept for a small file
    }
    if (bytes.capacity() < expected + 1) {
        bytes.reserve(expected + 1);
        adviseHugePages(bytes.data(), expected + 1);
    }
    bytes.resize(expected + 1);
    std::size_t total = 0;
    while (total <= maxBytes) {
        if (isSet(cancel)) {
            throw ReadCancelled();
        }
        if (total == bytes.size()) {
            // The file grew while it was read: take what arrives, up to one past the cap.
            bytes.resize(std::min(maxBytes + 1, total + std::max(total / 2, kSmallestGrowth)));
        }
        const std::size_t chunk = std::min(bytes.size() - total, kReadChunkBytes);
        const ssize_t n = ::read(fd, bytes.data() + total, chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    bytes.resize(total);
    return true;
}

template <typename Buffer>
ReadState readInto(const std::string& path, Buffer& bytes, std::size_t maxBytes,
                   WhenLonger whenLonger, FileIdentity* identity, const std::atomic<bool>* cancel) {
    bytes.clear();
    const OpenedFile opened(path);
    if (opened.state != ReadState::Whole) {
        return opened.state;
    }
    if (identity != nullptr) {
        *identity = identityFromStat(opened.info);
    }
    const auto claimed = static_cast<std::size_t>(std::max<off_t>(opened.info.st_size, 0));
    if (claimed > maxBytes && whenLonger == WhenLonger::Refuse) {
        return ReadState::TooLarge;
    }
    bool read = false;
    try {
        read = readUpTo(opened.file.get(), bytes, std::min(claimed, maxBytes), maxBytes, cancel);
    } catch (const ReadCancelled&) {
        bytes.clear();
        throw;
    }
    if (!read) {
        bytes.clear();
        return ReadState::Unreadable;
    }
    if (bytes.size() <= maxBytes) {
        return ReadState::Whole;
    }
    if (whenLonger == WhenLonger::Refuse) {
        bytes.clear();
        return ReadState::TooLarge;
    }
    bytes.resize(maxBytes);
    return ReadState::Cut;
}

template <typename Buffer>
void readPictureFile(const std::string& path, Buffer& bytes, std::size_t maxBytes,
                     FileIdentity* identity, const std::atomic<bool>* cancel) {
    if (readInto(path, bytes, maxBytes, WhenLonger::Refuse, identity, cancel) != ReadState::Whole) {
        throw Error(messages::cannotOpenFile(path));
    }
}

} // namespace

ReadState readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                        std::size_t maxBytes, WhenLonger whenLonger, FileIdentity* identity) {
    return readInto(path, bytes, maxBytes, whenLonger, identity, nullptr);
}

void readFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t maxBytes,
                   FileIdentity* identity) {
    readPictureFile(path, bytes, maxBytes, identity, nullptr);
}

void readFileBytes(const std::string& path, FileBytes& bytes, std::size_t maxBytes,
                   FileIdentity* identity, const std::atomic<bool>* cancel) {
    readPictureFile(path, bytes, maxBytes, identity, cancel);
}

std::vector<std::uint8_t> readFileBytes(const std::string& path, std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes;
    readFileBytes(path, bytes, maxBytes);
    return bytes;
}

FileIdentity openedFileIdentity(const std::string& path) {
    const OpenedFile opened(path);
    if (opened.state != ReadState::Whole) {
        throw Error(messages::cannotOpenFile(path));
    }
    return identityFromStat(opened.info);
}

} // namespace duoptic
