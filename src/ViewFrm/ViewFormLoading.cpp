// Loading a pair into the panels, stepping to the next pair, and exchanging the two sides.
#include "ViewFrm/ViewForm.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "catalogue/PathTarget.h"
#include "catalogue/Scan.h"
#include "settings/Modes.h"

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

void TViewForm::loadPair(const std::string& basePath) {
    loadFiles(pairFilesOf(basePath, state_.pairs.currentKind));
}

void TViewForm::loadFiles(const PairFiles& files, const std::optional<PreloadKey>& key) {
    setCaption(QStringLiteral("Loading files ..."));
    // Filled in place: a decode that fails after the first copy leaves that copy on screen.
    PairRasters rasters = panels_->rasters();
    std::optional<PairRasters> preloaded;
    if (key) {
        preloaded = preloader_.take(*key, decoderA_, decoderB_);
    } else {
        preloader_.drop(); // its decoders' memory is not to be held beside a fresh load
    }
    if (preloaded) {
        ++preloadsTaken_;
        rasters = std::move(*preloaded);
    } else {
        try {
            readPairInto(*decoderA_, *decoderB_, state_.pairs.currentKind,
                         state_.settings.viewerMode, files, rasters);
        } catch (...) {
            panels_->keepPictures(std::move(rasters));
            throw;
        }
    }

    panels_->setGateOpen(false);
    TrackBar1->setValue(0);
    ScrollBarV->setValue(50);
    ScrollBarH->setValue(50);
    panels_->show(std::move(rasters));
    panels_->drawBoth();
    panels_->setGateOpen(true);
}

void TViewForm::next() {
    PairCatalogue& pairs = state_.pairs;
    if (pairs.list.count() == 0) {
        return; // a folder without pairs: there is nothing to step to
    }
    const std::optional<PreloadKey> key = nextPairKey();
    pairs.cursor = key->entry;
    const PairEntry entry = pairs.list.entry(pairs.cursor);
    pairs.currentKind = entry.kind;
    // Whether this load succeeds or fails, the pair after it is the next to have ready.
    const AtScopeEnd preloadAfter{[this] { schedulePreload(); }};
    // The files the entry was classified from, so that names differing only in case never mix.
    loadFiles({key->leftFile, key->rightFile}, key);
    state_.displayName = entry.baseName;
    updateTitle(state_.displayName);
}

std::optional<PreloadKey> TViewForm::nextPairKey() const {
    const PairCatalogue& pairs = state_.pairs;
    if (pairs.list.count() == 0) {
        return std::nullopt;
    }
    const int number = pairs.cursor + 1 > pairs.list.count() ? 1 : pairs.cursor + 1;
    const PairEntry& entry = pairs.list.entry(number);
    return preloadKey(pairs.list.generation(), number, entry.kind, pairFilesOf(entry),
                      state_.settings.viewerMode);
}

void TViewForm::schedulePreload() noexcept {
    try {
        if (const std::optional<PreloadKey> key = nextPairKey()) {
            preloader_.start(*key);
        } else {
            preloader_.drop();
        }
    } catch (...) {
        preloader_.drop(); // no thread to be had: Next then simply loads as it always can
    }
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
    std::string name;
    const bool ok = runFiler && runFiler(name);
    if (ok && !name.empty()) {
        // A bare base name: the Filer left the current directory at the folder it showed.
        loadPair(name);
        state_.displayName = name;
    }
    updateTitle(state_.displayName);
}

void TViewForm::openPath(const std::string& path) {
    const PathTarget target = examinePath(path);
    if (target.kind == PathTarget::Missing) {
        throw Error(messages::cannotOpenFile(path));
    }
    PairList found;
    scanFolderForPairs(target.folder, found);
    const int entry = target.kind == PathTarget::File ? entryOfFile(found, target.file) : 0;
    if (target.kind == PathTarget::File && entry == 0) {
        throw Error(messages::notAPairFile(path));
    }
    state_.pairs.list = std::move(found);
    state_.settings.latestPath = target.folder;
    state_.pairs.cursor = entry == 0 ? 0 : entry - 1;
    if (entry != 0) {
        next(); // as if Next had reached it
    } else {
        schedulePreload(); // the folder's first pair, for the first Space
    }
}

} // namespace duoptic
