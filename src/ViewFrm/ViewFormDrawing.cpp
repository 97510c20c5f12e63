// Composing the panels in the back buffer, the paint and change handlers, and the drag.
#include "ViewFrm/PaintBox.h"
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/logic/ViewGeometry.h"

#include "imaging/Stretch.h"

#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>

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

} // namespace

PaintBox* TViewForm::paintBox(int panel) const {
    return panel == 1 ? PaintBox1 : PaintBox2;
}

void TViewForm::recomputePanelMetrics() {
    const auto metrics =
        recomputeAreaMetrics(imageWidth_, imageHeight_, PaintBox1->width(), PaintBox1->height());
    if (!metrics) {
        return;
    }
    areaWidth_ = metrics->width;
    areaHeight_ = metrics->height;
    areaAspect_ = metrics->aspect;
    // The one back buffer follows the area; drawings never resize it.
    if (areaWidth_ > 0 && areaHeight_ > 0) {
        if (backBuffer_.width() != areaWidth_ || backBuffer_.height() != areaHeight_) {
            backBuffer_ = QImage(areaWidth_, areaHeight_, QImage::Format_RGB32);
        }
    } else {
        backBuffer_ = QImage();
    }
    PaintBox1->update();
    PaintBox2->update();
}

bool TViewForm::composePanel(int panel) {
    const ViewInputs inputs{state_.settings.fittingMode,
                            TrackBar1->value(),
                            ScrollBarH->value(),
                            ScrollBarV->value(),
                            imageWidth_,
                            imageHeight_,
                            imageAspect_,
                            areaWidth_,
                            areaHeight_,
                            areaAspect_};
    const PanelGeometry geometry = computePanelGeometry(inputs);
    if (!geometry.drawable || backBuffer_.isNull()) {
        return false;
    }
    displayedWidth_ = geometry.displayedWidth;
    displayedHeight_ = geometry.displayedHeight;
    (panel == 1 ? leftHorizontalOffset_ : rightHorizontalOffset_) = geometry.horizontalOffset;
    verticalOffset_ = geometry.verticalOffset;

    auto* pixels = reinterpret_cast<std::uint32_t*>(backBuffer_.bits());
    const int stride = static_cast<int>(backBuffer_.bytesPerLine());
    composeRaster(panel == 1 ? rasters_.left : rasters_.right, geometry.source, kBackgroundGrey,
                  pixels, areaWidth_, areaHeight_, stride);
    ++drawCount_;
    return true;
}

void TViewForm::drawPanel(int panel) {
    if (!composePanel(panel)) {
        return;
    }
    // Synchronous: the composed buffer reaches the screen before this returns, so the panels
    // follow a dragged thumb.
    blitPending_ = panel;
    paintBox(panel)->repaint();
    blitPending_ = 0;
}

void TViewForm::paintPanel(PaintBox& box, QPainter& painter) {
    if (blitPending_ != box.tag() && !composePanel(box.tag())) {
        return; // no image: the area keeps its face colour
    }
    painter.drawImage(0, 0, backBuffer_);
}

void TViewForm::positionChanged() {
    if (redrawGate_) {
        drawPanel(1);
        drawPanel(2);
    }
}

void TViewForm::PaintBox1MouseDown(PaintBox&, Qt::MouseButton button, QPointF at) {
    drag_.press(dragButton(button), at.x(), at.y());
}

void TViewForm::PaintBox1MouseUp(PaintBox& box, Qt::MouseButton button, QPointF at) {
    const DragRelease release = drag_.release(dragButton(button), at.x(), at.y());
    switch (release.kind) {
    case DragRelease::ApplyDrag: {
        const int offset = box.tag() == 1 ? leftHorizontalOffset_ : rightHorizontalOffset_;
        const DragResult result =
            applyDragDelta(release.dx, release.dy, offset, verticalOffset_, areaWidth_, areaHeight_,
                           displayedWidth_, displayedHeight_);
        redrawGate_ = false;
        ScrollBarH->setValue(result.horizontal);
        ScrollBarV->setValue(result.vertical);
        redrawGate_ = true;
        break;
    }
    case DragRelease::StepNext:
        next();
        break;
    case DragRelease::DropDrag:
    case DragRelease::Nothing:
        break;
    }
    drawPanel(1);
    drawPanel(2);
    if (button == Qt::RightButton) {
        PopupMenu->popup(box.mapToGlobal(at.toPoint()));
    }
}

} // namespace duoptic
