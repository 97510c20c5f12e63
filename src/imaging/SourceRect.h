#pragma once

namespace duoptic {

// A rectangle in raster pixels. It may reach beyond the raster on any side: the parts outside it
// are simply not drawn.
struct SourceRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const SourceRect&, const SourceRect&) = default;
};

} // namespace duoptic
