#include "ViewFrm/DisplayDrawing.h"

#include "imaging/Stretch.h"

#include <utility>

namespace duoptic {

namespace {

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

void composePanel(EyeView eye, bool flipped, Frame frame) {
    if (flipped) {
        composeMirrored(eye, kBackgroundGrey, frame);
    } else if (eye.raster != nullptr) {
        composeRaster(*eye.raster, eye.source, kBackgroundGrey, frame.pixels, frame.width,
                      frame.height, frame.strideBytes);
    }
}

} // namespace

void composeDisplay(const DisplayOptions& options, int panel, EyeView left, EyeView right,
                    int screenX, int screenY, Frame frame) {
    switch (options.mode) {
    case DisplayMode::SideBySide:
        composePanel(panel == 1 ? left : right, false, frame);
        return;
    case DisplayMode::Mirror:
        composePanel(panel == 1 ? left : right, (panel == 1) == options.mirrorLeft, frame);
        return;
    case DisplayMode::AnaglyphRedCyan:
    case DisplayMode::AnaglyphGreenMagenta:
    case DisplayMode::AnaglyphAmberBlue:
    case DisplayMode::AnaglyphRedCyanGrey:
    case DisplayMode::AnaglyphRedCyanHalfColour:
        composeAnaglyph(anaglyphKind(options.mode), left, right, kBackgroundGrey, frame);
        return;
    case DisplayMode::HalfSideBySide:
        composeHalf(HalfLayout::SideBySide, left, right, kBackgroundGrey, frame);
        return;
    case DisplayMode::HalfTopBottom:
        composeHalf(HalfLayout::TopBottom, left, right, kBackgroundGrey, frame);
        return;
    case DisplayMode::RowInterlaced:
    case DisplayMode::ColumnInterlaced: {
        const InterlaceAxis axis = options.mode == DisplayMode::RowInterlaced
                                       ? InterlaceAxis::Rows
                                       : InterlaceAxis::Columns;
        // Left on the even lines unless the monitor starts with the other eye.
        if (options.swapParity) {
            std::swap(left, right);
        }
        composeInterlaced(axis, left, right, screenX, screenY, kBackgroundGrey, frame);
        return;
    }
    }
}

} // namespace duoptic
