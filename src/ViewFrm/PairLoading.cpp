#include "ViewFrm/PairLoading.h"

#include "catalogue/OpenPairFile.h"
#include "imaging/BackgroundPriority.h"
#include "imaging/MpoViews.h"
#include "settings/Modes.h"

#include <exception>
#include <future>
#include <memory>
#include <utility>

namespace duoptic {

namespace {

// A decode that ran on another thread: its picture, or the error it raised, handed back so that
// errors surface at the step where a sequential load would have met them.
struct DecodeResult {
    std::shared_ptr<const Picture> picture;
    std::exception_ptr error;

    std::shared_ptr<const Picture> take() const {
        if (error) {
            std::rethrow_exception(error);
        }
        return picture;
    }
};

DecodeResult decode(JpegDecoder& decoder) {
    DecodeResult result;
    try {
        result.picture = decoder.picture();
    } catch (...) {
        result.error = std::current_exception();
    }
    return result;
}

void readSideBySide(JpegDecoder& decoder, PairKind kind, const PairFiles& files,
                    PairRasters& rasters) {
    decoder.readFile(files.left);
    const SplitHalves halves = splitSideBySide(decoder.picture());
    if (kind == PairKind::Crossing) {
        rasters.right = halves.left;
        rasters.left = halves.right;
    } else {
        rasters.left = halves.left;
        rasters.right = halves.right;
    }
}

// Decoder A holds the left-eye image, decoder B the right-eye one, both read.
void decodeTwoViews(JpegDecoder& decoderA, JpegDecoder& decoderB, std::string_view viewerMode,
                    PairRasters& rasters, DecodeThreads threads) {
    // The two pictures are independent: decode them on both cores, then assign them in the order
    // a one-at-a-time load would, so a failure leaves the same state behind.
    auto rightEye = std::async(std::launch::async, [&decoderB, threads] {
        if (threads == DecodeThreads::Background) {
            lowerCallingThreadPriority();
        }
        return decode(decoderB);
    });
    const DecodeResult leftEye = decode(decoderA);
    const DecodeResult right = rightEye.get();

    if (isCrossing(viewerMode)) {
        rasters.left = Raster::whole(right.take());
        rasters.right = Raster::whole(leftEye.take());
    } else {
        rasters.left = Raster::whole(leftEye.take());
        rasters.right = Raster::whole(right.take());
    }
}

} // namespace

PairFiles pairFilesOf(const std::string& basePath, PairKind kind) {
    return {pairFilePath(basePath, kind, Eye::Left),
            kind == PairKind::TwoFiles ? pairFilePath(basePath, kind, Eye::Right) : std::string()};
}

PairFiles pairFilesOf(const PairEntry& entry) {
    return {pairFilePath(entry, Eye::Left),
            entry.kind == PairKind::TwoFiles ? pairFilePath(entry, Eye::Right) : std::string()};
}

void readPairInto(JpegDecoder& decoderA, JpegDecoder& decoderB, PairKind kind,
                  std::string_view viewerMode, const PairFiles& files, PairRasters& rasters,
                  DecodeThreads threads) {
    switch (kind) {
    case PairKind::Parallel:
    case PairKind::Crossing:
        readSideBySide(decoderA, kind, files, rasters);
        return;
    case PairKind::TwoFiles:
        decoderA.readFile(files.left);
        decoderB.readFile(files.right);
        decodeTwoViews(decoderA, decoderB, viewerMode, rasters, threads);
        return;
    case PairKind::Multi: {
        // One read of the file; each decoder looks at its own image inside it.
        const MpoFile mpo = readMpoFile(files.left);
        decoderA.readShared(mpo.bytes, mpo.views.left);
        decoderB.readShared(mpo.bytes, mpo.views.right);
        decodeTwoViews(decoderA, decoderB, viewerMode, rasters, threads);
        return;
    }
    }
}

void reversePair(PairRasters& rasters) {
    std::swap(rasters.left, rasters.right);
}

} // namespace duoptic
