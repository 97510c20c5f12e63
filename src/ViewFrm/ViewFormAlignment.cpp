// Moving the right eye against the left one: by the keys, kept per pair, and by the automatic
// alignment that the loads measure.
#include "ViewFrm/SettingsLoadChoices.h"
#include "ViewFrm/ViewForm.h"

#include "base/ErrorReport.h"
#include "loading/PairLoading.h"

#include <QAction>
#include <QMenu>

namespace duoptic {

void TViewForm::createAlignmentCommands() {
    ui_.autoAlign =
        switchCommand(QStringLiteral("Automatic Alignment"), QStringLiteral("AutoAlign"),
                      state_.settings.autoAlign != 0, &TViewForm::setAutoAlign);
    ui_.cropCommon =
        switchCommand(QStringLiteral("Crop to Common Area"), QStringLiteral("CropCommon"),
                      state_.settings.cropCommon != 0, &TViewForm::setCropCommon);
    panels_->setCropToCommon(state_.settings.cropCommon != 0);
    ui_.resetAlignment = new QAction(QStringLiteral("Reset Alignment"), this);
    ui_.resetAlignment->setObjectName(QStringLiteral("ResetAlignment"));
    connect(ui_.resetAlignment, &QAction::triggered, this,
            [this] { guarded([&] { resetRightEye(); }); });
}

void TViewForm::showPictures(PairRasters rasters) {
    panels_->show(std::move(rasters));
    alignShownPair();
}

void TViewForm::alignShownPair() {
    const PairRasters& rasters = panels_->rasters();
    const EyeShift shift = alignment_.pairShown(
        rasters.facts.key,
        pairHints(rasters, state_.settings.autoAlign != 0, state_.settings.autoWindow != 0),
        panels_->imageWidth(), panels_->imageHeight());
    showRightEye(shift);
}

void TViewForm::moveRightEye(int dx, int dy) {
    if (!panels_->hasImage()) {
        return;
    }
    const EyeShift shift = alignment_.nudge(dx, dy);
    showRightEye(shift);
    panels_->drawBoth();
}

void TViewForm::turnRightEye(int steps) {
    if (!panels_->hasImage()) {
        return;
    }
    // A twentieth of a degree moves the sides of a picture 6000 pixels wide by under three
    // pixels: fine enough to match the eyes, coarse enough to get there in a few presses.
    constexpr int kHundredthsPerStep = 5;
    showRightEye(alignment_.turn(steps * kHundredthsPerStep));
    panels_->drawBoth();
}

void TViewForm::showRightEye(const EyeShift& shift) {
    panels_->setRightEyeShift(shift.dx, shift.dy);
    panels_->setRightEyeRoll(shift.rollDegrees());
}

void TViewForm::resetRightEye() {
    if (!panels_->hasImage()) {
        return;
    }
    const EyeShift shift = alignment_.reset();
    showRightEye(shift);
    panels_->drawBoth();
}

void TViewForm::setAutoAlign(bool on) {
    state_.settings.autoAlign = on ? 1 : 0;
    ui_.autoAlign->setChecked(on);
    navigator_.setLoadChoices(loadChoices(state_.settings));
    // The pair on screen is measured now; the next one in the preload, as every one after it.
    if (on && panels_->hasImage() && !panels_->rasters().facts.alignment) {
        PairRasters measured = panels_->rasters();
        measurePair(measured);
        panels_->updateFacts(measured.facts);
    }
    if (panels_->hasImage()) {
        alignShownPair();
        panels_->drawBoth();
    }
    schedulePreload();
}

void TViewForm::setCropCommon(bool on) {
    state_.settings.cropCommon = on ? 1 : 0;
    ui_.cropCommon->setChecked(on);
    panels_->setCropToCommon(on);
    if (panels_->hasImage()) {
        panels_->drawBoth();
    }
}

} // namespace duoptic
