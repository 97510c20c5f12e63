#include "imaging/Stretch.h"

#include "imaging/RepeatPixels.h"

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

// Both gather n pixels into out[0], out[Step], ... from the source columns table[0],
// table[Step], ...: Step 1 for whole rows, 2 for every other column.
template <int Step>
void gatherXrgb(const std::uint32_t* __restrict src, const std::int32_t* __restrict table,
                std::uint32_t* __restrict out, std::ptrdiff_t n, RowPrefetch& prefetch) {
    std::ptrdiff_t i = 0;
    for (; i + kChunk <= n; i += kChunk) {
        prefetch.upTo(table[(i + kChunk - 1) * Step]);
        for (std::ptrdiff_t k = i; k < i + kChunk; ++k) {
            out[k * Step] = src[table[k * Step]];
        }
    }
    for (; i < n; ++i) {
        out[i * Step] = src[table[i * Step]];
    }
}

template <int Step>
void gatherIndexed(const std::uint8_t* __restrict src, const std::int32_t* __restrict table,
                   const std::uint32_t* __restrict palette, std::uint32_t* __restrict out,
                   std::ptrdiff_t n, RowPrefetch& prefetch) {
    std::ptrdiff_t i = 0;
    for (; i + kChunk <= n; i += kChunk) {
        prefetch.upTo(table[(i + kChunk - 1) * Step]);
        for (std::ptrdiff_t k = i; k < i + kChunk; ++k) {
            out[k * Step] = palette[src[table[k * Step]]];
        }
    }
    for (; i < n; ++i) {
        out[i * Step] = palette[src[table[i * Step]]];
    }
}

template <int Step>
void gather(const Raster& src, int sy, const std::int32_t* table, std::uint32_t* out, int n,
            const std::uint8_t* nextRow) {
    const bool indexed = src.format() == PixelFormat::Indexed8;
    RowPrefetch prefetch(nextRow, indexed ? 1 : 4, table[0]);
    if (indexed) {
        gatherIndexed<Step>(src.row(sy), table, src.palette().data(), out, n, prefetch);
    } else {
        gatherXrgb<Step>(reinterpret_cast<const std::uint32_t*>(src.row(sy)), table, out, n,
                         prefetch);
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
    const int n = columns_.size();
    const std::int32_t sy = rows_.at(dy);
    // At 1:1 horizontally a row is one plain copy.
    if (src_->format() == PixelFormat::Xrgb32 &&
        columns_.source.back() - columns_.source.front() == n - 1) {
        std::memcpy(line + columns_.first,
                    src_->row(sy) + 4 * std::ptrdiff_t{columns_.source.front()},
                    4 * static_cast<std::size_t>(n));
        return;
    }
    gather<1>(*src_, sy, columns_.source.data(), line + columns_.first, n, rowAfter(dy, step));
}

void StretchPlan::drawAlternateColumns(int dy, std::uint32_t* line, int parity) const {
    const int first = columns_.first + ((columns_.first ^ parity) & 1);
    if (first < columns_.last) {
        gather<2>(*src_, rows_.at(dy),
                  &columns_.source[static_cast<std::size_t>(first - columns_.first)], line + first,
                  (columns_.last - first + 1) / 2, rowAfter(dy, 1));
    }
}

void StretchPlan::drawRowFrom(const std::uint32_t* pixels, std::uint32_t* line) const {
    if (columns_.size() > 0) {
        repeatPixels(pixels, columns_.source.data(), line + columns_.first, columns_.size());
    }
}

const std::uint8_t* StretchPlan::rowAfter(int dy, int step) const {
    // Rows repeated further than a few lines ahead are enlarged ones, which do not jump over
    // memory.
    constexpr int kLookAhead = 8;
    const std::int32_t sy = rows_.at(dy);
    int next = dy + step;
    while (next < rows_.last && next <= dy + kLookAhead * step && rows_.at(next) == sy) {
        next += step;
    }
    return next < rows_.last && rows_.at(next) != sy ? src_->row(rows_.at(next)) : nullptr;
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
