#pragma once

#include <cstddef>

namespace duoptic {

// A run of bytes within a file held in memory: [offset, offset + length).
struct ByteRange {
    std::size_t offset = 0;
    std::size_t length = 0;

    std::size_t end() const { return offset + length; }
    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

} // namespace duoptic
