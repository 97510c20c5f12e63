#include "ViewFrm/panels/PanelPair.h"

#include "imaging/TurnedStretch.h"

#include "ViewFrm/logic/ViewGeometry.h"
#include "ViewFrm/panels/PaintBox.h"
#include "ViewFrm/panels/TwoCores.h"
#include "base/Trace.h"
#include "imaging/CommonArea.h"

#include <QPainter>

#include <utility>

namespace duoptic {

namespace {

MouseButton dragButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::Right;
    }
}

// A buffer of the given device size, reused while the size stays.
void fitBuffer(QImage& buffer, int width, int height) {
    if (width <= 0 || height <= 0) {
        buffer = QImage();
    } else if (buffer.width() != width || buffer.height() != height) {
        buffer = QImage(width, height, QImage::Format_RGB32);
    }
}

} // namespace

PanelPair::PanelPair(PaintBox& left, PaintBox& right, std::function<PanelControls()> controls)
    : left_(left), ownRight_(right), right_(&right), controls_(std::move(controls)) {
    for (PaintBox* area : {&left_, right_}) {
        area->onPaint = [this](PaintBox& b, QPainter& p) { paint(b, p); };
    }
}

PanelPair::~PanelPair() {
    *alive_ = false;
}

void PanelPair::show(PairRasters rasters) {
    turned_.clear(); // of the pictures shown until now
    rasters_ = std::move(rasters);
    ++pictures_;
    metrics_.setImage(rasters_.left.width(), rasters_.left.height());
}

void PanelPair::exchange() {
    reversePair(rasters_);
}

void PanelPair::recomputeMetrics() {
    const auto metrics = recomputeAreaMetrics(metrics_.imageWidth, metrics_.imageHeight,
                                              left_.width(), left_.height());
    if (!metrics) {
        return;
    }
    metrics_.area = *metrics;
    elsewhere_ = recomputeAreaMetrics(metrics_.imageWidth, metrics_.imageHeight, right_->width(),
                                      right_->height())
                     .value_or(*metrics);
    left_.update();
    right_->update();
}

void PanelPair::moveSecondPanel(PaintBox* area) {
    right_ = area != nullptr ? area : &ownRight_;
    right_->onPaint = left_.onPaint;
    recomputeMetrics();
}

const AreaMetrics& PanelPair::fittedArea(int panel) const {
    return panel == 2 && right_ != &ownRight_ ? elsewhere_ : metrics_.area;
}

void PanelPair::draw(int panel) {
    // The panel composes itself in its paint event; repaint() runs that event before returning.
    box(panel).repaint();
}

void PanelPair::drawBoth() {
    std::array<std::optional<Composition>, 2> ahead;
    for (const int panel : {1, 2}) {
        const PaintBox& area = box(panel);
        if (area.isVisible()) {
            ahead[index(panel)] = prepare(panel);
        }
    }
    if (ahead[0] && ahead[1]) {
        runOnTwoCores([&] { composePixels(*ahead[0]); }, [&] { composePixels(*ahead[1]); });
    } else if (ahead[0] && fillsOneArea(ahead[0]->display.mode)) {
        // One image area: its two halves on the two cores.
        const Composition& c = *ahead[0];
        const auto half = [&c](int which) {
            composeDisplayHalf(c.display, c.eyes[0], c.eyes[1], c.screenOrigin.x(),
                               c.screenOrigin.y(), c.frame, which);
        };
        runOnTwoCores([&] { half(0); }, [&] { half(1); });
    } else {
        ahead = {}; // each panel is composed in its own paint event
    }
    for (const std::optional<Composition>& composition : ahead) {
        if (composition) {
            finish(*composition);
            composedAhead_[index(composition->panel)] = true;
        }
    }
    draw(1);
    // Panel 1's repaint shows panel 2 as well when an update of it was pending.
    if (!ahead[1] || composedAhead_[1]) {
        draw(2);
    }
    composedAhead_ = {}; // a paint that did not happen leaves nothing for a later one
}

void PanelPair::positionsChanged() {
    if (gateOpen_) {
        drawBoth();
    }
}

void PanelPair::windowMoved() {
    if (!interlacedAt_) {
        return;
    }
    const QPoint now = left_.deviceOriginOnScreen();
    if (((now.x() ^ interlacedAt_->x()) & 1) != 0 || ((now.y() ^ interlacedAt_->y()) & 1) != 0) {
        left_.update();
    }
}

void PanelPair::paint(PaintBox& area, QPainter& painter) {
    const int panel = area.tag();
    if (!std::exchange(composedAhead_[index(panel)], false) && !compose(panel)) {
        return; // no image: the area keeps its face colour
    }
    painter.drawImage(0, 0, buffers_[index(panel)]);
}

std::optional<Rect> PanelPair::cropArea() const {
    if (!cropCommon_) {
        return std::nullopt;
    }
    const bool rightEyeOnLeft = rasters_.leftEyeOnRight;
    const Raster& leftEye = rightEyeOnLeft ? rasters_.right : rasters_.left;
    const Raster& rightEye = rightEyeOnLeft ? rasters_.left : rasters_.right;
    return commonRectangle({leftEye.width(), leftEye.height()},
                           {rightEye.width(), rightEye.height()}, {shiftX_, shiftY_, roll_});
}

std::array<EyeView, 2> PanelPair::eyeViews(const Rect& source, const std::optional<Rect>& crop,
                                           bool shrunkPanels) {
    const bool rightEyeOnLeft = rasters_.leftEyeOnRight;
    if (crop) {
        // Each eye cut to the same rectangle of the scene, so that nothing outside it is drawn
        // however far the source reaches: the right eye's part lies (dx, dy) back in its raster.
        const Rect back{crop->left - shiftX_, crop->top - shiftY_, crop->width, crop->height};
        cropped_ = {rightEyeOnLeft ? turnedRightEye(rasters_.left).part(back)
                                   : rasters_.left.part(*crop),
                    rightEyeOnLeft ? rasters_.right.part(*crop)
                                   : turnedRightEye(rasters_.right).part(back)};
        return {EyeView{&cropped_[0], source}, EyeView{&cropped_[1], source}};
    }
    // The right eye moves by (dx, dy): the part of its raster that fills the area moves the
    // other way, so that each of its pixels lands dx, dy image pixels further at any zoom.
    const EyeView plain{nullptr, source};
    EyeView moved{
        nullptr, {source.left - shiftX_, source.top - shiftY_, source.width, source.height}, roll_};
    const Raster& rightEye = rightEyeOnLeft ? rasters_.left : rasters_.right;
    moved.raster = &rightEye;
    // In a panel of its own and shrunk, the eye is drawn from its turned copy once that is made.
    // The copy holds the panel's colour where the turn leaves it uncovered, as the eye drawn
    // turned shows; the modes of one area tell covered from uncovered, so they draw it turned.
    if (roll_ != 0.0 && shrunkPanels) {
        // Posted from the copy's thread to the window's; the panels may be gone by then, and
        // panel 2 may have moved to another screen.
        const auto repaint = [this, alive = alive_] {
            QMetaObject::invokeMethod(
                &left_,
                [this, alive] {
                    if (*alive) {
                        left_.update();
                        right_->update();
                    }
                },
                Qt::QueuedConnection);
        };
        if (const Raster* copy = turned_.ready(rightEye, turnedKey(rightEye), repaint)) {
            moved = {copy, moved.source};
        }
    }
    EyeView leftEye = plain;
    leftEye.raster = rightEyeOnLeft ? &rasters_.right : &rasters_.left;
    return rightEyeOnLeft ? std::array{moved, leftEye} : std::array{leftEye, moved};
}

TurnedCopy::Key PanelPair::turnedKey(const Raster& rightEye) const {
    return {pictures_, rightEye.empty() ? nullptr : rightEye.row(0), roll_};
}

const Raster& PanelPair::turnedRightEye(const Raster& rightEye) {
    if (roll_ == 0.0) {
        return rightEye;
    }
    return turned_.now(rightEye, turnedKey(rightEye));
}

bool PanelPair::compose(int panel) {
    const std::optional<Composition> composition = prepare(panel);
    if (!composition) {
        return false;
    }
    composePixels(*composition);
    finish(*composition);
    return true;
}

ViewInputs PanelPair::drawingInputs(const PanelControls& controls) const {
    return drawingInputs(1, controls, cropArea(), left_.devicePixelRatioF());
}

ViewInputs PanelPair::drawingInputs(int panel, const PanelControls& controls,
                                    const std::optional<Rect>& crop,
                                    double devicePixelRatio) const {
    ViewInputs inputs =
        metrics_.inputs(controls.fitting, controls.zoom, controls.horizontal, controls.vertical);
    const AreaMetrics& fitted = fittedArea(panel);
    inputs.areaWidth = fitted.width;
    inputs.areaHeight = fitted.height;
    inputs.areaAspect = fitted.aspect;
    if (crop) {
        // The common area stands for the picture: the zoom, the positions and the fitting act
        // on it alone.
        inputs.imageWidth = crop->width;
        inputs.imageHeight = crop->height;
        inputs.imageAspect = crop->height == 0 ? 0.0 : double(crop->width) / double(crop->height);
    }
    if (controls.actualSize) {
        inputs.actualSizeRatio = devicePixelRatio;
    }
    inputs.exactHorizontal = controls.exactHorizontal;
    inputs.exactVertical = controls.exactVertical;
    return inputs;
}

std::optional<PanelPair::Composition> PanelPair::prepare(int panel) {
    const PaintBox& area = box(panel);
    const double devicePixelRatio = area.devicePixelRatioF();
    const PanelControls controls = controls_();
    const std::optional<Rect> crop = cropArea();
    const PanelGeometry geometry =
        computePanelGeometry(drawingInputs(panel, controls, crop, devicePixelRatio));
    if (!geometry.drawable) {
        return std::nullopt;
    }
    metrics_.drawn(index(panel), geometry);

    // On a high-density screen the same source rectangle fills the area's device pixels, so the
    // photograph is shown at the screen's own resolution; at a ratio of 1 this is the area.
    QImage& buffer = buffers_[index(panel)];
    const AreaMetrics& fitted = fittedArea(panel);
    fitBuffer(buffer, deviceExtent(fitted.width, devicePixelRatio),
              deviceExtent(fitted.height, devicePixelRatio));
    if (buffer.isNull()) {
        return std::nullopt;
    }
    buffer.setDevicePixelRatio(devicePixelRatio);
    const Frame frame{reinterpret_cast<std::uint32_t*>(buffer.bits()), buffer.width(),
                      buffer.height(), static_cast<int>(buffer.bytesPerLine())};
    // Shrunk by two or more, a pixel of a turned copy is at most half a device pixel away from
    // the one the eye drawn turned would take.
    const bool shrunkPanels =
        !fillsOneArea(controls.display.mode) && geometry.source.width >= 2 * frame.width;
    std::array<EyeView, 2> eyes = eyeViews(geometry.source, crop, shrunkPanels);
    if (keepsEyeOrder(controls.display.mode) && rasters_.crossedByViewerMode) {
        std::swap(eyes[0], eyes[1]); // back to the eyes' own order: the left eye first
    }
    // Only the interlaced modes look at where the area lies: asking the display server costs a
    // round trip.
    const QPoint screenOrigin =
        isInterlaced(controls.display.mode) ? area.deviceOriginOnScreen() : QPoint();
    return Composition{panel, controls.display, eyes, screenOrigin, frame};
}

void PanelPair::composePixels(const Composition& c) {
    composeDisplay(c.display, c.panel, c.eyes[0], c.eyes[1], c.screenOrigin.x(), c.screenOrigin.y(),
                   c.frame);
}

void PanelPair::finish(const Composition& composition) {
    interlacedAt_ = isInterlaced(composition.display.mode)
                        ? std::optional<QPoint>(composition.screenOrigin)
                        : std::nullopt;
    ++drawCounts_[index(composition.panel)];
    trace(composition.panel == 1 ? "panel 1 composed" : "panel 2 composed");
}

void PanelPair::press(Qt::MouseButton button, QPointF at) {
    drag_.press(dragButton(button), at.x(), at.y());
}

PanelPair::Release PanelPair::release(int panel, Qt::MouseButton button, QPointF at) {
    const DragRelease released = drag_.release(dragButton(button), at.x(), at.y());
    switch (released.kind) {
    case DragRelease::ApplyDrag: {
        const DragResult moved = applyDragDelta(
            released.dx, released.dy, metrics_.horizontalOffsets[index(panel)],
            metrics_.verticalOffset, fittedArea(panel).width, fittedArea(panel).height,
            metrics_.displayedWidth, metrics_.displayedHeight);
        return {Release::Move, moved.horizontal, moved.vertical};
    }
    case DragRelease::StepNext:
        return {Release::StepNext};
    case DragRelease::DropDrag:
    case DragRelease::Nothing:
        break;
    }
    return {};
}

} // namespace duoptic
