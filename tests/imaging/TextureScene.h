#pragma once

#include <cmath>
#include <cstdint>

namespace duoptic::testing {

// Detail at several scales, as photographs have: random values on square lattices of several
// spacings, smoothly interpolated and added up. Defined everywhere, so that a turned and moved
// view of it is sampled afresh rather than resampled from another picture.
inline double textureScene(double x, double y, std::uint32_t seed) {
    const auto lattice = [seed](std::int64_t i, std::int64_t j, int octave) {
        std::uint64_t h =
            std::uint64_t(i) * 0x9E3779B97F4A7C15u ^ std::uint64_t(j) * 0xC2B2AE3D27D4EB4Fu;
        h = (h ^ (h >> 31) ^ seed ^ std::uint64_t(octave) << 40) * 0xBF58476D1CE4E5B9u;
        return double((h ^ (h >> 29)) & 0xFFFF) / 0xFFFF - 0.5;
    };
    const auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    double grey = 128;
    for (int octave = 0; octave < 4; ++octave) {
        const double spacing = 300 / std::pow(3.0, octave), u = x / spacing, v = y / spacing;
        const auto i = std::int64_t(std::floor(u)), j = std::int64_t(std::floor(v));
        const double fx = smooth(u - double(i)), fy = smooth(v - double(j));
        const double top = lattice(i, j, octave) * (1 - fx) + lattice(i + 1, j, octave) * fx;
        const double bottom =
            lattice(i, j + 1, octave) * (1 - fx) + lattice(i + 1, j + 1, octave) * fx;
        grey += 60 * (top * (1 - fy) + bottom * fy);
    }
    return grey;
}

} // namespace duoptic::testing
