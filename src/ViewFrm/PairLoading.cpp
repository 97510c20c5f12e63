#include "ViewFrm/PairLoading.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "catalogue/OpenPairFile.h"
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

void readSideBySide(JpegDecoder& decoder, PairKind kind, const std::string& basePath,
                    PairRasters& rasters) {
    decoder.readFile(pairFilePath(basePath, kind, Eye::Left));
    const SplitHalves halves = splitSideBySide(decoder.picture());
    if (kind == PairKind::Parallel) {
        rasters.left = halves.left;
        rasters.right = halves.right;
    } else {
        rasters.right = halves.left;
        rasters.left = halves.right;
    }
}

void readTwoFiles(JpegDecoder& decoderA, JpegDecoder& decoderB, std::string_view viewerMode,
                  const std::string& basePath, PairRasters& rasters) {
    decoderA.readFile(pairFilePath(basePath, PairKind::TwoFiles, Eye::Left));
    decoderB.readFile(pairFilePath(basePath, PairKind::TwoFiles, Eye::Right));

    // The two pictures are independent: decode them on both cores, then assign them in the order
    // a one-at-a-time load would, so a failure leaves the same state behind.
    auto rightEye = std::async(std::launch::async, [&decoderB] { return decode(decoderB); });
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

void readPairInto(JpegDecoder& decoderA, JpegDecoder& decoderB, PairKind kind,
                  std::string_view viewerMode, const std::string& basePath, PairRasters& rasters) {
    switch (kind) {
    case PairKind::Parallel:
    case PairKind::Crossing:
        readSideBySide(decoderA, kind, basePath, rasters);
        return;
    case PairKind::TwoFiles:
        readTwoFiles(decoderA, decoderB, viewerMode, basePath, rasters);
        return;
    case PairKind::Multi:
        // The two images of an MPO file are read once the MPO decoder is in place.
        throw Error(messages::cannotOpenFile(pairFilePath(basePath, kind, Eye::Left)));
    }
}

void reversePair(PairRasters& rasters) {
    std::swap(rasters.left, rasters.right);
}

} // namespace duoptic
