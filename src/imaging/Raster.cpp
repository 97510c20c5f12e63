#include "imaging/Raster.h"

#include <algorithm>
#include <utility>

namespace duoptic {

Raster Raster::whole(std::shared_ptr<const Picture> picture) {
    Raster r;
    if (picture) {
        r.width_ = picture->width();
        r.height_ = picture->height();
        r.picture_ = std::move(picture);
    }
    return r;
}

Raster Raster::columns(int firstColumn, int width) const {
    Raster r;
    if (!picture_) {
        return r;
    }
    const int first = std::clamp(firstColumn, 0, width_);
    r.picture_ = picture_;
    r.left_ = left_ + first;
    r.width_ = std::clamp(width, 0, width_ - first);
    r.top_ = top_;
    r.height_ = height_;
    return r;
}

Raster Raster::part(const Rect& rect) const {
    if (!picture_) {
        return {};
    }
    const int x0 = std::clamp(rect.left, 0, width_);
    const int y0 = std::clamp(rect.top, 0, height_);
    Raster r = columns(x0, std::clamp(rect.left + rect.width, 0, width_) - x0);
    r.top_ = top_ + y0;
    r.height_ = std::max(std::clamp(rect.top + rect.height, 0, height_) - y0, 0);
    return r;
}

std::uint32_t Raster::pixel(int x, int y) const {
    const std::uint8_t* p = row(y);
    if (format() == PixelFormat::Indexed8) {
        return palette()[p[x]];
    }
    return reinterpret_cast<const std::uint32_t*>(p)[x];
}

SplitHalves splitSideBySide(const std::shared_ptr<const Picture>& picture) {
    const Raster whole = Raster::whole(picture);
    const int half = whole.width() / 2;
    return {whole.columns(0, half), whole.columns(half, half)};
}

} // namespace duoptic
