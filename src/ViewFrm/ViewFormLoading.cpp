// Showing what the navigator loads: a pair in the panels, Next, Open, a path, and Reverse.
#include "ViewFrm/ViewForm.h"

#include "base/AtScopeEnd.h"
#include "base/Paths.h"
#include "base/Trace.h"

#include <QScrollBar>
#include <QSlider>

namespace duoptic {

ViewerSides TViewForm::viewerSides() const {
    return state_.settings.viewerMode.sides();
}

void TViewForm::showPair(const PairRequest& request, PreloadAhead ahead) {
    // Whether this load succeeds or fails, the pair after it is the next to have ready.
    const AtScopeEnd preloadAfter{[this, ahead] {
        if (ahead == PreloadAhead::AfterPaint) {
            whenPainted([this] { schedulePreload(); });
        } else {
            schedulePreload();
        }
    }};
    setCaption(QStringLiteral("Loading files ..."));
    PairRasters rasters = panels_->rasters();
    try {
        navigator_.load(request, rasters);
        trace("pair loaded");
    } catch (...) {
        panels_->keepPictures(std::move(rasters));
        throw;
    }

    showFromStart(std::move(rasters));
    state_.displayName = request.baseName;
    updateTitle(state_.displayName);
    trace("pair shown");
}

void TViewForm::showFromStart(PairRasters rasters) {
    const bool laidOut = panels_->hasImage();
    panels_->setGateOpen(false);
    dropActualSize();
    ui_.TrackBar1->setValue(0);
    ui_.ScrollBarV->setValue(50);
    ui_.ScrollBarH->setValue(50);
    showPictures(std::move(rasters));
    if (!laidOut) {
        FormResize(); // the first pictures shown (after an early start) give the layout its size
    }
    panels_->drawBoth();
    panels_->setGateOpen(true);
}

void TViewForm::showSamplePair() {
    showFromStart(navigator_.samplePair());
    state_.displayName = kNoPairName;
    updateTitle(state_.displayName);
}

void TViewForm::next() {
    showOpened(navigator_.open(PairNavigator::Step::Next, viewerSides()));
}

void TViewForm::previous() {
    showOpened(navigator_.open(PairNavigator::Step::Previous, viewerSides()));
}

void TViewForm::showEntry(int entry) {
    showOpened(navigator_.open(PairNavigator::Entry{entry}, viewerSides()));
}

void TViewForm::schedulePreload() noexcept {
    navigator_.schedulePreload(viewerSides());
}

void TViewForm::ViewReversExecute() {
    if (!panels_->hasImage()) {
        return;
    }
    panels_->exchange();
    state_.settings.viewerMode = state_.settings.viewerMode.reversed();
    schedulePreload(); // the mode decides the sides of the next two-file or MPO pair
    updateTitle(state_.displayName);
    recomputePanelMetrics();
}

void TViewForm::ShowNextExecute() {
    next();
}

void TViewForm::FileOpenExecute() {
    std::string& lastFolder = state_.settings.latestPath;
    if (!isFolder(lastFolder)) {
        lastFolder = state_.programFolder;
    }
    // The Filer may replace the list and move the cursor: the pair to have ready changes.
    const AtScopeEnd preloadAfter{[this] { schedulePreload(); }};
    if (std::optional<PairNavigator::Listing> listing = runFiler ? runFiler() : std::nullopt) {
        const PairNavigator::Opened opened = navigator_.open(std::move(*listing), viewerSides());
        // A row without a base name (a file named "_DUP.jpg") is chosen, but not loaded.
        if (opened.pair && !opened.pair->baseName.empty()) {
            showOpened(opened);
        }
    }
    updateTitle(state_.displayName);
}

void TViewForm::openPath(const std::string& path) {
    showOpened(navigator_.open(PairNavigator::Path{path}, viewerSides()));
}

void TViewForm::showOpened(const PairNavigator::Opened& opened, PreloadAhead ahead) {
    if (opened.folder) {
        state_.settings.latestPath = *opened.folder;
    }
    if (opened.pair) {
        showPair(*opened.pair, ahead);
    } else if (opened.folder) {
        schedulePreload(); // the folder's first pair, for the first Space
    }
}

void TViewForm::openStartPath() {
    // After a start path's pair no sample pair came first: the layout has yet to learn a size.
    const bool laidOut = panels_->hasImage();
    // Its pair is on screen with the paint that follows its opening: the decode of the pair
    // after it waits for that paint.
    const PreloadAhead ahead =
        navigator_.startsWithPair() ? PreloadAhead::AfterPaint : PreloadAhead::Now;
    // The sample pair, which was not drawn, when the start path's pair is not shown after all.
    const auto showSampleInstead = [this, laidOut] {
        if (!panels_->hasImage()) {
            showPictures(navigator_.samplePair());
        }
        if (!laidOut) {
            FormResize();
        }
    };
    std::optional<PairNavigator::Opened> opened;
    try {
        opened = navigator_.takeStart(viewerSides());
    } catch (...) {
        // The path leads nowhere (or no longer): the viewer starts as it would have without it.
        showSampleInstead();
        navigator_.open(PairNavigator::Folder{state_.settings.latestPath}, viewerSides());
        schedulePreload();
        throw;
    }
    try {
        if (opened) {
            showOpened(*opened, ahead);
        }
    } catch (...) {
        showSampleInstead();
        throw;
    }
}

} // namespace duoptic
