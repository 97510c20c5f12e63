// The window's side of drawing: what the panels read from the controls, the change handlers of
// the three position controls, and the press and release of the image areas.
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/panels/PaintBox.h"

#include <QMenu>
#include <QScrollBar>
#include <QSlider>

namespace duoptic {

PanelControls TViewForm::panelControls() const {
    PanelControls controls;
    controls.fitting = fittingMode(state_.settings.fittingMode);
    controls.zoom = ui_.TrackBar1->value();
    controls.horizontal = ui_.ScrollBarH->value();
    controls.vertical = ui_.ScrollBarV->value();
    controls.display = {displayMode(), state_.settings.interlaceSwap != 0,
                        state_.settings.mirrorLeft != 0};
    if (actualSize_) {
        controls.actualSize = true;
        controls.exactHorizontal = actualSize_->exactHorizontal;
        controls.exactVertical = actualSize_->exactVertical;
    }
    return controls;
}

void TViewForm::recomputePanelMetrics() {
    panels_->recomputeMetrics();
}

void TViewForm::drawPanel(int panel) {
    panels_->draw(panel);
}

void TViewForm::imagePressed(Qt::MouseButton button, QPointF at) {
    panels_->press(button, at);
}

void TViewForm::imageReleased(PaintBox& box, Qt::MouseButton button, QPointF at) {
    const PanelPair::Release release = panels_->release(box.tag(), button, at);
    switch (release.kind) {
    case PanelPair::Release::Move:
        if (actualSize_) { // the drag moved the picture from where actual size put it
            actualSize_->exactHorizontal.reset();
            actualSize_->exactVertical.reset();
        }
        // One drawing of both panels below, not one per scroll bar.
        panels_->setGateOpen(false);
        ui_.ScrollBarH->setValue(release.horizontal);
        ui_.ScrollBarV->setValue(release.vertical);
        panels_->setGateOpen(true);
        break;
    case PanelPair::Release::StepNext:
        next();
        break;
    case PanelPair::Release::Nothing:
        break;
    }
    panels_->drawBoth();
    if (button == Qt::RightButton) {
        ui_.PopupMenu->popup(box.mapToGlobal(at.toPoint()));
    }
}

} // namespace duoptic
