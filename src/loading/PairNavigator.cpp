#include "loading/PairNavigator.h"

#include "catalogue/PathTarget.h"
#include "catalogue/Scan.h"
#include "loading/PathPairs.h"
#include "loading/SamplePair.h"

#include <QThread>

#include <algorithm>

namespace duoptic {

PairNavigator::PairNavigator() = default;
PairNavigator::~PairNavigator() = default;

namespace {

// The entry one step from `cursor` in a list of `count` entries, wrapping at both ends; from
// cursor 0 forward is the first, back the last.
int stepFrom(int cursor, int count, bool back) {
    if (back) {
        return cursor <= 1 ? count : cursor - 1;
    }
    return cursor + 1 > count ? 1 : cursor + 1;
}

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

PairNavigator::Opened PairNavigator::open(const Target& target, ViewerSides sides) {
    return std::visit(Overloaded{
                          [&](Step step) -> Opened {
                              if (list_.count() == 0) {
                                  return {}; // a folder without pairs: there is nothing to step to
                              }
                              const bool back = step == Step::Previous;
                              Opened opened = select(stepFrom(cursor_, list_.count(), back), sides);
                              travellingBack_ = back;
                              return opened;
                          },
                          [&](Entry entry) { return select(entry.number, sides); },
                          [&](const Path& path) { return openPath(path.path, sides); },
                          [&](const Folder& folder) -> Opened {
                              scanFolderForPairs(folder.folder, list_);
                              cursor_ = 0;
                              travellingBack_ = false;
                              return {folder.folder, std::nullopt};
                          },
                          [&](const Listing& listing) -> Opened {
                              list_ = listing.list;
                              travellingBack_ = false;
                              if (!listing.entry) {
                                  return {};
                              }
                              return select(*listing.entry, sides);
                          },
                      },
                      target);
}

PairNavigator::Opened PairNavigator::select(int entry, ViewerSides sides) {
    travellingBack_ = false;
    cursor_ = entry;
    if (entry == 0) {
        return {};
    }
    return {std::nullopt, pairRequest(list_.entry(entry), sides, choices_)};
}

int PairNavigator::entryOf(const PairRequest& request) const {
    const auto reads = [&](int entry) {
        const PairRequest made = pairRequest(list_.entry(entry), request.sides, choices_);
        return made.file == request.file && made.rightEyeFile == request.rightEyeFile;
    };
    // The cursor's entry is the one on screen unless the list was replaced since.
    if (cursor_ >= 1 && cursor_ <= list_.count() && reads(cursor_)) {
        return cursor_;
    }
    for (int entry = 1; entry <= list_.count(); ++entry) {
        if (reads(entry)) {
            return entry;
        }
    }
    return 0;
}

PairNavigator::Trashed PairNavigator::trashOnScreen(ViewerSides sides) {
    if (!onScreen_) {
        return {};
    }
    // Found before the files go: an entry made without its files finds them by looking.
    const int entry = entryOf(*onScreen_);
    std::vector<std::string> files{onScreen_->file};
    if (!onScreen_->rightEyeFile.empty()) {
        files.push_back(onScreen_->rightEyeFile);
    }
    Trashed trashed{moveFilesToTrash(files), false, {}};
    trashed.complete = std::ranges::all_of(trashed.files, &TrashedFile::trashed);
    if (!trashed.complete) {
        return trashed;
    }
    onScreen_.reset();
    if (entry != 0) {
        list_.remove(entry);
        trashed.opened = select(std::min(entry, list_.count()), sides);
    }
    return trashed;
}

PairNavigator::Opened PairNavigator::openPath(const std::string& path, ViewerSides sides) {
    PathPairs found = findPathPairs(path);
    list_ = std::move(found.list);
    Opened opened = select(found.entry, sides);
    opened.folder = found.folder;
    return opened;
}

void PairNavigator::startWith(std::optional<std::string> path, ViewerSides sides) noexcept {
    // Qt takes the first thread that uses it for the program's main thread, and the sample's
    // decode reads Qt's resources on a thread of its own: this thread, which goes on to make the
    // application, claims the place first.
    QThread::currentThread();
    startPath_ = std::move(path);
    try {
        // A folder's first pair is not shown at start, and its scan waits for the window.
        if (startPath_ && examinePath(*startPath_).kind == PathTarget::File) {
            Opened opened = openPath(*startPath_, sides);
            preloader_->start({list_.generation(), cursor_, *opened.pair},
                              DecodeThreads::Foreground);
            startPair_ = std::move(opened);
            return;
        }
    } catch (...) {
        startError_ = std::current_exception(); // reported over the window once it is up
    }
    startSample();
}

std::optional<PairNavigator::Opened> PairNavigator::takeStart(ViewerSides sides) {
    if (std::exception_ptr error = std::exchange(startError_, nullptr)) {
        startPath_.reset();
        std::rethrow_exception(error);
    }
    if (startPair_) {
        startPath_.reset();
        return std::exchange(startPair_, std::nullopt);
    }
    if (!startPath_) {
        return std::nullopt;
    }
    const std::string path = std::exchange(startPath_, std::nullopt).value();
    return openPath(path, sides);
}

void PairNavigator::startSample() noexcept {
    try {
        earlySample_ = std::async(std::launch::async, [] {
            JpegDecoder left;
            JpegDecoder right;
            return decodeSamplePair(left, right);
        });
    } catch (...) {
        // No thread to be had: the sample pair is decoded when it is asked for.
    }
}

void PairNavigator::load(const PairRequest& request, PairRasters& rasters) {
    const PreloadKey key{list_.generation(), cursor_, request};
    // A preload of another pair is dropped here: its memory is not to be held beside this load.
    if (std::optional<PairRasters> preloaded = preloader_->take(key, decoderA_, decoderB_)) {
        ++preloadsTaken_;
        rasters = std::move(*preloaded);
    } else {
        readPairInto(*decoderA_, *decoderB_, request, rasters);
    }
    onScreen_ = request;
}

PairRasters PairNavigator::samplePair() {
    onScreen_.reset(); // the pair it shows comes from no file
    if (earlySample_.valid()) {
        try {
            return earlySample_.get();
        } catch (...) {
            // Decoded again below, where what fails is reported.
        }
    }
    return decodeSamplePair(*decoderA_, *decoderB_);
}

std::optional<PreloadKey> PairNavigator::aheadKey(ViewerSides sides) const {
    const int count = list_.count();
    if (count == 0) {
        return std::nullopt;
    }
    const int entry = stepFrom(cursor_, count, travellingBack_);
    return PreloadKey{list_.generation(), entry, pairRequest(list_.entry(entry), sides, choices_)};
}

void PairNavigator::schedulePreload(ViewerSides sides) noexcept {
    try {
        const std::optional<PreloadKey> key = aheadKey(sides);
        if (key && key->request != onScreen_) {
            preloader_->start(*key);
        } else {
            preloader_->drop();
        }
    } catch (...) {
        preloader_->drop(); // no thread to be had: the next step simply loads as it always can
    }
}

} // namespace duoptic
