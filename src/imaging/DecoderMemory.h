#pragma once

#include <cstdint>
#include <span>

namespace duoptic {

// What libjpeg may allocate besides the coefficients: row buffers of the widest picture
// (65500 pixels x 4 components x a few MCU rows), quantiser tables, Huffman tables.
constexpr std::uint64_t kDecoderRowAllowance = std::uint64_t{64} << 20; // 64 MiB

struct ComponentSampling {
    int horizontal; // 1..4, libjpeg's h_samp_factor
    int vertical;   // 1..4, libjpeg's v_samp_factor
};

// The coefficients that libjpeg keeps for the whole picture while it reads the scans of a
// progressive or other multi-scan file: two bytes each, every component, padded to whole MCUs.
std::uint64_t coefficientBytes(std::uint32_t width, std::uint32_t height,
                               std::span<const ComponentSampling> components);

// The cap on libjpeg's memory for a frame of that size and sampling. A progressive or other
// multi-scan file holds the coefficients of the whole picture until its last scan has arrived;
// the cap is those, plus the allowance.
// So every real file within the pixel bound decodes, and the pixel bound is what keeps a hostile
// header's claim (and so the cap) bounded.
std::uint64_t decoderMemoryLimit(std::uint32_t width, std::uint32_t height,
                                 std::span<const ComponentSampling> components);

} // namespace duoptic
