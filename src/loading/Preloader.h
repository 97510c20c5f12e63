#pragma once

#include "imaging/JpegDecoder.h"
#include "imaging/PairRasters.h"
#include "loading/PairLoading.h"
#include "loading/PairRequest.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace duoptic {

// What a preload was made for. A load takes preloaded pictures only for exactly this: the same
// state of the pair list, the same entry and the same request.
struct PreloadKey {
    std::uint64_t listGeneration = 0;
    int entry = 0; // number in the pair list
    PairRequest request;

    friend bool operator==(const PreloadKey&, const PreloadKey&) = default;
};

// Decodes the pair that Next would show, on background threads of low priority, into decoders
// of its own, so that Next finds it ready. One preload at a time; a preload that fails is
// dropped without a word: the load that reaches that pair meets the error itself.
class Preloader {
public:
    Preloader();
    ~Preloader(); // stops a running preload and waits for it
    Preloader(const Preloader&) = delete;
    Preloader& operator=(const Preloader&) = delete;

    // Starts preloading for `key`, dropping any other preload first. The same key again keeps
    // the preload that runs or is done. A foreground preload runs at full priority on both
    // cores, for a pair that is about to be shown: its take always waits for it.
    void start(const PreloadKey& key, DecodeThreads threads = DecodeThreads::Background);
    // Stops and forgets the preload, and gives its memory back.
    void drop();

    // The pictures preloaded for `key`, when a load of it now would read the same bytes: each
    // file still opens as the load opens it, and the open file is the one that was read (device,
    // inode, size, modification and change time). On success the decoders that hold the pictures
    // are exchanged with `a` and `b`, so the caller's decoders hold what it shows and the next
    // preload reuses the buffers it no longer shows. A preload of `key` that still runs is waited
    // for only when it is nearly done; otherwise it is dropped and the caller loads at full speed.
    // A foreground preload that failed throws its error here: its files are not read again.
    std::optional<PairRasters> take(const PreloadKey& key, std::unique_ptr<JpegDecoder>& a,
                                    std::unique_ptr<JpegDecoder>& b);

    // Whether a preload is still decoding.
    bool running() const { return worker_.joinable() && !done_; }

private:
    void run(); // on the worker thread
    void finish();
    bool nearlyDone() const;
    void makeDecoders(); // readies the decoders it holds for background work

    std::unique_ptr<JpegDecoder> decoderA_ = std::make_unique<JpegDecoder>();
    std::unique_ptr<JpegDecoder> decoderB_ = std::make_unique<JpegDecoder>();
    std::atomic<bool> cancel_{false};
    std::atomic<bool> done_{false};
    std::thread worker_;
    std::optional<PreloadKey> key_;
    DecodeThreads threads_ = DecodeThreads::Background;
    // Written by the worker, read once it has been joined.
    std::optional<PairRasters> rasters_;
    std::exception_ptr error_; // of a preload that failed
    std::vector<FileRead> filesRead_;
};

} // namespace duoptic
