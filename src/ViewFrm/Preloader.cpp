#include "ViewFrm/Preloader.h"

#include "catalogue/PairKind.h"
#include "imaging/BackgroundPriority.h"

namespace duoptic {

namespace {

bool modeDecidesSides(PairKind kind) {
    return kind == PairKind::TwoFiles || kind == PairKind::Multi;
}

// The identities of the files now, or nothing when one cannot be looked up.
std::optional<std::vector<std::pair<std::string, FileIdentity>>>
identitiesOf(const std::vector<std::string>& paths) {
    std::vector<std::pair<std::string, FileIdentity>> found;
    for (const std::string& path : paths) {
        const std::optional<FileIdentity> identity = identityOf(path);
        if (!identity) {
            return std::nullopt;
        }
        found.emplace_back(path, *identity);
    }
    return found;
}

} // namespace

PreloadKey preloadKey(std::uint64_t listGeneration, int entry, PairKind kind,
                      const PairFiles& files, const std::string& viewerMode) {
    return {listGeneration, entry,       kind,
            files.left,     files.right, modeDecidesSides(kind) ? viewerMode : std::string()};
}

Preloader::Preloader()
    : decoderA_(std::make_unique<JpegDecoder>()), decoderB_(std::make_unique<JpegDecoder>()) {}

Preloader::~Preloader() {
    drop();
}

void Preloader::start(const PreloadKey& key) {
    if (key_ == key) {
        return;
    }
    drop();
    key_ = key;
    cancel_ = false;
    done_ = false;
    decoderA_->setCancel(&cancel_);
    decoderB_->setCancel(&cancel_);
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
    identities_.clear();
    decoderA_->releaseMemory();
    decoderB_->releaseMemory();
}

void Preloader::run() {
    lowerCallingThreadPriority();
    try {
        std::vector<std::string> paths{key_->leftFile};
        if (!key_->rightFile.empty()) {
            paths.push_back(key_->rightFile);
        }
        // Looked up before and after the read: a file that changed meanwhile is not trusted.
        const auto before = identitiesOf(paths);
        PairRasters rasters;
        readPairInto(*decoderA_, *decoderB_, key_->kind, key_->viewerMode,
                     {key_->leftFile, key_->rightFile}, rasters, DecodeThreads::Background);
        if (before && before == identitiesOf(paths)) {
            identities_ = *before;
            rasters_ = std::move(rasters);
        }
    } catch (...) {
        // Cancelled, or a file that fails: the load that reaches it shows the error then.
    }
    done_ = true;
}

std::optional<PairRasters> Preloader::take(const PreloadKey& key, std::unique_ptr<JpegDecoder>& a,
                                           std::unique_ptr<JpegDecoder>& b) {
    if (key_ != key) {
        drop();
        return std::nullopt;
    }
    finish();
    std::vector<std::string> paths;
    for (const auto& [path, identity] : identities_) {
        paths.push_back(path);
    }
    if (!rasters_ || identitiesOf(paths) != identities_) {
        drop();
        return std::nullopt;
    }
    PairRasters taken = std::move(*rasters_);
    std::swap(a, decoderA_);
    std::swap(b, decoderB_);
    a->setCancel(nullptr); // the caller's now: nothing cancels its decodes
    b->setCancel(nullptr);
    key_.reset();
    rasters_.reset();
    identities_.clear();
    return taken;
}

} // namespace duoptic
