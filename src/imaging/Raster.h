#pragma once

#include "base/Rect.h"
#include "imaging/Picture.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace duoptic {

// What a panel shows: a rectangle of a decoded picture (whole columns, unless cut by part()).
// Rasters are cheap handles; the halves of a side-by-side picture look into the decoder's pixels
// without copying them.
class Raster {
public:
    Raster() = default; // empty, 0 x 0

    static Raster whole(std::shared_ptr<const Picture> picture);

    // The columns firstColumn .. firstColumn + width - 1 of this raster, cut to what it has.
    Raster columns(int firstColumn, int width) const;
    // The rectangle `rect` of this raster, cut to what it has.
    Raster part(const Rect& rect) const;

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width() <= 0 || height() <= 0; }

    // Only valid when the raster is not empty.
    PixelFormat format() const { return picture_->format(); }
    const Picture::Palette& palette() const { return picture_->palette(); }
    // First byte of the raster's column 0 in row y (0 <= y < height).
    const std::uint8_t* row(int y) const {
        return picture_->row(top_ + y) +
               (picture_->format() == PixelFormat::Xrgb32 ? 4 : 1) * left_;
    }
    std::ptrdiff_t stride() const { return picture_->stride(); } // bytes from one row to the next
    std::uint32_t pixel(int x, int y) const;                     // 0xFFRRGGBB, palette applied

    // Both look into the same decoded picture.
    bool sharesPixelsWith(const Raster& other) const {
        return picture_ != nullptr && picture_ == other.picture_;
    }

    friend void swap(Raster& a, Raster& b) noexcept {
        a.picture_.swap(b.picture_);
        std::swap(a.left_, b.left_);
        std::swap(a.width_, b.width_);
        std::swap(a.top_, b.top_);
        std::swap(a.height_, b.height_);
    }

private:
    std::shared_ptr<const Picture> picture_;
    int left_ = 0;   // first picture column shown
    int width_ = 0;  // columns shown
    int top_ = 0;    // first picture row shown
    int height_ = 0; // rows shown
};

struct SplitHalves {
    Raster left;
    Raster right;
};

// Halves of a side-by-side picture W wide: columns 0 .. W/2 - 1 and W/2 .. 2 * (W/2) - 1. With an
// odd W the last column belongs to neither.
SplitHalves splitSideBySide(const std::shared_ptr<const Picture>& picture);

} // namespace duoptic
