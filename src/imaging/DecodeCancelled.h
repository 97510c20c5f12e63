#pragma once

#include <stdexcept>

namespace duoptic {

// Thrown by work on a file (reading its layout, decoding it) when its cancel flag was set: not a
// fault of the file, so not a duoptic::Error, and nothing for the user to see.
class DecodeCancelled : public std::runtime_error {
public:
    DecodeCancelled() : std::runtime_error("decode cancelled") {}
};

} // namespace duoptic
