#pragma once

#include "base/Rect.h"
#include "imaging/Raster.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace duoptic {

// composeRaster's mapping with the raster turned by rollDegrees about its centre, clockwise on
// screen (y pointing down), before rect is laid over it: destination pixel (dx, dy) takes the
// raster pixel under the point that the turn brings under its centre. Rows are drawn one by one,
// stepping the raster position along the row in fixed point. It looks into the raster, which must
// outlive it.
class TurnedStretch {
public:
    TurnedStretch(const Raster& src, Rect rect, double rollDegrees, int dstWidth, int dstHeight);

    int width() const { return width_; }
    int height() const { return height_; }

    // Destination columns [first, last) of a row that the raster covers; empty where none.
    struct Span {
        int first = 0;
        int last = 0;
    };
    Span span(int dy) const;
    // Destination row dy into line (width() pixels): the raster where it covers, colour elsewhere.
    // Returns the covered columns.
    Span composeRow(int dy, std::uint32_t colour, std::uint32_t* line) const;

private:
    // Raster position under the centre of destination pixel (0, dy), 32.32 fixed point, and its
    // change from one destination column to the next.
    struct RowStart {
        std::int64_t x;
        std::int64_t y;
    };
    RowStart start(int dy) const;
    bool inside(const RowStart& s, int dx) const;

    const Raster* src_;
    int width_;
    int height_;
    bool drawable_;
    double originX_ = 0; // raster position of destination (0, 0)'s centre before the turn
    double originY_ = 0;
    double scaleX_ = 0; // raster pixels per destination pixel
    double scaleY_ = 0;
    double cos_ = 1;
    double sin_ = 0;
    std::int64_t stepX_ = 0; // along a row, fixed point
    std::int64_t stepY_ = 0;
};

// The whole raster turned by rollDegrees about its centre into a picture of its own size, as
// TurnedStretch draws it at one pixel for one: what the turn leaves uncovered is `uncovered`.
// Once the cancel flag (null: none) is set, it stops between rows and gives nothing.
std::shared_ptr<const Picture> turnedPicture(const Raster& src, double rollDegrees,
                                             std::uint32_t uncovered = 0,
                                             const std::atomic<bool>* cancel = nullptr);

} // namespace duoptic
