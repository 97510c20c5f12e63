#pragma once

#include "base/Rect.h"
#include "imaging/Raster.h"

#include <cstdint>
#include <vector>

namespace duoptic {

constexpr std::uint32_t kBackgroundGrey = 0xFFC0C0C0;

// Sets every pixel of a 32-bit image to colour.
void fillBackground(std::uint32_t* dst, int width, int height, int strideBytes,
                    std::uint32_t colour);

// Maps rect of the raster onto the whole 32-bit destination by dropping or repeating whole rows
// and columns, without smoothing. Destination pixel (dx, dy) takes raster pixel
// (rect.left + floor((2 dx + 1) rect.width / (2 dstWidth)), the same for y), the one under its
// centre; where that lies outside the raster the destination keeps what it had. Costs
// O(destination), whatever the zoom. Empty sizes draw nothing.
void stretchRaster(const Raster& src, Rect rect, std::uint32_t* dst, int dstWidth, int dstHeight,
                   int dstStrideBytes);

// A whole panel: the same pixels as fillBackground(colour) followed by stretchRaster, but each
// written once, since the grey goes only where the stretch leaves the destination as it was.
void composeRaster(const Raster& src, Rect rect, std::uint32_t colour, std::uint32_t* dst,
                   int dstWidth, int dstHeight, int dstStrideBytes);

// composeRaster's mapping of one raster and source rectangle onto a destination size, row by row,
// for drawings that combine several of them: eyes mixed, interleaved or flipped. It looks into the
// raster, which must outlive it.
class StretchPlan {
public:
    StretchPlan(const Raster& src, Rect rect, int dstWidth, int dstHeight);

    const Raster& raster() const { return *src_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The raster row that destination row dy shows, or -1 where the raster covers none of it.
    int sourceRow(int dy) const;
    // On a row the raster covers, the destination columns [firstColumn, lastColumn) it covers.
    int firstColumn() const { return columns_.first; }
    int lastColumn() const { return columns_.last; }
    // The raster column that covered destination column x shows.
    int sourceColumn(int x) const { return columns_.at(x); }
    // sourceColumn of the covered columns, from firstColumn() on.
    const std::int32_t* sourceColumns() const { return columns_.source.data(); }
    // The raster row drawn after destination row dy, step rows down, while it is another one
    // and near enough to be worth asking memory for; otherwise null.
    const std::uint8_t* nextSourceRow(int dy, int step = 1) const { return rowAfter(dy, step); }

    // Destination row dy into line (width() pixels): the raster where it covers, colour elsewhere.
    // step is how many rows further down the caller draws next, whose raster row is asked for
    // from memory while this one is gathered.
    void composeRow(int dy, std::uint32_t colour, std::uint32_t* line, int step = 1) const;
    // Only the covered columns of destination row dy into line; sourceRow(dy) must be >= 0.
    void drawRow(int dy, std::uint32_t* line, int step = 1) const;
    // Only the covered columns x of destination row dy with x % 2 == parity; sourceRow(dy) must be
    // >= 0.
    void drawAlternateColumns(int dy, std::uint32_t* line, int parity) const;
    // Only the covered columns of a row into line, from pixels[k] standing for raster column
    // sourceColumn(firstColumn()) + k: a raster row already worked on, laid out as drawRow would.
    void drawRowFrom(const std::uint32_t* pixels, std::uint32_t* line) const;

private:
    // For one axis: the destination positions [first, last) whose source index lies inside the
    // raster, and the index each takes. The mapping is monotonic, so the inside is one run.
    struct Axis {
        int first = 0;
        int last = 0;
        std::vector<std::int32_t> source; // by destination position - first

        std::int32_t at(int d) const { return source[static_cast<std::size_t>(d - first)]; }
        int size() const { return last - first; }
    };
    static Axis makeAxis(int rasterSize, int start, int span, int count);
    // The raster row after destination row dy's, step rows down, while it is a different one.
    const std::uint8_t* rowAfter(int dy, int step) const;

    const Raster* src_;
    int width_;
    int height_;
    Axis columns_;
    Axis rows_;
};

} // namespace duoptic
