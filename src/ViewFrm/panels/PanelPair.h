#pragma once

#include "ViewFrm/logic/Drag.h"
#include "ViewFrm/logic/ViewGeometry.h"
#include "ViewFrm/panels/DisplayDrawing.h"
#include "ViewFrm/panels/TurnedCopy.h"
#include "imaging/PairRasters.h"
#include "imaging/Stretch.h"
#include "modes/FittingModes.h"

#include <QImage>
#include <QPoint>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QPointF;

namespace duoptic {

class PaintBox;

// What the panels read from the window at every drawing: the fitting mode and the output mode of
// the settings and the positions that the zoom track bar and the two scroll bars hold.
struct PanelControls {
    FittingMode fitting = FittingMode::ImageWidth;
    int zoom = 0;       // 0..100
    int horizontal = 0; // 0..100
    int vertical = 0;   // 0..100
    DisplayOptions display;
    // One image pixel per device pixel instead of the zoom's scale, and while set, positions
    // between the scroll bars' steps (0..1) in place of theirs.
    bool actualSize = false;
    std::optional<double> exactHorizontal;
    std::optional<double> exactVertical;
};

// The two image panels: the pictures they show with the image size, each panel's composing
// buffer, the geometry of their last drawing, the drag in progress and the redraw gate. Panel 1
// is the left image area, panel 2 the right one. Each panel is composed from its own state for
// its own paint event (drawBoth composes both side by side just before theirs), so a repaint of
// one can never show the other's picture.
class PanelPair {
public:
    PanelPair(PaintBox& left, PaintBox& right, std::function<PanelControls()> controls);
    ~PanelPair();
    PanelPair(const PanelPair&) = delete;
    PanelPair& operator=(const PanelPair&) = delete;

    // New pictures; the image size is the left one's. Draws nothing by itself.
    void show(PairRasters rasters);
    // What a load that failed half-way had already copied: the pictures change, the image size
    // stays that of the last complete load.
    void keepPictures(PairRasters rasters) {
        rasters_ = std::move(rasters);
        ++pictures_;
    }
    // Exchanges the two sides. The image size stays that of the last load.
    void exchange();
    // What was learnt of the pair on screen since it was shown.
    void updateFacts(PairRasters::Facts facts) { rasters_.facts = std::move(facts); }
    // Draws the right eye's pixel (x, y) where its pixel (x + dx, y + dy) would be, in every mode
    // and whichever panel the right eye is in. Draws nothing by itself.
    void setRightEyeShift(int dx, int dy) {
        shiftX_ = dx;
        shiftY_ = dy;
    }
    // Draws the right eye turned by `degrees` about its picture's centre, clockwise on screen,
    // before the shift moves it. Draws nothing by itself.
    void setRightEyeRoll(double degrees) { roll_ = degrees; }
    // Shows both eyes only within the largest upright rectangle both cover (commonRectangle),
    // which the zoom, the positions and the fitting then take for the whole picture. Draws
    // nothing by itself.
    void setCropToCommon(bool on) { cropCommon_ = on; }
    const PairRasters& rasters() const { return rasters_; }
    int imageWidth() const { return metrics_.imageWidth; }
    int imageHeight() const { return metrics_.imageHeight; }
    bool hasImage() const { return metrics_.hasImage(); }
    // The sizes of the last drawing.
    const PanelMetrics& metrics() const { return metrics_; }
    // What the left panel would be drawn with at these controls.
    ViewInputs drawingInputs(const PanelControls& controls) const;

    // Takes the image areas' size after a layout pass or a Reverse and asks for both to be
    // repainted. Does nothing while there is no image.
    void recomputeMetrics();
    // Panel 2 drawn into `area`, the image area of a window on another screen, instead of the
    // window's own right area, with the fitting worked out for its own size; nullptr gives it its
    // own area back. Takes the areas' sizes again.
    void moveSecondPanel(PaintBox* area);
    // Draws a panel now, before returning: the panels follow a dragged thumb.
    void draw(int panel);
    // Draws both panels now, composing them side by side on two cores.
    void drawBoth();
    // The positions changed: both panels are drawn at once while the gate is open.
    void positionsChanged();
    // The window moved, maybe by a device pixel that Qt's positions cannot show: an interlaced
    // drawing whose lines now fall on the other eye's lines of the screen is drawn again.
    void windowMoved();

    // While the gate is closed, position changes draw nothing; paint requests still draw.
    bool gateOpen() const { return gateOpen_; }
    void setGateOpen(bool open) { gateOpen_ = open; }

    void press(Qt::MouseButton button, QPointF at);
    struct Release {
        enum Kind { Nothing, Move, StepNext } kind = Nothing;
        int horizontal = 0; // the positions a drag leads to, for Move
        int vertical = 0;
    };
    // Ends a pending drag, whatever the button; the caller applies the outcome, then draws.
    Release release(int panel, Qt::MouseButton button, QPointF at);

    // Compositions so far, of one panel or of both: lets tests see what a change drew.
    int drawCount(int panel) const { return drawCounts_[index(panel)]; }
    int drawCount() const { return drawCounts_[0] + drawCounts_[1]; }
    const QImage& buffer(int panel) const { return buffers_[index(panel)]; }

private:
    static int index(int panel) { return panel == 1 ? 0 : 1; }
    PaintBox& box(int panel) const { return panel == 1 ? left_ : *right_; }
    // The size that panel `panel` is fitted into.
    const AreaMetrics& fittedArea(int panel) const;
    void paint(PaintBox& box, QPainter& painter);
    bool compose(int panel);
    // A composition in two steps: the geometry and the buffer (in the window's thread), then the
    // pixels (on any thread, each panel's buffer its own), then the bookkeeping.
    struct Composition {
        int panel;
        DisplayOptions display;
        std::array<EyeView, 2> eyes;
        QPoint screenOrigin;
        Frame frame;
    };
    std::optional<Composition> prepare(int panel);
    ViewInputs drawingInputs(int panel, const PanelControls& controls,
                             const std::optional<Rect>& crop, double devicePixelRatio) const;
    static void composePixels(const Composition& composition);
    void finish(const Composition& composition);
    // The common area in the left eye's picture while the crop is on.
    std::optional<Rect> cropArea() const;
    // Each eye's raster and the part of it that fills the image area; with a crop, `source`
    // lies in the crop and each eye is cut to it.
    std::array<EyeView, 2> eyeViews(const Rect& source, const std::optional<Rect>& crop,
                                    bool shrunkPanels);
    TurnedCopy::Key turnedKey(const Raster& rightEye) const;
    const Raster& turnedRightEye(const Raster& rightEye);

    PaintBox& left_;
    PaintBox& ownRight_;
    PaintBox* right_;       // where panel 2 is drawn: its own area, or one on another screen
    AreaMetrics elsewhere_; // the size of panel 2's area while it is on another screen
    std::function<PanelControls()> controls_;

    PairRasters rasters_;
    int shiftX_ = 0; // of the right eye, in image pixels
    int shiftY_ = 0;
    double roll_ = 0.0; // of the right eye, degrees clockwise
    bool cropCommon_ = false;
    std::array<Raster, 2> cropped_; // the panels' rasters cut to the crop, while it is on
    // The right eye turned by the roll into a picture of its own: the crop cuts it as it cuts an
    // unturned eye, and the two panels draw a shrunk eye from it once it is made. Made again
    // only when the pictures, the eye or its roll change.
    TurnedCopy turned_{kBackgroundGrey};
    std::uint64_t pictures_ = 0; // counts the pictures the panels were given
    // Cleared when the panels go, for what the copy's worker posted to the window before.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    PanelMetrics metrics_;
    std::array<QImage, 2> buffers_;
    std::optional<QPoint> interlacedAt_; // screen origin of the last interlaced drawing
    bool gateOpen_ = false;
    DragTracker drag_;
    std::array<int, 2> drawCounts_{};
    // Panels that drawBoth() composed ahead of their paint events, which then only show them.
    std::array<bool, 2> composedAhead_{};
};

} // namespace duoptic
