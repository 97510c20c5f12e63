#pragma once

#include <cstdint>

namespace duoptic {

// out[i] = pixels[columns[i] - columns[0]] for n >= 1 columns that never decrease: a row of
// pixels already read and worked on, laid out by nearest neighbour as a stretch lays out a
// raster row.
void repeatPixels(const std::uint32_t* pixels, const std::int32_t* columns, std::uint32_t* out,
                  int n);

} // namespace duoptic
