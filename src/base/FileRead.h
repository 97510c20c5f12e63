#pragma once

#include "base/FileIdentity.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace duoptic {

// The most the viewer reads of a picture file.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30; // 1 GiB

// The most one read() of a file takes, so that a cancel flag is looked at every few milliseconds.
constexpr std::size_t kReadChunkBytes = std::size_t{4} << 20;

// An allocator whose elements are left as they are when a vector grows: a buffer that a read is
// about to fill is not zeroed first, which for a picture file of a gigabyte costs as much as the
// read and cannot be stopped.
template <typename T> struct DefaultInitAllocator : std::allocator<T> {
    template <typename U> struct rebind { using other = DefaultInitAllocator<U>; };
    DefaultInitAllocator() = default;
    template <typename U> DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

    template <typename U> void construct(U* at) { ::new (static_cast<void*>(at)) U; }
    template <typename U, typename... Args> void construct(U* at, Args&&... args) {
        std::construct_at(at, std::forward<Args>(args)...);
    }
};

// The bytes of a picture file.
using FileBytes = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

// Thrown by a read whose cancel flag was set: it stops between chunks of a few megabytes.
class ReadCancelled : public std::runtime_error {
public:
    ReadCancelled() : std::runtime_error("read cancelled") {}
};

// How a read of a whole file ended.
enum class ReadState {
    Whole,      // the whole file
    Cut,        // its first maxBytes: the file is longer, and its start was wanted
    TooLarge,   // longer than maxBytes, and refused: nothing
    Missing,    // nothing at the path: nothing
    Unreadable, // not a regular file, not permitted, a link loop, a read error: nothing
};

enum class WhenLonger { Refuse, KeepTheStart };

// Every whole-file read goes through here. The path is opened first and only then looked at, so
// that what is read is what was looked at: read-only, symbolic links followed, O_NONBLOCK so that
// opening a FIFO without a writer returns at once, O_NOCTTY so that a terminal stays nobody's.
// Anything but a regular file - a folder, a FIFO, a device - is refused without a read. A file
// refused for its length is not read either. Reading one file after another into the same
// buffer reuses it when it is large enough and not far too large. When `identity` is given, it
// receives that of the file opened, taken from the open descriptor before reading, so that a
// later look at the path tells whether the bytes still are that file's.
ReadState readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                        std::size_t maxBytes, WhenLonger whenLonger,
                        FileIdentity* identity = nullptr);

// The whole content of a picture file, refused beyond maxBytes. Every failure throws
// Error(cannotOpenFile(path)), with the path as given, and leaves `bytes` empty.
void readFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes = kMaxFileBytes, FileIdentity* identity = nullptr);
// The same into a buffer that is not zeroed before the read. The file is read a few megabytes at
// a time; once `cancel` is set, the read throws ReadCancelled and leaves `bytes` empty.
void readFileBytes(const std::string& path, FileBytes& bytes, std::size_t maxBytes,
                   FileIdentity* identity, const std::atomic<bool>* cancel);
std::vector<std::uint8_t> readFileBytes(const std::string& path,
                                        std::size_t maxBytes = kMaxFileBytes);

// Opens the path exactly as readFileBytes does and gives the identity of what it opened, reading
// nothing; throws the error readFileBytes would throw when it cannot open it. So a file that
// could be read once can be checked to be readable still, and to be the same file.
FileIdentity openedFileIdentity(const std::string& path);

} // namespace duoptic
