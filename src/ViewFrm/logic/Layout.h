#pragma once

#include "base/Rect.h"

namespace duoptic {

// Places of the main window's controls, each relative to its parent: paintBox1 and paintBox2 to
// their panel frames, trackBar1 to pct4, the rest to the client area. Sizes are passed on
// unchecked, negative ones included; whoever applies them clamps them.
struct MainLayout {
    int panelWidth = 0;  // W
    int panelHeight = 0; // H
    Rect scrollBarV;
    Rect pnPct1;
    Rect paintBox1;
    Rect pnPct2;
    Rect paintBox2;
    Rect scrollBarH;
    Rect pct4;
    Rect trackBar1;
    Rect bnTips;
    Rect bnRevers;
};

MainLayout computeMainLayout(int clientWidth, int clientHeight, int border,
                             int scrollBarVWidth = 20, int scrollBarHHeight = 20,
                             int pct4Height = 21);

// The layout of the modes that draw both eyes into one image area: pnPct1 takes the place of both
// panel frames and the border between them, with paintBox1 inside it as in a single frame;
// pnPct2 and paintBox2 keep their places but are not shown. Everything else is unchanged.
MainLayout joinImageAreas(const MainLayout& twoPanels);

// The layout of a window that gives its screen to one eye: paintBox1 and its frame fill the
// client area, with no frame to be seen, over the other controls, which keep their places (the
// layout pass reads the bars' sizes from them).
MainLayout imageAreaOnly(const MainLayout& twoPanels, int clientWidth, int clientHeight);

} // namespace duoptic
