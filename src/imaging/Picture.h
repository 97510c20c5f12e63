#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

namespace duoptic {

enum class PixelFormat {
    Xrgb32,  // one uint32_t 0xFFRRGGBB per pixel, in native byte order (Qt's Format_RGB32)
    Indexed8 // one byte per pixel, looked up in the palette
};

namespace detail {
// Frees a picture buffer the way it was allocated.
struct BufferRelease {
    std::size_t mappedBytes = 0; // 0: from new[]
    void operator()(std::uint8_t* p) const noexcept;
};
} // namespace detail

// Decoded pixels in one allocation. The buffer outlives a change of size, so a decoder can decode
// the next picture into it without allocating (and faulting in) a fresh one.
class Picture {
public:
    using Palette = std::array<std::uint32_t, 256>; // 0xFFRRGGBB, like Xrgb32 pixels

    Picture() = default;
    Picture(PixelFormat format, int width, int height) { reset(format, width, height); }

    // Gives the picture a new format and size. The pixels are left uninitialised; the buffer is
    // kept when it is large enough. Returns true when it took a new buffer, whose pages the
    // system has yet to provide. Throws std::bad_alloc.
    bool reset(PixelFormat format, int width, int height);

    PixelFormat format() const { return format_; }
    int width() const { return width_; }
    int height() const { return height_; }
    std::ptrdiff_t stride() const { return stride_; }  // bytes from one row to the next
    std::size_t capacity() const { return capacity_; } // bytes of the buffer

    std::uint8_t* bits() { return buffer_.get(); }
    const std::uint8_t* bits() const { return buffer_.get(); }
    std::uint8_t* row(int y) { return buffer_.get() + y * stride_; }
    const std::uint8_t* row(int y) const { return buffer_.get() + y * stride_; }

    Palette& palette() { return palette_; }
    const Palette& palette() const { return palette_; }

    // Rows of Indexed8 pictures start on 4-byte boundaries, as Qt's indexed images require.
    static std::ptrdiff_t strideFor(PixelFormat format, int width);

private:
    using Buffer = std::unique_ptr<std::uint8_t[], detail::BufferRelease>;
    static Buffer allocate(std::size_t& bytes);

    Buffer buffer_;
    std::size_t capacity_ = 0;
    PixelFormat format_ = PixelFormat::Xrgb32;
    int width_ = 0;
    int height_ = 0;
    std::ptrdiff_t stride_ = 0;
    Palette palette_{};
};

// Has the pages of a new buffer provided on another thread, front to back, while its owner
// writes the buffer from the front: a photograph's buffer takes the system a good part of a
// decode's time to provide and clear, which a second core otherwise idle does meanwhile. The
// contents are never changed; a page that the writer reaches first is simply skipped. Stops
// and waits for the thread when it goes. Small buffers, and systems that cannot do this, are
// left to fault page by page as before.
class PageWarmer {
public:
    PageWarmer(std::uint8_t* begin, std::size_t bytes);
    ~PageWarmer();
    PageWarmer(const PageWarmer&) = delete;
    PageWarmer& operator=(const PageWarmer&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace duoptic
