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

// For one axis: the destination positions [first, last) whose source index lies inside the
// raster, and the index each takes. The mapping is monotonic, so the inside is one run.
struct AxisTable {
    int first = 0;
    int last = 0;
    std::vector<std::int32_t> source; // by destination position - first

    std::int32_t at(int d) const { return source[static_cast<std::size_t>(d - first)]; }
    int size() const { return last - first; }
};

AxisTable makeAxisTable(int rasterSize, int start, int span, int count) {
    AxisTable t;
    int d = 0;
    while (d < count && sourceIndex(d, start, span, count) < 0) {
        ++d;
    }
    t.first = d;
    while (d < count && sourceIndex(d, start, span, count) < rasterSize) {
        ++d;
    }
    t.last = d;
    t.source.resize(static_cast<std::size_t>(t.size()));
    for (int i = t.first; i < t.last; ++i) {
        t.source[static_cast<std::size_t>(i - t.first)] =
            static_cast<std::int32_t>(sourceIndex(i, start, span, count));
    }
    return t;
}

constexpr int kChunk = 16;           // destination pixels between prefetch steps
constexpr std::ptrdiff_t kLine = 64; // bytes of a cache line

// Requests the cache lines of the next source row while the current one is gathered. Shrinking
// jumps over source rows, which the hardware prefetcher cannot foresee; the row's lines are
// asked for in step with the columns used, so that the requests spread over the row's work.
class RowPrefetch {
public:
    RowPrefetch(const std::uint8_t* nextRow, int pixelBytes, std::int32_t firstColumn)
        : row_(nextRow), pixelBytes_(pixelBytes),
          ahead_(nextRow ? nextRow + std::ptrdiff_t{firstColumn} * pixelBytes : nullptr) {}

    void upTo(std::int32_t column) {
        if (row_ == nullptr) {
            return;
        }
        const std::uint8_t* until = row_ + std::ptrdiff_t{column} * pixelBytes_;
        for (; ahead_ <= until; ahead_ += kLine) {
            __builtin_prefetch(ahead_);
        }
    }

private:
    const std::uint8_t* row_;
    int pixelBytes_;
    const std::uint8_t* ahead_;
};

void gatherXrgb(const std::uint32_t* __restrict src, const std::int32_t* __restrict table,
                std::uint32_t* __restrict out, int n, RowPrefetch& prefetch) {
    int i = 0;
    for (; i + kChunk <= n; i += kChunk) {
        prefetch.upTo(table[i + kChunk - 1]);
        for (int k = i; k < i + kChunk; ++k) {
            out[k] = src[table[k]];
        }
    }
    for (; i < n; ++i) {
        out[i] = src[table[i]];
    }
}

void gatherIndexed(const std::uint8_t* __restrict src, const std::int32_t* __restrict table,
                   const std::uint32_t* __restrict palette, std::uint32_t* __restrict out, int n,
                   RowPrefetch& prefetch) {
    int i = 0;
    for (; i + kChunk <= n; i += kChunk) {
        prefetch.upTo(table[i + kChunk - 1]);
        for (int k = i; k < i + kChunk; ++k) {
            out[k] = palette[src[table[k]]];
        }
    }
    for (; i < n; ++i) {
        out[i] = palette[src[table[i]]];
    }
}

std::uint32_t* rowAt(std::uint32_t* base, int y, int strideBytes) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(base) +
                                            std::ptrdiff_t{y} * strideBytes);
}

void fillRows(std::uint32_t* dst, int firstRow, int lastRow, int width, int strideBytes,
              std::uint32_t colour) {
    for (int y = firstRow; y < lastRow && width > 0; ++y) {
        std::fill_n(rowAt(dst, y, strideBytes), width, colour);
    }
}

// The destination area and, for composing, the colour of what the raster does not cover.
struct Destination {
    std::uint32_t* pixels;
    int width;
    int height;
    int strideBytes;
    const std::uint32_t* background; // null: leave what the raster does not cover as it is
};

// Rows rows.first .. rows.last - 1, the columns of the table; the background beside them.
void drawRows(const Raster& src, const AxisTable& columns, const AxisTable& rows,
              const Destination& d) {
    const int n = columns.size();
    const bool indexed = src.format() == PixelFormat::Indexed8;
    const int pixelBytes = indexed ? 1 : 4;
    // At 1:1 horizontally a row is one plain copy.
    const bool contiguous = !indexed && columns.source.back() - columns.source.front() == n - 1;
    const std::size_t runBytes = 4 * static_cast<std::size_t>(n);
    for (int dy = rows.first; dy < rows.last; ++dy) {
        std::uint32_t* line = rowAt(d.pixels, dy, d.strideBytes);
        if (d.background != nullptr) {
            std::fill_n(line, columns.first, *d.background);
            std::fill_n(line + columns.last, d.width - columns.last, *d.background);
        }
        std::uint32_t* out = line + columns.first;
        const std::int32_t sy = rows.at(dy);
        // Zoomed in, most rows repeat the one above: copying it beats gathering again.
        if (dy > rows.first && sy == rows.at(dy - 1)) {
            std::memcpy(out, rowAt(d.pixels, dy - 1, d.strideBytes) + columns.first, runBytes);
            continue;
        }
        const std::uint8_t* row = src.row(sy);
        if (contiguous) {
            std::memcpy(out, row + 4 * std::ptrdiff_t{columns.source.front()}, runBytes);
            continue;
        }
        int next = dy + 1;
        while (next < rows.last && rows.at(next) == sy) {
            ++next;
        }
        RowPrefetch prefetch(next < rows.last ? src.row(rows.at(next)) : nullptr, pixelBytes,
                             columns.source.front());
        if (indexed) {
            gatherIndexed(row, columns.source.data(), src.palette().data(), out, n, prefetch);
        } else {
            gatherXrgb(reinterpret_cast<const std::uint32_t*>(row), columns.source.data(), out, n,
                       prefetch);
        }
    }
}

void stretchInto(const Raster& src, Rect rect, const Destination& d) {
    if (d.pixels == nullptr || d.width <= 0 || d.height <= 0) {
        return;
    }
    AxisTable columns;
    AxisTable rows;
    if (rect.width > 0 && rect.height > 0 && !src.empty()) {
        columns = makeAxisTable(src.width(), rect.left, rect.width, d.width);
        rows = makeAxisTable(src.height(), rect.top, rect.height, d.height);
    }
    if (columns.size() == 0 || rows.size() == 0) {
        rows = AxisTable{}; // nothing covered: all of it is background
    }
    if (d.background != nullptr) {
        fillRows(d.pixels, 0, rows.first, d.width, d.strideBytes, *d.background);
        fillRows(d.pixels, rows.last, d.height, d.width, d.strideBytes, *d.background);
    }
    if (rows.size() > 0) {
        drawRows(src, columns, rows, d);
    }
}

} // namespace

void fillBackground(std::uint32_t* dst, int width, int height, int strideBytes,
                    std::uint32_t colour) {
    fillRows(dst, 0, height, width, strideBytes, colour);
}

void stretchRaster(const Raster& src, Rect rect, std::uint32_t* dst, int dstWidth, int dstHeight,
                   int dstStrideBytes) {
    stretchInto(src, rect, {dst, dstWidth, dstHeight, dstStrideBytes, nullptr});
}

void composeRaster(const Raster& src, Rect rect, std::uint32_t colour, std::uint32_t* dst,
                   int dstWidth, int dstHeight, int dstStrideBytes) {
    stretchInto(src, rect, {dst, dstWidth, dstHeight, dstStrideBytes, &colour});
}

} // namespace duoptic
