// Moving the right eye against the left one: by the keys, kept per pair, and by the automatic
// alignment that the loads measure.
#include "ViewFrm/SettingsLoadChoices.h"
#include "ViewFrm/ViewForm.h"

#include "base/ErrorReport.h"
#include "imaging/StereoWindow.h"
#include "loading/PairLoading.h"

#include <QAction>
#include <QMenu>

#include <cmath>

namespace duoptic {

namespace {

// The measurements that are on and sure of themselves.
PairHints hintsOf(const PairRasters& rasters, const SettingsRecord& settings) {
    PairHints hints;
    const std::optional<AlignmentEstimate>& measured = rasters.facts.alignment;
    if (settings.autoAlign != 0 && measured && measured->confident) {
        hints.measuredDy = static_cast<int>(std::lround(measured->dy));
    }
    if (settings.autoWindow != 0 && rasters.facts.disparity) {
        hints.windowDx = automaticWindowShift(*rasters.facts.disparity);
    }
    return hints;
}

} // namespace

void TViewForm::createAlignmentCommands() {
    ui_.autoAlign = new QAction(QStringLiteral("Automatic Alignment"), this);
    ui_.autoAlign->setObjectName(QStringLiteral("AutoAlign"));
    ui_.autoAlign->setCheckable(true);
    ui_.autoAlign->setChecked(state_.settings.autoAlign != 0);
    connect(ui_.autoAlign, &QAction::triggered, this,
            [this](bool checked) { guarded([&] { setAutoAlign(checked); }); });
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
    const EyeShift shift =
        alignment_.pairShown(rasters.facts.key, hintsOf(rasters, state_.settings),
                             panels_->imageWidth(), panels_->imageHeight());
    panels_->setRightEyeShift(shift.dx, shift.dy);
}

void TViewForm::moveRightEye(int dx, int dy) {
    if (!panels_->hasImage()) {
        return;
    }
    const EyeShift shift = alignment_.nudge(dx, dy);
    panels_->setRightEyeShift(shift.dx, shift.dy);
    panels_->drawBoth();
}

void TViewForm::resetRightEye() {
    if (!panels_->hasImage()) {
        return;
    }
    const EyeShift shift = alignment_.reset();
    panels_->setRightEyeShift(shift.dx, shift.dy);
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

} // namespace duoptic
