#include "loading/EarlyStart.h"

#include "catalogue/PathTarget.h"
#include "loading/SamplePair.h"

#include <QThread>

namespace duoptic {

EarlyStart::EarlyStart(std::string path, ViewerSides sides, LoadChoices choices) noexcept
    : path_(std::move(path)), sides_(sides) {
    // Qt takes the first thread that uses it for the program's main thread, and the sample's
    // decode reads Qt's resources on a thread of its own: this thread, which goes on to make the
    // application, claims the place first.
    QThread::currentThread();
    try {
        // A folder's first pair is not shown at start, and its scan waits for the window.
        if (examinePath(path_).kind != PathTarget::File) {
            startSample();
            return;
        }
        PathPairs found = findPathPairs(path_);
        auto preloader = std::make_unique<Preloader>();
        preloader->start({found.list.generation(), found.entry,
                          pairRequest(found.list.entry(found.entry), sides_, choices)},
                         DecodeThreads::Foreground);
        found_ = std::move(found);
        preloader_ = std::move(preloader);
    } catch (...) {
        // The window's start opens the path again and reports the failure there.
        startSample();
    }
}

EarlyStart::EarlyStart() noexcept : sides_(ViewerSides::Parallel) {
    QThread::currentThread(); // claims Qt's main thread, as above
    startSample();
}

void EarlyStart::startSample() noexcept {
    try {
        sample_ = std::async(std::launch::async, [] {
            JpegDecoder left;
            JpegDecoder right;
            return decodeSamplePair(left, right);
        });
    } catch (...) {
        // No thread to be had: the window decodes the sample pair itself.
    }
}

std::optional<PairRasters> EarlyStart::takeSample() {
    if (!sample_.valid()) {
        return std::nullopt;
    }
    try {
        return sample_.get();
    } catch (...) {
        return std::nullopt; // decoded again by the window, which reports what fails
    }
}

std::optional<EarlyStart::Taken> EarlyStart::take(const std::string& path, ViewerSides sides) {
    if (!preloader_ || path != path_ || sides != sides_) {
        return std::nullopt;
    }
    return Taken{std::move(found_), std::move(preloader_)};
}

} // namespace duoptic
