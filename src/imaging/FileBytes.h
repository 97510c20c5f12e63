#pragma once

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
// time. On failure `bytes` is left empty.
void readFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes = kMaxFileBytes);

} // namespace duoptic
