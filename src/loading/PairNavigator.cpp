#include "loading/PairNavigator.h"

#include "catalogue/Scan.h"
#include "loading/SamplePair.h"

namespace duoptic {

PairNavigator::PairNavigator(PairCatalogue& pairs) : pairs_(pairs) {}

namespace {

// The entry one step from `cursor` in a list of `count` entries, wrapping at both ends; from
// cursor 0 forward is the first, back the last.
int stepFrom(int cursor, int count, bool back) {
    if (back) {
        return cursor <= 1 ? count : cursor - 1;
    }
    return cursor + 1 > count ? 1 : cursor + 1;
}

} // namespace

void PairNavigator::scan(const std::string& folder) {
    scanFolderForPairs(folder, pairs_.list);
    travellingBack_ = false;
}

std::optional<PairRequest> PairNavigator::stepNext(ViewerSides sides) {
    const int count = pairs_.list.count();
    if (count == 0) {
        return std::nullopt; // a folder without pairs: there is nothing to step to
    }
    return select(stepFrom(pairs_.cursor, count, false), sides);
}

std::optional<PairRequest> PairNavigator::stepPrevious(ViewerSides sides) {
    const int count = pairs_.list.count();
    if (count == 0) {
        return std::nullopt;
    }
    std::optional<PairRequest> request = select(stepFrom(pairs_.cursor, count, true), sides);
    travellingBack_ = true;
    return request;
}

std::optional<PairRequest> PairNavigator::select(int entry, ViewerSides sides) {
    travellingBack_ = false;
    pairs_.cursor = entry;
    if (entry == 0) {
        return std::nullopt;
    }
    return pairRequest(pairs_.list.entry(entry), sides, choices_);
}

PairNavigator::OpenedPath PairNavigator::openPath(const std::string& path, ViewerSides sides,
                                                  EarlyStart* early) {
    std::optional<EarlyStart::Taken> taken;
    if (early) {
        taken = early->take(path, sides);
    }
    PathPairs found = taken ? std::move(taken->found) : findPathPairs(path);
    if (taken) {
        // Its preload is of the very list and entry that become current here.
        preloader_ = std::move(taken->preloader);
    }
    pairs_.list = std::move(found.list);
    travellingBack_ = false;
    if (found.entry == 0) {
        pairs_.cursor = 0;
        return {found.folder, std::nullopt};
    }
    return {found.folder, select(found.entry, sides)};
}

void PairNavigator::load(const PairRequest& request, PairRasters& rasters) {
    const PreloadKey key{pairs_.list.generation(), pairs_.cursor, request};
    // A preload of another pair is dropped here: its memory is not to be held beside this load.
    if (std::optional<PairRasters> preloaded = preloader_->take(key, decoderA_, decoderB_)) {
        ++preloadsTaken_;
        rasters = std::move(*preloaded);
    } else {
        readPairInto(*decoderA_, *decoderB_, request, rasters);
    }
    onScreen_.emplace(key.listGeneration, key.entry);
}

PairRasters PairNavigator::samplePair(EarlyStart* early) {
    if (std::optional<PairRasters> decoded = early ? early->takeSample() : std::nullopt) {
        return std::move(*decoded);
    }
    return decodeSamplePair(*decoderA_, *decoderB_);
}

std::optional<PreloadKey> PairNavigator::aheadKey(ViewerSides sides) const {
    const int count = pairs_.list.count();
    if (count == 0) {
        return std::nullopt;
    }
    const int entry = stepFrom(pairs_.cursor, count, travellingBack_);
    return PreloadKey{pairs_.list.generation(), entry,
                      pairRequest(pairs_.list.entry(entry), sides, choices_)};
}

void PairNavigator::schedulePreload(ViewerSides sides) noexcept {
    try {
        const std::optional<PreloadKey> key = aheadKey(sides);
        const bool shown = key && onScreen_ == std::make_pair(key->listGeneration, key->entry);
        if (key && !shown) {
            preloader_->start(*key);
        } else {
            preloader_->drop();
        }
    } catch (...) {
        preloader_->drop(); // no thread to be had: Next then simply loads as it always can
    }
}

} // namespace duoptic
