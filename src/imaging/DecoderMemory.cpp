#include "imaging/DecoderMemory.h"

#include <algorithm>

namespace duoptic {

namespace {

constexpr std::uint64_t kBlockSide = 8;
constexpr std::uint64_t kBytesPerBlock = std::uint64_t{64} * 2; // 64 coefficients of 16 bits

std::uint64_t divideRoundingUp(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

std::uint64_t roundUpToMultiple(std::uint64_t a, std::uint64_t b) {
    return divideRoundingUp(a, b) * b;
}

} // namespace

std::uint64_t coefficientBytes(std::uint32_t width, std::uint32_t height,
                               std::span<const ComponentSampling> components) {
    int maxH = 1;
    int maxV = 1;
    for (const ComponentSampling& c : components) {
        maxH = std::max(maxH, c.horizontal);
        maxV = std::max(maxV, c.vertical);
    }
    std::uint64_t coefficients = 0;
    for (const ComponentSampling& c : components) {
        const auto h = static_cast<std::uint64_t>(std::max(c.horizontal, 1));
        const auto v = static_cast<std::uint64_t>(std::max(c.vertical, 1));
        // libjpeg's width_in_blocks and height_in_blocks, padded to the component's MCU share.
        const std::uint64_t blocksWide = divideRoundingUp(
            std::uint64_t{width} * h, static_cast<std::uint64_t>(maxH) * kBlockSide);
        const std::uint64_t blocksHigh = divideRoundingUp(
            std::uint64_t{height} * v, static_cast<std::uint64_t>(maxV) * kBlockSide);
        coefficients +=
            roundUpToMultiple(blocksWide, h) * roundUpToMultiple(blocksHigh, v) * kBytesPerBlock;
    }
    return coefficients;
}

std::uint64_t decoderMemoryLimit(std::uint32_t width, std::uint32_t height,
                                 std::span<const ComponentSampling> components) {
    return coefficientBytes(width, height, components) + kDecoderRowAllowance;
}

} // namespace duoptic
