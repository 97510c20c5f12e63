#pragma once

#include "base/FileIdentity.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace duoptic {

// The most the viewer reads of a picture file.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30; // 1 GiB

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
std::vector<std::uint8_t> readFileBytes(const std::string& path,
                                        std::size_t maxBytes = kMaxFileBytes);

// Opens the path exactly as readFileBytes does and gives the identity of what it opened, reading
// nothing; throws the error readFileBytes would throw when it cannot open it. So a file that
// could be read once can be checked to be readable still, and to be the same file.
FileIdentity openedFileIdentity(const std::string& path);

} // namespace duoptic
