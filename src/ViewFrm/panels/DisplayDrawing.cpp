#include "ViewFrm/panels/DisplayDrawing.h"

#include "imaging/Stretch.h"

#include <optional>
#include <utility>

namespace duoptic {

AnaglyphKind anaglyphKind(DisplayMode mode) {
    switch (mode) {
    case DisplayMode::AnaglyphGreenMagenta:
        return AnaglyphKind::GreenMagentaDubois;
    case DisplayMode::AnaglyphAmberBlue:
        return AnaglyphKind::AmberBlueDubois;
    case DisplayMode::AnaglyphRedCyanGrey:
        return AnaglyphKind::RedCyanGrey;
    case DisplayMode::AnaglyphRedCyanHalfColour:
        return AnaglyphKind::RedCyanHalfColour;
    default:
        return AnaglyphKind::RedCyanDubois;
    }
}

namespace {

void composePanel(EyeView eye, bool flipped, Frame frame) {
    if (flipped) {
        composeMirrored(eye, kBackgroundGrey, frame);
    } else if (eye.raster != nullptr) {
        composeEye(eye, kBackgroundGrey, frame);
    }
}

// A mode of one image area, whole or one of its two halves: the upper or lower rows, or for the
// half-resolution modes one eye's half.
void composeOneArea(const DisplayOptions& options, EyeView left, EyeView right, int screenX,
                    int screenY, Frame frame, std::optional<int> half) {
    const RowBand rows = !half        ? RowBand{}
                         : *half == 0 ? RowBand{0, frame.height / 2}
                                      : RowBand{frame.height / 2, frame.height};
    switch (options.mode) {
    case DisplayMode::SideBySide:
    case DisplayMode::Mirror:
    case DisplayMode::TwoScreens:
        return; // two image areas
    case DisplayMode::AnaglyphRedCyan:
    case DisplayMode::AnaglyphGreenMagenta:
    case DisplayMode::AnaglyphAmberBlue:
    case DisplayMode::AnaglyphRedCyanGrey:
    case DisplayMode::AnaglyphRedCyanHalfColour:
        composeAnaglyph(anaglyphKind(options.mode), left, right, kBackgroundGrey, frame, rows);
        return;
    case DisplayMode::HalfSideBySide:
    case DisplayMode::HalfTopBottom: {
        const HalfLayout layout = options.mode == DisplayMode::HalfSideBySide
                                      ? HalfLayout::SideBySide
                                      : HalfLayout::TopBottom;
        for (const int eye : {0, 1}) {
            if (!half || *half == eye) {
                composeHalfOf(layout, eye, eye == 0 ? left : right, kBackgroundGrey, frame);
            }
        }
        return;
    }
    case DisplayMode::RowInterlaced:
    case DisplayMode::ColumnInterlaced: {
        const InterlaceAxis axis = options.mode == DisplayMode::RowInterlaced
                                       ? InterlaceAxis::Rows
                                       : InterlaceAxis::Columns;
        // Left on the even lines unless the monitor starts with the other eye.
        if (options.swapParity) {
            std::swap(left, right);
        }
        composeInterlaced(axis, left, right, screenX, screenY, kBackgroundGrey, frame, rows);
        return;
    }
    }
}

} // namespace

void composeDisplay(const DisplayOptions& options, int panel, EyeView left, EyeView right,
                    int screenX, int screenY, Frame frame) {
    switch (options.mode) {
    case DisplayMode::SideBySide:
    case DisplayMode::TwoScreens: // the two panels, each on a screen of its own
        composePanel(panel == 1 ? left : right, false, frame);
        return;
    case DisplayMode::Mirror:
        composePanel(panel == 1 ? left : right, (panel == 1) == options.mirrorLeft, frame);
        return;
    default:
        composeOneArea(options, left, right, screenX, screenY, frame, std::nullopt);
        return;
    }
}

void composeDisplayHalf(const DisplayOptions& options, EyeView left, EyeView right, int screenX,
                        int screenY, Frame frame, int half) {
    if (fillsOneArea(options.mode)) {
        composeOneArea(options, left, right, screenX, screenY, frame, half);
    } else if (half == 0) {
        composeDisplay(options, 1, left, right, screenX, screenY, frame);
    }
}

} // namespace duoptic
