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

void stretchInto(const Raster& src, Rect rect, const Destination& d) {
    if (d.pixels == nullptr || d.width <= 0 || d.height <= 0) {
        return;
    }
    const StretchPlan plan(src, rect, d.width, d.height);
    const int first = plan.firstColumn();
    const int last = plan.lastColumn();
    const std::size_t runBytes = 4 * static_cast<std::size_t>(last - first);
    for (int dy = 0; dy < d.height; ++dy) {
        std::uint32_t* line = rowAt(d.pixels, dy, d.strideBytes);
        const int sy = plan.sourceRow(dy);
        if (sy < 0) {
            if (d.background != nullptr) {
                std::fill_n(line, d.width, *d.background);
            }
            continue;
        }
        if (d.background != nullptr) {
            std::fill_n(line, first, *d.background);
            std::fill_n(line + last, d.width - last, *d.background);
        }
        // Zoomed in, most rows repeat the one above: copying it beats gathering again.
        if (dy > 0 && sy == plan.sourceRow(dy - 1)) {
            std::memcpy(line + first, rowAt(d.pixels, dy - 1, d.strideBytes) + first, runBytes);
            continue;
        }
        plan.drawRow(dy, line);
    }
}

} // namespace

StretchPlan::Axis StretchPlan::makeAxis(int rasterSize, int start, int span, int count) {
    Axis t;
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

StretchPlan::StretchPlan(const Raster& src, Rect rect, int dstWidth, int dstHeight)
    : src_(&src), width_(std::max(dstWidth, 0)), height_(std::max(dstHeight, 0)) {
    if (rect.width > 0 && rect.height > 0 && !src.empty() && width_ > 0 && height_ > 0) {
        columns_ = makeAxis(src.width(), rect.left, rect.width, width_);
        rows_ = makeAxis(src.height(), rect.top, rect.height, height_);
    }
    if (columns_.size() == 0 || rows_.size() == 0) {
        columns_ = Axis{}; // nothing covered: all of it is background
        rows_ = Axis{};
    }
}

int StretchPlan::sourceRow(int dy) const {
    return dy >= rows_.first && dy < rows_.last ? rows_.at(dy) : -1;
}

void StretchPlan::composeRow(int dy, std::uint32_t colour, std::uint32_t* line, int step) const {
    if (sourceRow(dy) < 0) {
        std::fill_n(line, width_, colour);
        return;
    }
    std::fill_n(line, columns_.first, colour);
    std::fill_n(line + columns_.last, width_ - columns_.last, colour);
    drawRow(dy, line, step);
}

void StretchPlan::drawRow(int dy, std::uint32_t* line, int step) const {
    const Raster& src = *src_;
    const int n = columns_.size();
    const bool indexed = src.format() == PixelFormat::Indexed8;
    const int pixelBytes = indexed ? 1 : 4;
    const std::int32_t sy = rows_.at(dy);
    const std::uint8_t* row = src.row(sy);
    std::uint32_t* out = line + columns_.first;
    // At 1:1 horizontally a row is one plain copy.
    if (!indexed && columns_.source.back() - columns_.source.front() == n - 1) {
        std::memcpy(out, row + 4 * std::ptrdiff_t{columns_.source.front()},
                    4 * static_cast<std::size_t>(n));
        return;
    }
    // The next source row to ask the cache for; rows repeated further than a few lines ahead are
    // enlarged ones, which do not jump over memory.
    constexpr int kLookAhead = 8;
    int next = dy + step;
    while (next < rows_.last && next <= dy + kLookAhead * step && rows_.at(next) == sy) {
        next += step;
    }
    const bool ahead = next < rows_.last && rows_.at(next) != sy;
    RowPrefetch prefetch(ahead ? src.row(rows_.at(next)) : nullptr, pixelBytes,
                         columns_.source.front());
    if (indexed) {
        gatherIndexed(row, columns_.source.data(), src.palette().data(), out, n, prefetch);
    } else {
        gatherXrgb(reinterpret_cast<const std::uint32_t*>(row), columns_.source.data(), out, n,
                   prefetch);
    }
}

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
