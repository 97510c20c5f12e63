// The overlay of the pair's files and of what the camera recorded, which the loads read.
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/logic/CameraDataLines.h"
#include "ViewFrm/panels/PaintBox.h"

#include "base/ErrorReport.h"

#include <QAction>

namespace duoptic {

void TViewForm::createCameraDataCommand() {
    ui_.cameraData =
        switchCommand(QStringLiteral("Camera Data"), QStringLiteral("CameraData"),
                      state_.settings.showCameraData != 0, &TViewForm::setShowCameraData);
    // Bottom left: the depth overlay has the top left, and both may be on.
    cameraDataOverlay_ = new TextOverlay(ui_.PaintBox1, TextOverlay::Corner::BottomLeft,
                                         [this] { return cameraDataText(); });
    cameraDataOverlay_->setObjectName(QStringLiteral("CameraDataOverlay"));
    cameraDataOverlay_->setVisible(state_.settings.showCameraData != 0);
}

void TViewForm::setShowCameraData(bool on) {
    state_.settings.showCameraData = on ? 1 : 0;
    ui_.cameraData->setChecked(on);
    cameraDataOverlay_->setVisible(on);
}

TextOverlay::Text TViewForm::cameraDataText() const {
    if (!panels_->hasImage()) {
        return {};
    }
    const PairRasters& rasters = panels_->rasters();
    // The panels hold the eyes exchanged after a Reverse or for crossed viewing.
    const Raster& left = rasters.leftEyeOnRight ? rasters.right : rasters.left;
    const Raster& right = rasters.leftEyeOnRight ? rasters.left : rasters.right;
    const EyeShift shift = alignment_.current();
    const CameraDataFacts facts{.files = rasters.facts.files,
                                .leftWidth = left.width(),
                                .leftHeight = left.height(),
                                .rightWidth = right.width(),
                                .rightHeight = right.height(),
                                .camera = rasters.facts.camera,
                                .shiftRight = shift.dx,
                                .shiftDown = shift.dy,
                                .rollHundredths = shift.roll};
    return {cameraDataLines(facts)};
}

} // namespace duoptic
