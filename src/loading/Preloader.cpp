#include "loading/Preloader.h"

#include "base/FileRead.h"
#include "imaging/BackgroundPriority.h"
#include "imaging/DecodeCancelled.h"

#include <algorithm>

namespace duoptic {

namespace {

// Whether a load now would open each file, as it opens them, and find it to be the file that was
// read: a file that can no longer be opened fails as it would without the preload.
bool stillTheFilesRead(const std::vector<FileRead>& files) {
    for (const FileRead& file : files) {
        try {
            if (openedFileIdentity(file.path) != file.identity) {
                return false;
            }
        } catch (...) {
            return false;
        }
    }
    return true;
}

} // namespace

Preloader::Preloader() {
    makeDecoders();
}

void Preloader::makeDecoders() {
    // Its decoders stop when the preload is dropped, and their failures are for no one to read.
    for (JpegDecoder* decoder : {decoderA_.get(), decoderB_.get()}) {
        decoder->setCancel(&cancel_);
        decoder->setQuiet(true);
    }
}

Preloader::~Preloader() {
    drop();
}

void Preloader::start(const PreloadKey& key, DecodeThreads threads) {
    if (key_ == key) {
        return;
    }
    drop();
    key_ = key;
    threads_ = threads;
    cancel_ = false;
    done_ = false;
    worker_ = std::thread([this] { run(); });
}

void Preloader::finish() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

void Preloader::drop() {
    cancel_ = true;
    finish();
    key_.reset();
    rasters_.reset();
    error_ = nullptr;
    filesRead_.clear();
    decoderA_->releaseMemory();
    decoderB_->releaseMemory();
}

void Preloader::run() {
    if (threads_ == DecodeThreads::Background) {
        lowerCallingThreadPriority();
    }
    try {
        PairRasters rasters;
        filesRead_ =
            readPairInto(*decoderA_, *decoderB_, key_->request, rasters, threads_, &cancel_);
        rasters_ = std::move(rasters);
    } catch (const DecodeCancelled&) {
    } catch (...) {
        // A file that fails: a background preload leaves it to the load that reaches it; the
        // load that waits for a foreground one meets the error here, without reading again.
        error_ = std::current_exception();
    }
    done_ = true;
}

bool Preloader::nearlyDone() const {
    // Less than that left to do at the low priority is still sooner than all of it at full speed.
    constexpr int kNearlyDone = 750;
    const bool oneDecoder =
        key_->request.kind == PairKind::Parallel || key_->request.kind == PairKind::Crossing;
    return done_ || threads_ == DecodeThreads::Foreground ||
           std::min(decoderA_->progress(), oneDecoder ? 1000 : decoderB_->progress()) >=
               kNearlyDone;
}

std::optional<PairRasters> Preloader::take(const PreloadKey& key, std::unique_ptr<JpegDecoder>& a,
                                           std::unique_ptr<JpegDecoder>& b) {
    if (key_ != key || !nearlyDone()) {
        drop();
        return std::nullopt;
    }
    finish();
    if (error_ && threads_ == DecodeThreads::Foreground) {
        const std::exception_ptr error = error_;
        drop();
        std::rethrow_exception(error);
    }
    if (!rasters_ || !stillTheFilesRead(filesRead_)) {
        drop();
        return std::nullopt;
    }
    PairRasters taken = std::move(*rasters_);
    std::swap(a, decoderA_);
    std::swap(b, decoderB_);
    for (JpegDecoder* decoder : {a.get(), b.get()}) {
        decoder->setCancel(nullptr); // the caller's now: nothing cancels its decodes
        decoder->setQuiet(false);
    }
    makeDecoders();
    key_.reset();
    rasters_.reset();
    filesRead_.clear();
    return taken;
}

} // namespace duoptic
