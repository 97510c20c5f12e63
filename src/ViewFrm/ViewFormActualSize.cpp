// Actual size: one image pixel per device pixel, and back to the zoom it began from.
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/logic/Rounding.h"
#include "ViewFrm/logic/ScaleChange.h"

#include "base/ErrorReport.h"

#include <QAction>
#include <QScrollBar>
#include <QSlider>

namespace duoptic {

void TViewForm::createActualSizeCommand() {
    ui_.actualSize = new QAction(QStringLiteral("Actual Size"), this);
    ui_.actualSize->setObjectName(QStringLiteral("ViewActualSize"));
    ui_.actualSize->setCheckable(true);
    connect(ui_.actualSize, &QAction::triggered, this,
            [this] { guarded([&] { ViewActualSizeExecute(); }); });
}

void TViewForm::ViewActualSizeExecute() {
    if (actualSize_) {
        leaveActualSize();
    } else {
        enterActualSize();
    }
    ui_.actualSize->setChecked(actualSize_.has_value());
}

void TViewForm::enterActualSize() {
    if (!panels_->hasImage()) {
        return;
    }
    PanelControls controls = panelControls();
    const ViewInputs fitted = panels_->drawingInputs(controls);
    controls.actualSize = true;
    const ViewInputs actual = panels_->drawingInputs(controls);
    const ExactPositions at = keepCentre(fitted, actual);
    const ActualSizeView view{controls.zoom, controls.horizontal, controls.vertical, at.horizontal,
                              at.vertical};
    // The track bar shows the nearest zoom it has; the drawing keeps the exact scale.
    setViewControls(nearestZoom(actual), roundToInt(100 * at.horizontal),
                    roundToInt(100 * at.vertical));
    actualSize_ = view;
    panels_->drawBoth();
}

void TViewForm::leaveActualSize() {
    const ActualSizeView was = *actualSize_;
    PanelControls controls = panelControls();
    const ViewInputs actual = panels_->drawingInputs(controls);
    controls.zoom = was.zoom;
    controls.actualSize = false;
    controls.exactHorizontal.reset();
    controls.exactVertical.reset();
    const ExactPositions at = keepCentre(actual, panels_->drawingInputs(controls));
    actualSize_.reset();
    // An axis that was not moved meanwhile goes back exactly where it was; a moved one keeps the
    // point at the centre.
    setViewControls(was.zoom,
                    was.exactHorizontal ? was.horizontal : roundToInt(100 * at.horizontal),
                    was.exactVertical ? was.vertical : roundToInt(100 * at.vertical));
    panels_->drawBoth();
}

void TViewForm::setViewControls(int zoom, int horizontal, int vertical) {
    panels_->setGateOpen(false);
    ui_.TrackBar1->setValue(zoom);
    ui_.ScrollBarH->setValue(horizontal);
    ui_.ScrollBarV->setValue(vertical);
    panels_->setGateOpen(true);
}

void TViewForm::zoomMoved() {
    dropActualSize();
    panels_->positionsChanged();
}

void TViewForm::positionMoved(Qt::Orientation orientation) {
    if (actualSize_) {
        (orientation == Qt::Horizontal ? actualSize_->exactHorizontal : actualSize_->exactVertical)
            .reset();
    }
    panels_->positionsChanged();
}

void TViewForm::dropActualSize() {
    actualSize_.reset();
    if (ui_.actualSize != nullptr) { // not yet while the controls are being made
        ui_.actualSize->setChecked(false);
    }
}

} // namespace duoptic
