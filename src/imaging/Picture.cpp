#include "imaging/Picture.h"

#include <stdexcept>

namespace duoptic {

std::ptrdiff_t Picture::strideFor(PixelFormat format, int width) {
    const std::ptrdiff_t w = width;
    switch (format) {
    case PixelFormat::Xrgb32:
        return w * 4;
    case PixelFormat::Indexed8:
        return (w + 3) & ~std::ptrdiff_t{3};
    }
    return 0;
}

void Picture::reset(PixelFormat format, int width, int height) {
    if (width < 0 || height < 0) {
        throw std::invalid_argument("negative picture size");
    }
    const std::ptrdiff_t stride = strideFor(format, width);
    const auto bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    if (bytes > capacity_) {
        buffer_.reset(); // never hold the old and the new buffer at once
        capacity_ = 0;
        // Default-initialised on purpose: the decoder writes every byte, zeroing would only
        // fault the pages in twice.
        buffer_.reset(new std::uint8_t[bytes]);
        capacity_ = bytes;
    }
    format_ = format;
    width_ = width;
    height_ = height;
    stride_ = stride;
}

} // namespace duoptic
