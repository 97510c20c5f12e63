#include "ViewFrm/logic/Layout.h"

namespace duoptic {

namespace {

// Places that the layout pass never moves: they keep their designed values.
constexpr int kBarsLeft = 20;     // ScrollBarH and pct4
constexpr int kButtonSide = 20;   // bnTips and bnRevers
constexpr int kFrameInset = 3;    // 2-pixel border plus 1-pixel bevel around an image area
constexpr int kTrackBarInset = 1; // bevel of pct4

Rect insideFrame(int width, int height, int inset) {
    return {inset, inset, width - 2 * inset, height - 2 * inset};
}

} // namespace

MainLayout computeMainLayout(int clientWidth, int clientHeight, int border, int scrollBarVWidth,
                             int scrollBarHHeight, int pct4Height) {
    MainLayout m;
    const int h = clientHeight - scrollBarHHeight - pct4Height;
    const int w = (clientWidth - scrollBarVWidth - border) / 2; // truncates toward zero
    const int barWidth = 2 * w + border;
    m.panelWidth = w;
    m.panelHeight = h;

    m.scrollBarV = {0, 0, scrollBarVWidth, h};
    m.pnPct1 = {scrollBarVWidth, 0, w, h};
    m.pnPct2 = {m.pnPct1.left + w + border, 0, w, h};
    m.paintBox1 = insideFrame(w, h, kFrameInset);
    m.paintBox2 = insideFrame(w, h, kFrameInset);
    m.scrollBarH = {kBarsLeft, h, barWidth, scrollBarHHeight};
    m.pct4 = {kBarsLeft, h + scrollBarHHeight, barWidth, pct4Height};
    m.trackBar1 = insideFrame(barWidth, pct4Height, kTrackBarInset);
    m.bnTips = {0, h, kButtonSide, kButtonSide};
    m.bnRevers = {0, m.pct4.top, kButtonSide, kButtonSide};
    return m;
}

MainLayout joinImageAreas(const MainLayout& twoPanels) {
    MainLayout m = twoPanels;
    m.pnPct1.width = twoPanels.pnPct2.left + twoPanels.pnPct2.width - twoPanels.pnPct1.left;
    m.paintBox1 = insideFrame(m.pnPct1.width, m.pnPct1.height, kFrameInset);
    return m;
}

MainLayout imageAreaOnly(const MainLayout& twoPanels, int clientWidth, int clientHeight) {
    MainLayout m = twoPanels;
    m.pnPct1 = {0, 0, clientWidth, clientHeight};
    m.paintBox1 = m.pnPct1;
    return m;
}

} // namespace duoptic
