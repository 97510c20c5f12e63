// The stereo window and the depth overlay: both read the horizontal disparities that the loads
// measure with the alignment.
#include "ViewFrm/SettingsLoadChoices.h"
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/logic/DepthBudget.h"
#include "ViewFrm/panels/PaintBox.h"

#include "base/ErrorReport.h"
#include "loading/PairLoading.h"

#include <QAction>
#include <QScreen>

namespace duoptic {

void TViewForm::createDepthCommands() {
    ui_.autoWindow = switchCommand(QStringLiteral("Automatic Window"), QStringLiteral("AutoWindow"),
                                   state_.settings.autoWindow != 0, &TViewForm::setAutoWindow);
    ui_.depth = switchCommand(QStringLiteral("Depth"), QStringLiteral("Depth"),
                              state_.settings.showDepth != 0, &TViewForm::setShowDepth);
    depthOverlay_ = new TextOverlay(ui_.PaintBox1, TextOverlay::Corner::TopLeft,
                                    [this] { return depthText(); });
    depthOverlay_->setObjectName(QStringLiteral("DepthOverlay"));
    depthOverlay_->setVisible(state_.settings.showDepth != 0);
}

void TViewForm::measureShownPairIfAsked() {
    navigator_.setLoadChoices(loadChoices(state_.settings));
    if (loadChoices(state_.settings).measureAlignment && panels_->hasImage() &&
        !panels_->rasters().facts.disparity) {
        PairRasters measured = panels_->rasters();
        measurePair(measured);
        panels_->updateFacts(measured.facts);
    }
    schedulePreload();
}

void TViewForm::setAutoWindow(bool on) {
    state_.settings.autoWindow = on ? 1 : 0;
    ui_.autoWindow->setChecked(on);
    measureShownPairIfAsked();
    if (panels_->hasImage()) {
        alignShownPair();
        panels_->drawBoth();
    }
}

void TViewForm::setShowDepth(bool on) {
    state_.settings.showDepth = on ? 1 : 0;
    ui_.depth->setChecked(on);
    measureShownPairIfAsked();
    depthOverlay_->setVisible(on);
}

TextOverlay::Text TViewForm::depthText() const {
    if (!panels_->hasImage()) {
        return {};
    }
    const std::optional<DisparityEstimate>& found = panels_->rasters().facts.disparity;
    if (!found) {
        return {{"Depth: not measured"}};
    }
    const DisparityEstimate measured = turnedDisparity(*found, alignment_.current().rollDegrees());
    if (!measured.confident) {
        return {{"Depth: too few parts of the eyes match"}};
    }
    const PanelMetrics& metrics = panels_->metrics();
    const double ratio = ui_.PaintBox1->devicePixelRatioF();
    DepthViewing viewing;
    viewing.imageWidth = measured.width;
    viewing.rightEyeShift = alignment_.current().dx;
    viewing.devicePixelsPerImagePixel =
        metrics.imageWidth > 0 ? metrics.displayedWidth * ratio / metrics.imageWidth : 0.0;
    viewing.eyeDistanceMm = state_.settings.eyeDistanceMm;
    // The screen's width as set (a projector, a television), else as the system reports it.
    if (const QScreen* on = screen()) {
        const double setWidth = state_.settings.screenWidthMm;
        viewing.screenWidthMm = setWidth > 0 ? setWidth : on->physicalSize().width();
        const double devicePixels = on->geometry().width() * on->devicePixelRatio();
        viewing.mmPerDevicePixel = devicePixels > 0 ? viewing.screenWidthMm / devicePixels : 0.0;
    }
    const DepthReadout readout = depthReadout(measured.nearest, measured.farthest, viewing);
    return {depthLines(readout, viewing.eyeDistanceMm), readout.diverges || readout.overBudget};
}

} // namespace duoptic
