#pragma once

#include "imaging/Anaglyph.h"

#include <array>
#include <cstdint>

namespace duoptic {

// Mixing coefficients in units of 2^-16: output red, green and blue (rows), each from the left
// eye's red, green and blue, then the right's.
using AnaglyphMatrix = std::array<std::array<std::int32_t, 6>, 3>;
constexpr int kAnaglyphShift = 16;

// The coefficients split for byte dot products, by output channel, digit and eye: each entry a
// pixel's worth of signed bytes.
constexpr int kAnaglyphDigits = 3;
using AnaglyphDigits = std::array<std::int32_t, 3 * kAnaglyphDigits * 2>;
AnaglyphDigits anaglyphDigits(const AnaglyphMatrix& m);

// Whether this processor has the byte dot products (AVX-512 VNNI) mixAnaglyphVnni needs.
bool anaglyphVnniAvailable();

// mixAnaglyph with these coefficients, sixteen pixels at a time: the same values as the plain
// integer arithmetic gives, from the same 32-bit sums.
void mixAnaglyphVnni(const AnaglyphDigits& digits, const std::uint32_t* left,
                     const std::uint32_t* right, std::uint32_t* out, int n);

// mixAnaglyphVnni on pixels gathered from both eyes' rows, sixteen at a time.
void mixAnaglyphVnniGathered(const AnaglyphDigits& digits, GatheredEye left, GatheredEye right,
                             std::uint32_t* out, int n);

} // namespace duoptic
