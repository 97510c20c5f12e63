#pragma once

namespace duoptic {

// A rectangle in pixels: a control's place in its parent, or the part of a raster that a panel
// shows. A source rectangle may reach beyond its raster on any side: the parts outside it are
// simply not drawn.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace duoptic
