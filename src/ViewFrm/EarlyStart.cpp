#include "ViewFrm/EarlyStart.h"

namespace duoptic {

EarlyStart::EarlyStart(std::string path, ViewerSides sides) noexcept
    : path_(std::move(path)), sides_(sides) {
    try {
        PathPairs found = findPathPairs(path_);
        if (found.entry == 0) {
            return; // a folder: its first pair is not shown at start
        }
        auto preloader = std::make_unique<Preloader>();
        preloader->start({found.list.generation(), found.entry,
                          pairRequest(found.list.entry(found.entry), sides_)},
                         DecodeThreads::Foreground);
        found_ = std::move(found);
        preloader_ = std::move(preloader);
    } catch (...) {
        // The window's start opens the path again and reports the failure there.
    }
}

std::optional<EarlyStart::Taken> EarlyStart::take(const std::string& path, ViewerSides sides) {
    if (!preloader_ || path != path_ || sides != sides_) {
        return std::nullopt;
    }
    return Taken{std::move(found_), std::move(preloader_)};
}

} // namespace duoptic
