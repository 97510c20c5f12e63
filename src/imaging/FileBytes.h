#pragma once

#include "imaging/FileIdentity.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace duoptic {

constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30; // 1 GiB

// The whole content of a regular file (symbolic links followed). Anything else - a folder, a FIFO,
// a device - is refused without reading from it, as is a file longer than maxBytes. Failures
// throw Error(cannotOpenFile(path)), with the path as given.
std::vector<std::uint8_t> readFileBytes(const std::string& path,
                                        std::size_t maxBytes = kMaxFileBytes);

// The same into `bytes`, whose buffer takes the file when it is large enough and not far too
// large, so that reading one file after another need not ask the system for fresh memory each
// time. On failure `bytes` is left empty. When `identity` is given, it receives the identity of
// the file that was opened, taken from the open descriptor before reading, so that a later look at
// the path tells whether the bytes still are that file's.
void readFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes = kMaxFileBytes, FileIdentity* identity = nullptr);

} // namespace duoptic
