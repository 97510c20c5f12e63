#include "imaging/Stretch.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace duoptic {

namespace {

// Source index under the centre of destination pixel d of count, for a span starting at start.
// (2d + 1) < 2^32 and span < 2^31, so the product fits in 64 bits.
std::int64_t sourceIndex(int d, int start, int span, int count) {
    return start + (2 * std::int64_t{d} + 1) * span / (2 * std::int64_t{count});
}

std::uint32_t* rowAt(std::uint32_t* base, int y, int strideBytes) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(base) +
                                            std::ptrdiff_t{y} * strideBytes);
}

// The destination columns [first, last) whose source column lies inside the raster, and for each
// the column it takes. The mapping is monotonic, so the inside is one run.
struct ColumnTable {
    int first = 0;
    int last = 0;
    std::vector<std::int32_t> source; // indexed by destination column - first
    bool contiguous = false;          // source columns follow each other one by one
};

ColumnTable makeColumnTable(int rasterWidth, int left, int span, int count) {
    ColumnTable t;
    int d = 0;
    while (d < count && sourceIndex(d, left, span, count) < 0) {
        ++d;
    }
    t.first = d;
    while (d < count && sourceIndex(d, left, span, count) < rasterWidth) {
        ++d;
    }
    t.last = d;
    t.source.resize(static_cast<std::size_t>(t.last - t.first));
    for (int i = t.first; i < t.last; ++i) {
        t.source[static_cast<std::size_t>(i - t.first)] =
            static_cast<std::int32_t>(sourceIndex(i, left, span, count));
    }
    t.contiguous = t.source.empty() || t.source.back() - t.source.front() == t.last - t.first - 1;
    return t;
}

void gatherXrgb(const std::uint32_t* __restrict src, const std::int32_t* __restrict table,
                std::uint32_t* __restrict out, int n) {
    for (int i = 0; i < n; ++i) {
        out[i] = src[table[i]];
    }
}

void gatherIndexed(const std::uint8_t* __restrict src, const std::int32_t* __restrict table,
                   const std::uint32_t* __restrict palette, std::uint32_t* __restrict out, int n) {
    for (int i = 0; i < n; ++i) {
        out[i] = palette[src[table[i]]];
    }
}

void drawRow(const Raster& src, int sy, const ColumnTable& t, std::uint32_t* out) {
    const int n = t.last - t.first;
    const std::uint8_t* row = src.row(sy);
    if (src.format() == PixelFormat::Indexed8) {
        gatherIndexed(row, t.source.data(), src.palette().data(), out, n);
    } else if (t.contiguous) {
        std::memcpy(out, row + 4 * std::ptrdiff_t{t.source.front()}, 4 * std::size_t(n));
    } else {
        gatherXrgb(reinterpret_cast<const std::uint32_t*>(row), t.source.data(), out, n);
    }
}

} // namespace

void fillBackground(std::uint32_t* dst, int width, int height, int strideBytes,
                    std::uint32_t colour) {
    for (int y = 0; y < height && width > 0; ++y) {
        std::fill_n(rowAt(dst, y, strideBytes), width, colour);
    }
}

void stretchRaster(const Raster& src, SourceRect rect, std::uint32_t* dst, int dstWidth,
                   int dstHeight, int dstStrideBytes) {
    if (dst == nullptr || dstWidth <= 0 || dstHeight <= 0 || rect.width <= 0 ||
        rect.height <= 0 || src.empty()) {
        return;
    }
    const ColumnTable table = makeColumnTable(src.width(), rect.left, rect.width, dstWidth);
    if (table.first == table.last) {
        return;
    }
    const std::size_t runBytes = 4 * std::size_t(table.last - table.first);
    const std::uint32_t* previous = nullptr; // last drawn row, if it was the row just above
    std::int64_t previousSource = -1;
    for (int dy = 0; dy < dstHeight; ++dy) {
        const std::int64_t sy = sourceIndex(dy, rect.top, rect.height, dstHeight);
        if (sy >= src.height()) {
            break; // rows only go further down from here
        }
        if (sy < 0) {
            continue;
        }
        std::uint32_t* out = rowAt(dst, dy, dstStrideBytes) + table.first;
        // Zoomed in, most rows repeat the one above: copying it beats gathering again.
        if (previous != nullptr && sy == previousSource) {
            std::memcpy(out, previous, runBytes);
        } else {
            drawRow(src, static_cast<int>(sy), table, out);
        }
        previous = out;
        previousSource = sy;
    }
}

} // namespace duoptic
