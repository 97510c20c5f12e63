// Showing what the navigator loads: a pair in the panels, Next, Open, a path, and Reverse.
#include "ViewFrm/ViewForm.h"

#include "base/Paths.h"
#include "base/Trace.h"

#include <QScrollBar>
#include <QSlider>

namespace duoptic {

namespace {

// Runs its function when the scope ends, on every path.
template <typename Function> struct AtScopeEnd {
    Function function;
    ~AtScopeEnd() { function(); }
};
template <typename Function> AtScopeEnd(Function) -> AtScopeEnd<Function>;

} // namespace

ViewerSides TViewForm::viewerSides() const {
    return duoptic::viewerSides(state_.settings.viewerMode);
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

    const bool laidOut = panels_->hasImage();
    panels_->setGateOpen(false);
    ui_.TrackBar1->setValue(0);
    ui_.ScrollBarV->setValue(50);
    ui_.ScrollBarH->setValue(50);
    showPictures(std::move(rasters));
    if (!laidOut) {
        FormResize(); // the first pictures shown (after an early start) give the layout its size
    }
    panels_->drawBoth();
    panels_->setGateOpen(true);

    state_.displayName = request.baseName;
    updateTitle(state_.displayName);
    trace("pair shown");
}

void TViewForm::next() {
    if (const std::optional<PairRequest> request = navigator_.stepNext(viewerSides())) {
        showPair(*request);
    }
}

void TViewForm::previous() {
    if (const std::optional<PairRequest> request = navigator_.stepPrevious(viewerSides())) {
        showPair(*request);
    }
}

void TViewForm::showEntry(int entry) {
    if (const std::optional<PairRequest> request = navigator_.select(entry, viewerSides())) {
        showPair(*request);
    }
}

void TViewForm::schedulePreload() noexcept {
    navigator_.schedulePreload(viewerSides());
}

void TViewForm::ViewReversExecute() {
    if (!panels_->hasImage()) {
        return;
    }
    panels_->exchange();
    state_.settings.viewerMode = reversedViewerMode(state_.settings.viewerMode);
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
    if (const std::optional<int> entry = runFiler ? runFiler() : std::nullopt) {
        const std::optional<PairRequest> request = navigator_.select(*entry, viewerSides());
        // A row without a base name (a file named "_DUP.jpg") is chosen, but not loaded.
        if (request && !request->baseName.empty()) {
            showPair(*request);
        }
    }
    updateTitle(state_.displayName);
}

void TViewForm::openPath(const std::string& path) {
    showOpenedPath(navigator_.openPath(path, viewerSides()));
}

void TViewForm::showOpenedPath(const PairNavigator::OpenedPath& opened, PreloadAhead ahead) {
    state_.settings.latestPath = opened.folder;
    if (opened.pair) {
        showPair(*opened.pair, ahead); // as if Next had reached it
    } else {
        schedulePreload(); // the folder's first pair, for the first Space
    }
}

void TViewForm::openStartPath(const std::string& path) {
    // After an early start no sample pair came first: the layout has yet to learn a size.
    const bool laidOut = panels_->hasImage();
    std::unique_ptr<EarlyStart> early = std::move(earlyStart_);
    // An early start's pair is on screen with the paint that follows its opening: the decode of
    // the pair after it waits for that paint.
    const PreloadAhead ahead =
        early && early->hasPair() ? PreloadAhead::AfterPaint : PreloadAhead::Now;
    // The sample pair, which an early start did not draw, when its pair is not shown after all.
    const auto showSampleInstead = [this, laidOut] {
        if (!panels_->hasImage()) {
            showPictures(navigator_.samplePair());
        }
        if (!laidOut) {
            FormResize();
        }
    };
    std::optional<PairNavigator::OpenedPath> opened;
    try {
        opened = navigator_.openPath(path, viewerSides(), early.get());
        early.reset(); // a decode it still holds was not taken: it is not to run beside the load
    } catch (...) {
        // The path leads nowhere (or no longer): the viewer starts as it would have without it.
        early.reset();
        showSampleInstead();
        navigator_.scan(state_.settings.latestPath);
        schedulePreload();
        throw;
    }
    try {
        showOpenedPath(*opened, ahead);
    } catch (...) {
        showSampleInstead();
        throw;
    }
}

} // namespace duoptic
