#include "loading/PairLoading.h"

#include "base/Paths.h"
#include "base/Trace.h"
#include "catalogue/OpenPairFile.h"
#include "imaging/BackgroundPriority.h"
#include "imaging/ExifTags.h"
#include "imaging/MpoViews.h"
#include "imaging/Orientation.h"
#include "imaging/PairBudget.h"

#include <exception>
#include <future>
#include <memory>
#include <optional>
#include <span>
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

// Decodes, and turns the picture upright on the same thread where the orientation asks for it.
DecodeResult decode(JpegDecoder& decoder, int orientation) {
    DecodeResult result;
    try {
        result.picture = decoder.picture();
        if (orientation != kUpright) {
            result.picture = turnUpright(Raster::whole(result.picture), orientation);
        }
    } catch (...) {
        result.error = std::current_exception();
    }
    return result;
}

// How the pair is to be turned: as the EXIF of its first image says, when it is to be turned.
int orientationOf(const PairRequest& request, const ExifTags& firstImage) {
    return request.orientUpright ? firstImage.orientation.value_or(kUpright) : kUpright;
}

// Turned pictures whose rows now run backwards belong to the other eye.
void turnPair(PairRasters& rasters, int orientation) {
    if (orientation == kUpright) {
        return;
    }
    rasters.left = Raster::whole(turnUpright(rasters.left, orientation));
    rasters.right = Raster::whole(turnUpright(rasters.right, orientation));
    if (exchangesEyes(orientation)) {
        std::swap(rasters.left, rasters.right); // the eyes come to their own sides
    }
}

// A side-by-side file is turned half by half: its two halves stay side by side, as the eyes
// are. For the orientations that keep the rows horizontal this is the whole file turned and cut
// again; for a quarter turn, turning the whole file would stack the halves.
void readSideBySide(JpegDecoder& decoder, const PairRequest& request, int orientation,
                    PairRasters& rasters) {
    checkPairBudget(decoder, nullptr, orientation);
    const SplitHalves halves = splitSideBySide(decoder.picture());
    if (request.kind == PairKind::Crossing) {
        rasters.right = halves.left;
        rasters.left = halves.right;
    } else {
        rasters.left = halves.left;
        rasters.right = halves.right;
    }
    rasters.leftEyeOnRight = false; // each half goes to its own eye's side
    rasters.crossedByViewerMode = false;
    turnPair(rasters, orientation);
}

// Decoder A holds the left-eye image, decoder B the right-eye one, both read.
void decodeTwoViews(JpegDecoder& decoderA, JpegDecoder& decoderB, ViewerSides sides,
                    int orientation, PairRasters& rasters, DecodeThreads threads) {
    // The two pictures are independent: decode them on both cores, then assign them in the order
    // a one-at-a-time load would, so a failure leaves the same state behind.
    auto rightEye = std::async(std::launch::async, [&decoderB, orientation, threads] {
        if (threads == DecodeThreads::Background) {
            lowerCallingThreadPriority();
        }
        DecodeResult decoded = decode(decoderB, orientation);
        trace("decoder B done");
        return decoded;
    });
    const DecodeResult leftEye = decode(decoderA, orientation);
    trace("decoder A done");
    const DecodeResult right = rightEye.get();

    // A camera held upside down took the right eye's picture with its left lens.
    if (isCrossing(sides) != exchangesEyes(orientation)) {
        rasters.left = Raster::whole(right.take());
        rasters.right = Raster::whole(leftEye.take());
    } else {
        rasters.left = Raster::whole(leftEye.take());
        rasters.right = Raster::whole(right.take());
    }
    rasters.leftEyeOnRight = isCrossing(sides);
    rasters.crossedByViewerMode = isCrossing(sides);
}

// The parallax a 3D camera recorded, which some keep in the second image only.
std::optional<CameraParallax> cameraParallax(const MpoFile& mpo) {
    const std::span<const std::uint8_t> file(*mpo.bytes);
    for (const ByteRange& view : {mpo.views.right, mpo.views.left}) {
        if (auto parallax = readExifTags(file.subspan(view.offset, view.length)).parallax) {
            return parallax;
        }
    }
    return std::nullopt;
}

// The identity the decoder took from the file it opened last.
FileRead fileRead(const std::string& path, const JpegDecoder& decoder) {
    return {path, decoder.fileIdentity().value_or(FileIdentity{})};
}

// The pictures of the request, turned as it asks, and the files they came from.
std::vector<FileRead> readPictures(JpegDecoder& decoderA, JpegDecoder& decoderB,
                                   const PairRequest& request, PairRasters& rasters,
                                   DecodeThreads threads, const std::atomic<bool>* cancel) {
    switch (request.kind) {
    case PairKind::Parallel:
    case PairKind::Crossing: {
        decoderA.readFile(request.file);
        const ExifTags exif = readExifTags(decoderA.bytes());
        readSideBySide(decoderA, request, orientationOf(request, exif), rasters);
        rasters.facts.cameraParallax.reset();
        rasters.facts.camera = exif.camera;
        rasters.facts.key = pairKey({decoderA.bytes()});
        return {fileRead(request.file, decoderA)};
    }
    case PairKind::TwoFiles: {
        decoderA.readFile(request.file);
        decoderB.readFile(request.rightEyeFile);
        const ExifTags exif = readExifTags(decoderA.bytes());
        checkPairBudget(decoderA, &decoderB, orientationOf(request, exif));
        std::vector<FileRead> read{fileRead(request.file, decoderA),
                                   fileRead(request.rightEyeFile, decoderB)};
        decodeTwoViews(decoderA, decoderB, request.sides, orientationOf(request, exif), rasters,
                       threads);
        rasters.facts.cameraParallax.reset();
        rasters.facts.camera = exif.camera;
        rasters.facts.key = pairKey({decoderA.bytes(), decoderB.bytes()});
        return read;
    }
    case PairKind::Multi: {
        // One read of the file; each decoder looks at its own image inside it.
        const MpoFile mpo = readMpoFile(request.file, cancel);
        decoderA.readShared(mpo.bytes, mpo.views.left);
        decoderB.readShared(mpo.bytes, mpo.views.right);
        const std::span<const std::uint8_t> first(mpo.bytes->data() + mpo.views.left.offset,
                                                  mpo.views.left.length);
        const ExifTags exif = readExifTags(first);
        checkPairBudget(decoderA, &decoderB, orientationOf(request, exif));
        decodeTwoViews(decoderA, decoderB, request.sides, orientationOf(request, exif), rasters,
                       threads);
        rasters.facts.cameraParallax = cameraParallax(mpo);
        rasters.facts.camera = exif.camera;
        rasters.facts.key = pairKey({std::span<const std::uint8_t>(*mpo.bytes)});
        return {{request.file, mpo.identity}};
    }
    }
    return {};
}

} // namespace

std::vector<FileRead> readPairInto(JpegDecoder& decoderA, JpegDecoder& decoderB,
                                   const PairRequest& request, PairRasters& rasters,
                                   DecodeThreads threads, const std::atomic<bool>* cancel) {
    trace("pair read starts");
    std::vector<FileRead> read =
        readPictures(decoderA, decoderB, request, rasters, threads, cancel);
    rasters.facts.files.clear();
    for (const FileRead& file : read) {
        rasters.facts.files.push_back({std::string(namePart(file.path)), file.identity.size});
    }
    rasters.facts.alignment.reset();
    rasters.facts.disparity.reset();
    if (request.measureAlignment) {
        measurePair(rasters, cancel);
    }
    return read;
}

void measurePair(PairRasters& rasters, const std::atomic<bool>* cancel) {
    const bool crossed = rasters.leftEyeOnRight;
    const Raster& left = crossed ? rasters.right : rasters.left;
    const Raster& right = crossed ? rasters.left : rasters.right;
    rasters.facts.alignment = measureAlignment(left, right, cancel);
    rasters.facts.disparity = measureDisparity(left, right, *rasters.facts.alignment, cancel);
}

} // namespace duoptic
