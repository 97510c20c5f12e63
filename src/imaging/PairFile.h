#pragma once

#include <cstdint>
#include <string>

namespace duoptic {

// A file a pair was read from, as people know it.
struct PairFile {
    std::string name;       // without its folder; native bytes
    std::int64_t bytes = 0; // its size when it was read

    friend bool operator==(const PairFile&, const PairFile&) = default;
};

} // namespace duoptic
