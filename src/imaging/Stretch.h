#pragma once

#include "base/Rect.h"
#include "imaging/Raster.h"

#include <cstdint>

namespace duoptic {

constexpr std::uint32_t kBackgroundGrey = 0xFFC0C0C0;

// Sets every pixel of a 32-bit image to colour.
void fillBackground(std::uint32_t* dst, int width, int height, int strideBytes,
                    std::uint32_t colour);

// Maps rect of the raster onto the whole 32-bit destination by dropping or repeating whole rows
// and columns, without smoothing. Destination pixel (dx, dy) takes raster pixel
// (rect.left + floor((2 dx + 1) rect.width / (2 dstWidth)), the same for y), the one under its
// centre; where that lies outside the raster the destination keeps what it had. Costs
// O(destination), whatever the zoom. Empty sizes draw nothing.
void stretchRaster(const Raster& src, Rect rect, std::uint32_t* dst, int dstWidth, int dstHeight,
                   int dstStrideBytes);

// A whole panel: the same pixels as fillBackground(colour) followed by stretchRaster, but each
// written once, since the grey goes only where the stretch leaves the destination as it was.
void composeRaster(const Raster& src, Rect rect, std::uint32_t colour, std::uint32_t* dst,
                   int dstWidth, int dstHeight, int dstStrideBytes);

} // namespace duoptic
