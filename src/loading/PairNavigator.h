#pragma once

#include "catalogue/PairList.h"
#include "imaging/JpegDecoder.h"
#include "imaging/PairRasters.h"
#include "loading/PairRequest.h"
#include "loading/Preloader.h"
#include "loading/TrashFiles.h"

#include <exception>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace duoptic {

// The Pair list, its cursor, and the one door through which every open passes: a step, an entry
// of the list, a path from the command line or a drop, a folder, the Filer's listing, and the
// start of the program. It turns the entry that an open makes current into pictures, owns the
// two decoders whose pictures are on screen, and keeps the pair that the next step would show
// decoded ahead. It knows nothing of windows: the main window shows what it opens.
class PairNavigator {
public:
    PairNavigator();
    ~PairNavigator();
    PairNavigator(const PairNavigator&) = delete;
    PairNavigator& operator=(const PairNavigator&) = delete;

    // What can be opened.
    enum class Step { Next, Previous };
    struct Entry {
        int number = 0; // 1..count; 0 makes no entry current
    };
    struct Path { // a folder, or a file of a pair, handed to the program
        std::string path;
    };
    struct Folder { // a folder's pairs, none of them current
        std::string folder;
    };
    struct Listing { // a list made elsewhere (the Filer's), and its chosen entry
        PairList list;
        std::optional<int> entry; // nothing: the cursor stays where it is
    };
    using Target = std::variant<Step, Entry, Path, Folder, Listing>;

    // Where an open led: the folder it listed, if it listed one, and the pair now current, if it
    // leads to one. A step through an empty list, and entry 0, lead nowhere.
    struct Opened {
        std::optional<std::string> folder;
        std::optional<PairRequest> pair;
    };
    // The one door. Throws Error, before anything changes, for a path that leads nowhere or to
    // a file that belongs to no pair of its folder.
    Opened open(const Target& target, ViewerSides sides);

    // The program's start, before Qt is set up: a path that names a file of a pair is opened at
    // once and its pair decoded in the foreground on both cores, so that Qt's set-up and the
    // making of the window overlap the decode; otherwise the sample pair is decoded meanwhile.
    // Never throws: what goes wrong is handed over by takeStart. The thread that calls it is the
    // one that goes on to make the application.
    void startWith(std::optional<std::string> path, ViewerSides sides) noexcept;
    // Whether a start path's pair is decoding: the window then shows it first, without the
    // sample pair.
    bool startsWithPair() const { return startPair_.has_value(); }
    bool hasStartPath() const { return startPath_.has_value(); }
    // What the start path opened, once (a folder's is opened now); rethrows what its open threw.
    // Nothing for a start without a path, or once taken.
    std::optional<Opened> takeStart(ViewerSides sides);

    // Reads the pair of the current entry into `rasters`, which hold the pictures on screen:
    // they are filled in place, so a decode that fails after the first copy leaves that copy.
    // Takes the preloaded pictures where they are still exactly what this load would read.
    void load(const PairRequest& request, PairRasters& rasters);

    // The sample pair: what the window shows when no pair is, and whenever a pair it was to show
    // is not shown after all.
    PairRasters samplePair();

    // Starts decoding the pair that the last step's direction leads to, unless it is the one on
    // screen. Never throws: without a preload, the next step simply loads as it always can.
    void schedulePreload(ViewerSides sides) noexcept;

    // Moves every file of the pair on screen to the trash. Once all of them went, the pair is no
    // longer on screen, its entry leaves the list, and `opened` leads to the entry after it (the
    // one before, when it was the last), or nowhere when none is left or the pair was in no
    // entry. While a file stays, the list stays as it was. Does nothing while no pair is shown.
    struct Trashed {
        std::vector<TrashedFile> files;
        bool complete = false; // every file went
        Opened opened;
    };
    Trashed trashOnScreen(ViewerSides sides);

    // What the settings ask of the loads from here on.
    void setLoadChoices(LoadChoices choices) { choices_ = choices; }

    const PairList& list() const { return list_; }
    int count() const { return list_.count(); }
    int cursor() const { return cursor_; } // 1..count, or 0 when no entry is current
    // The request of the pair on screen; nothing while the sample pair is.
    const std::optional<PairRequest>& onScreen() const { return onScreen_; }

    bool preloading() const { return preloader_->running(); }
    int preloadsTaken() const { return preloadsTaken_; } // loads that found their pair ready

private:
    Opened select(int entry, ViewerSides sides);
    // The entry whose files the request reads, or 0.
    int entryOf(const PairRequest& request) const;
    Opened openPath(const std::string& path, ViewerSides sides);
    std::optional<PreloadKey> aheadKey(ViewerSides sides) const;
    void startSample() noexcept;

    PairList list_;
    int cursor_ = 0;
    std::unique_ptr<JpegDecoder> decoderA_ = std::make_unique<JpegDecoder>();
    std::unique_ptr<JpegDecoder> decoderB_ = std::make_unique<JpegDecoder>();
    std::unique_ptr<Preloader> preloader_ = std::make_unique<Preloader>();
    // The pair on screen, which is never decoded a second time, whatever list it came from.
    std::optional<PairRequest> onScreen_;
    int preloadsTaken_ = 0;
    LoadChoices choices_;
    // Whoever went back once is likely to go on going back.
    bool travellingBack_ = false;

    // The start: its path, and what opening it gave or threw.
    std::optional<std::string> startPath_;
    std::optional<Opened> startPair_;
    std::exception_ptr startError_;
    std::future<PairRasters> earlySample_;
};

} // namespace duoptic
