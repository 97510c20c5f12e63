#include "ViewFrm/PairLoading.h"

#include "base/Trace.h"
#include "catalogue/OpenPairFile.h"
#include "imaging/BackgroundPriority.h"
#include "imaging/MpoViews.h"
#include "imaging/PairBudget.h"

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

void readSideBySide(JpegDecoder& decoder, PairKind kind, const std::string& file,
                    PairRasters& rasters) {
    decoder.readFile(file);
    checkPairBudget(decoder, nullptr);
    const SplitHalves halves = splitSideBySide(decoder.picture());
    if (kind == PairKind::Crossing) {
        rasters.right = halves.left;
        rasters.left = halves.right;
    } else {
        rasters.left = halves.left;
        rasters.right = halves.right;
    }
    rasters.leftEyeOnRight = false; // each half goes to its own eye's side
}

// Decoder A holds the left-eye image, decoder B the right-eye one, both read.
void decodeTwoViews(JpegDecoder& decoderA, JpegDecoder& decoderB, ViewerSides sides,
                    PairRasters& rasters, DecodeThreads threads) {
    // The two pictures are independent: decode them on both cores, then assign them in the order
    // a one-at-a-time load would, so a failure leaves the same state behind.
    auto rightEye = std::async(std::launch::async, [&decoderB, threads] {
        if (threads == DecodeThreads::Background) {
            lowerCallingThreadPriority();
        }
        DecodeResult decoded = decode(decoderB);
        trace("decoder B done");
        return decoded;
    });
    const DecodeResult leftEye = decode(decoderA);
    trace("decoder A done");
    const DecodeResult right = rightEye.get();

    if (isCrossing(sides)) {
        rasters.left = Raster::whole(right.take());
        rasters.right = Raster::whole(leftEye.take());
    } else {
        rasters.left = Raster::whole(leftEye.take());
        rasters.right = Raster::whole(right.take());
    }
    rasters.leftEyeOnRight = isCrossing(sides);
}

// The identity the decoder took from the file it opened last.
FileRead fileRead(const std::string& path, const JpegDecoder& decoder) {
    return {path, decoder.fileIdentity().value_or(FileIdentity{})};
}

} // namespace

std::vector<FileRead> readPairInto(JpegDecoder& decoderA, JpegDecoder& decoderB,
                                   const PairRequest& request, PairRasters& rasters,
                                   DecodeThreads threads, const std::atomic<bool>* cancel) {
    trace("pair read starts");
    switch (request.kind) {
    case PairKind::Parallel:
    case PairKind::Crossing:
        readSideBySide(decoderA, request.kind, request.file, rasters);
        return {fileRead(request.file, decoderA)};
    case PairKind::TwoFiles: {
        decoderA.readFile(request.file);
        decoderB.readFile(request.rightEyeFile);
        checkPairBudget(decoderA, &decoderB);
        std::vector<FileRead> read{fileRead(request.file, decoderA),
                                   fileRead(request.rightEyeFile, decoderB)};
        decodeTwoViews(decoderA, decoderB, request.sides, rasters, threads);
        return read;
    }
    case PairKind::Multi: {
        // One read of the file; each decoder looks at its own image inside it.
        const MpoFile mpo = readMpoFile(request.file, cancel);
        decoderA.readShared(mpo.bytes, mpo.views.left);
        decoderB.readShared(mpo.bytes, mpo.views.right);
        checkPairBudget(decoderA, &decoderB);
        decodeTwoViews(decoderA, decoderB, request.sides, rasters, threads);
        return {{request.file, mpo.identity}};
    }
    }
    return {};
}

} // namespace duoptic
