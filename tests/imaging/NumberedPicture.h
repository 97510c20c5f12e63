#pragma once

#include "imaging/Picture.h"

#include <cstdint>
#include <memory>

namespace duoptic::testing {

// A colour picture whose every pixel tells its own column and row, so a test can see exactly
// which source pixel landed where.
inline std::shared_ptr<Picture> numberedPicture(int width, int height) {
    auto picture = std::make_shared<Picture>(PixelFormat::Xrgb32, width, height);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(picture->row(y));
        for (int x = 0; x < width; ++x) {
            row[x] =
                0xFF000000u | static_cast<std::uint32_t>(x) << 12 | static_cast<std::uint32_t>(y);
        }
    }
    return picture;
}

} // namespace duoptic::testing
