// The window's side of drawing: what the panels read from the controls, the change handlers of
// the three position controls, and the press and release of the image areas.
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/panels/PaintBox.h"

#include <QMenu>
#include <QScrollBar>
#include <QSlider>

namespace duoptic {

PanelControls TViewForm::panelControls() const {
    const DisplayOptions display{displayMode(), state_.settings.interlaceSwap != 0,
                                 state_.settings.mirrorLeft != 0};
    return {fittingMode(state_.settings.fittingMode), ui_.TrackBar1->value(),
            ui_.ScrollBarH->value(), ui_.ScrollBarV->value(), display};
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
