#pragma once

#include "loading/PathPairs.h"
#include "loading/Preloader.h"
#include "modes/ViewerModes.h"

#include <future>
#include <memory>
#include <optional>
#include <string>

namespace duoptic {

// The pair that the command line's path names, found and decoding on both cores from the
// program's first moments, so that Qt's set-up and the making of the window overlap the decode.
// For a path that leads nowhere or to a folder, and for a start without a path, the sample pair
// is decoded instead, which the window then shows; the window's start meets the path as it would
// without, and reports what is wrong over the started window.
class EarlyStart {
public:
    // Never throws: whatever goes wrong is left for the window's start to meet again.
    EarlyStart(std::string path, ViewerSides sides, LoadChoices choices = {}) noexcept;
    // A start without a path: only the sample pair, which the window shows first.
    EarlyStart() noexcept;

    // Whether a pair is decoding: the window then shows it first, without the sample pair.
    bool hasPair() const { return preloader_ != nullptr; }

    // What was found and is decoding, for an opening of exactly `path` with `sides`: the list,
    // and the preloader that holds the decode of its pair (a foreground preload). Nothing for
    // another path or other sides, or when it has been taken already.
    struct Taken {
        PathPairs found;
        std::unique_ptr<Preloader> preloader;
    };
    std::optional<Taken> take(const std::string& path, ViewerSides sides);

    // The sample pair, when it was decoded here (once).
    std::optional<PairRasters> takeSample();

private:
    void startSample() noexcept;

    std::string path_;
    ViewerSides sides_;
    PathPairs found_;
    std::unique_ptr<Preloader> preloader_;
    std::future<PairRasters> sample_;
};

} // namespace duoptic
