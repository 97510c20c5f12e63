#include "imaging/Picture.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <system_error>

#include <sys/mman.h>

namespace duoptic {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kMapFrom = std::size_t{4} << 20; // bytes; smaller buffers come from new[]
// Below this a thread costs about what it saves.
constexpr std::size_t kWarmFrom = std::size_t{16} << 20;

std::size_t roundUp(std::size_t n, std::size_t unit) {
    return (n + unit - 1) / unit * unit;
}

} // namespace

void detail::BufferRelease::operator()(std::uint8_t* p) const noexcept {
    if (mappedBytes != 0) {
        ::munmap(p, mappedBytes);
    } else {
        delete[] p;
    }
}

// Large buffers are mapped on huge-page boundaries and marked for transparent huge pages: a
// photograph's buffer is touched first by the decoder, and faulting it in 4 KiB pages costs a
// large share of a first decode. Rounds bytes up to what was allocated.
Picture::Buffer Picture::allocate(std::size_t& bytes) {
    if (bytes < kMapFrom) {
        // Default-initialised on purpose: the decoder writes every byte.
        return Buffer(new std::uint8_t[bytes], detail::BufferRelease{});
    }
    bytes = roundUp(bytes, kHugePage);
    const std::size_t span = bytes + kHugePage;
    void* mapped =
        ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    auto* start = static_cast<std::uint8_t*>(mapped);
    // Offset, not a made-up pointer: the aligned start is found within the mapping.
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::size_t head = roundUp(address, kHugePage) - address;
    std::uint8_t* aligned = start + head;
    if (head != 0) {
        ::munmap(start, head);
    }
    if (span - head - bytes != 0) {
        ::munmap(aligned + bytes, span - head - bytes);
    }
    ::madvise(aligned, bytes, MADV_HUGEPAGE); // a hint; without it the buffer works all the same
    return Buffer(aligned, detail::BufferRelease{bytes});
}

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

bool Picture::reset(PixelFormat format, int width, int height) {
    if (width < 0 || height < 0) {
        throw std::invalid_argument("negative picture size");
    }
    const std::ptrdiff_t stride = strideFor(format, width);
    const auto bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    const bool fresh = bytes > capacity_;
    if (fresh) {
        buffer_.reset(); // never hold the old and the new buffer at once
        capacity_ = 0;
        std::size_t allocated = bytes;
        buffer_ = allocate(allocated);
        capacity_ = allocated;
    }
    format_ = format;
    width_ = width;
    height_ = height;
    stride_ = stride;
    return fresh;
}

PageWarmer::PageWarmer(std::uint8_t* begin, std::size_t bytes) {
    if (begin == nullptr || bytes < kWarmFrom) {
        return;
    }
    try {
        thread_ = std::thread([this, begin, bytes] {
            // In huge-page steps, so that a stop request is seen soon. MADV_POPULATE_WRITE
            // provides the pages as a write would, without writing; it fails on kernels before
            // 5.14, and then the writer's own faults do the work.
            for (std::size_t done = 0; done < bytes && !stop_.load(std::memory_order_relaxed);
                 done += kHugePage) {
                if (::madvise(begin + done, std::min(kHugePage, bytes - done),
                              MADV_POPULATE_WRITE) != 0) {
                    return;
                }
            }
        });
    } catch (const std::system_error&) {
        // No thread to be had: the pages fault in as they are written.
    }
}

PageWarmer::~PageWarmer() {
    stop_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) {
        thread_.join();
    }
}

} // namespace duoptic
