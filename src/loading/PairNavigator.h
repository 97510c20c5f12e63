#pragma once

#include "catalogue/PairList.h"
#include "imaging/JpegDecoder.h"
#include "imaging/PairRasters.h"
#include "loading/EarlyStart.h"
#include "loading/PairRequest.h"
#include "loading/Preloader.h"

#include <memory>
#include <optional>
#include <string>

namespace duoptic {

// Walks the Pair list and turns its entries into pictures: it moves the pair cursor, owns the
// two decoders whose pictures are on screen, and keeps the pair that Next would show decoded
// ahead. It knows nothing of windows; the main window shows what it returns.
class PairNavigator {
public:
    explicit PairNavigator(PairCatalogue& pairs);

    // Replaces the Pair list with the pairs of `folder` (a missing folder gives none).
    void scan(const std::string& folder);

    // The entry after the current one becomes current (wrapping after the last, entry 1 from
    // cursor 0), and its request is returned; nothing, and no move, for an empty list.
    std::optional<PairRequest> stepNext(ViewerSides sides);
    // The entry before the current one becomes current (wrapping before the first, the last from
    // cursor 0); from here on the pair before is the one decoded ahead.
    std::optional<PairRequest> stepPrevious(ViewerSides sides);
    // Entry `entry` becomes current, and its request is returned; 0 makes no entry current.
    // The pair after it is the one decoded ahead.
    std::optional<PairRequest> select(int entry, ViewerSides sides);

    // Where a path handed to the program (command line, drop) led: the folder that was scanned,
    // and for a file of a pair its request, that pair's entry being current.
    struct OpenedPath {
        std::string folder;
        std::optional<PairRequest> pair;
    };
    // Throws Error, before anything changes, for a path that leads nowhere or to a file that
    // belongs to no pair of its folder. What `early` found for this very path and sides is taken
    // over, with the decode of its pair, instead of looking again.
    OpenedPath openPath(const std::string& path, ViewerSides sides, EarlyStart* early = nullptr);

    // Reads the pair of the current entry into `rasters`, which hold the pictures on screen:
    // they are filled in place, so a decode that fails after the first copy leaves that copy.
    // Takes the preloaded pictures where they are still exactly what this load would read.
    void load(const PairRequest& request, PairRasters& rasters);

    // The sample pair, decoded by the decoders on screen unless `early` has it decoded already.
    PairRasters samplePair(EarlyStart* early = nullptr);

    // Starts decoding the pair that the last step's direction leads to, unless it is the one on
    // screen. Never throws: without a preload, Next simply loads as it always can.
    void schedulePreload(ViewerSides sides) noexcept;

    // What the settings ask of the loads from here on.
    void setLoadChoices(LoadChoices choices) { choices_ = choices; }

    bool preloading() const { return preloader_->running(); }
    int preloadsTaken() const { return preloadsTaken_; } // loads that found their pair ready

private:
    std::optional<PreloadKey> aheadKey(ViewerSides sides) const;

    PairCatalogue& pairs_;
    std::unique_ptr<JpegDecoder> decoderA_ = std::make_unique<JpegDecoder>();
    std::unique_ptr<JpegDecoder> decoderB_ = std::make_unique<JpegDecoder>();
    std::unique_ptr<Preloader> preloader_ = std::make_unique<Preloader>();
    // The list state and entry of the pair on screen, which is never decoded a second time.
    std::optional<std::pair<std::uint64_t, int>> onScreen_;
    int preloadsTaken_ = 0;
    LoadChoices choices_;
    // Whoever went back once is likely to go on going back.
    bool travellingBack_ = false;
};

} // namespace duoptic
