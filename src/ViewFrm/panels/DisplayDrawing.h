#pragma once

#include "imaging/DisplayCompose.h"
#include "modes/DisplayModes.h"

namespace duoptic {

// The output mode and its two options, as the settings hold them.
struct DisplayOptions {
    DisplayMode mode = DisplayMode::SideBySide;
    bool swapParity = false; // interlaced: the left eye on the screen's odd lines
    bool mirrorLeft = false; // mirror: the left panel is the flipped one, not the right
};

// The mix of an anaglyph mode; for the other modes the one an anaglyph is made with by default.
AnaglyphKind anaglyphKind(DisplayMode mode);

// What image area `panel` (1 left, 2 right) shows in the options' mode, composed into `frame`
// from both eyes at full resolution. The modes of one image area draw only into panel 1.
// (screenX, screenY) is the frame's top-left in device pixels on its screen; only the interlaced
// modes read it.
void composeDisplay(const DisplayOptions& options, int panel, EyeView left, EyeView right,
                    int screenX, int screenY, Frame frame);
// Half `half` (0 or 1) of what composeDisplay draws into panel 1. The two halves write apart and
// together draw the same, so they may run on two cores at once; for the two-panel modes half 0
// draws it all.
void composeDisplayHalf(const DisplayOptions& options, EyeView left, EyeView right, int screenX,
                        int screenY, Frame frame, int half);

} // namespace duoptic
