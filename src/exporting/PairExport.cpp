#include "exporting/PairExport.h"

#include "base/Error.h"
#include "exporting/EyeRects.h"
#include "exporting/EyeRows.h"
#include "exporting/JpegWrite.h"
#include "imaging/ExifTags.h"
#include "imaging/JpegDecoder.h"
#include "imaging/MpoViews.h"
#include "imaging/Orientation.h"
#include "imaging/PairHints.h"
#include "imaging/TurnedStretch.h"
#include "loading/PairLoading.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace duoptic {

namespace {

// The data of an APP1 segment after its length and "Exif\0\0".
constexpr std::size_t kMaxExifBytes = 65533 - 6;

// One eye as its file holds it: the JPEG image it lies in and where, before any turn.
struct HeldEye {
    std::span<const std::uint8_t> jpeg;
    Rect region;     // within the stored picture: all of it, or a half of a side-by-side one
    bool wholeImage; // the region is the whole JPEG image
};

// The pair's files read, nothing decoded yet.
struct HeldPair {
    explicit HeldPair(ExportDecoders& decoders) : a(decoders.a), b(decoders.b) {}
    JpegDecoder& a;
    JpegDecoder& b;
    HeldEye left;
    HeldEye right;
    PairKey key;
    int orientation = kUpright; // as the pair is to be turned
};

Rect whole(const JpegDecoder& decoder) {
    return {0, 0, decoder.width(), decoder.height()};
}

void holdPair(const PairRequest& request, HeldPair& held, const std::atomic<bool>* cancel) {
    held.a.setCancel(cancel);
    held.b.setCancel(cancel);
    switch (request.kind) {
    case PairKind::Parallel:
    case PairKind::Crossing: {
        held.a.readFile(request.file);
        const int half = held.a.width() / 2;
        const Rect first{0, 0, half, held.a.height()};
        const Rect second{half, 0, half, held.a.height()};
        const bool parallel = request.kind == PairKind::Parallel;
        held.left = {held.a.bytes(), parallel ? first : second, false};
        held.right = {held.a.bytes(), parallel ? second : first, false};
        held.key = pairKey({held.a.bytes()});
        break;
    }
    case PairKind::TwoFiles:
        held.a.readFile(request.file);
        held.b.readFile(request.rightEyeFile);
        held.left = {held.a.bytes(), whole(held.a), true};
        held.right = {held.b.bytes(), whole(held.b), true};
        held.key = pairKey({held.a.bytes(), held.b.bytes()});
        break;
    case PairKind::Multi: {
        const MpoFile mpo = readMpoFile(request.file, cancel);
        held.a.readShared(mpo.bytes, mpo.views.left);
        held.b.readShared(mpo.bytes, mpo.views.right);
        held.left = {held.a.bytes(), whole(held.a), true};
        held.right = {held.b.bytes(), whole(held.b), true};
        held.key = pairKey({std::span<const std::uint8_t>(*mpo.bytes)});
        break;
    }
    }
    if (request.orientUpright) {
        held.orientation = readExifTags(held.left.jpeg).orientation.value_or(kUpright);
    }
}

// The EXIF an eye's file carries: its own, upright once its pixels are turned.
std::vector<std::uint8_t> exifFor(const HeldEye& eye, bool turned) {
    const std::span<const std::uint8_t> exif = exifOf(eye.jpeg);
    if (exif.size() > kMaxExifBytes) {
        return {};
    }
    return turned ? uprightExif(exif) : std::vector<std::uint8_t>(exif.begin(), exif.end());
}

// An eye's JPEG data: the file's own bytes, or a cut of them.
struct EyeJpeg {
    std::vector<std::uint8_t> cut;
    std::span<const std::uint8_t> data;
};

// Each eye's JPEG data where it can be written without decoding: as it is, or cut on its iMCU
// grid. Empty where the eye has to be encoded.
EyeJpeg losslessEye(const HeldEye& eye, const Rect& rect, bool turned) {
    if (turned) {
        return {};
    }
    if (eye.wholeImage && rect == eye.region) {
        return {{}, eye.jpeg};
    }
    EyeJpeg cut{cropJpegLosslessly(eye.jpeg, eye.region.left + rect.left, eye.region.top + rect.top,
                                   rect.width, rect.height)
                    .value_or(std::vector<std::uint8_t>{}),
                {}};
    cut.data = cut.cut;
    return cut;
}

// The shift the pair is written with, and whether finding it needs the pictures.
struct ShiftFound {
    std::optional<PairOffset> offset; // nothing yet: to be measured
};

ShiftFound findShift(const ShiftChoice& choice, const ExportOptions& options, const PairKey& key) {
    if (options.asStored) {
        return {PairOffset{}};
    }
    if (choice.shown) {
        return {choice.shown};
    }
    if (choice.stored) {
        if (const std::optional<PairOffset> stored = choice.stored(key)) {
            return {stored};
        }
    }
    if (choice.align || choice.window) {
        return {};
    }
    return {PairOffset{}};
}

ChromaSampling encodedSampling(ChromaSampling source) {
    switch (source) {
    case ChromaSampling::S444:
    case ChromaSampling::S422:
        return source;
    default:
        return ChromaSampling::S420;
    }
}

bool writesEyesApart(ExportFormat format) {
    return format == ExportFormat::Mpo || format == ExportFormat::Pair;
}

class PairWriter {
public:
    PairWriter(const PairRequest& request, const ExportOptions& options, const ExportRun& run)
        : request_(request), options_(options), run_(run),
          decoders_(run.decoders ? nullptr : std::make_unique<ExportDecoders>()),
          held_(run.decoders ? *run.decoders : *decoders_) {
        holdPair(request, held_, run.cancel);
        turned_ = held_.orientation != kUpright;
        sampling_ = encodedSampling(chromaSamplingOf(held_.left.jpeg));
        leftExif_ = exifFor(held_.left, turned_);
        rightExif_ = exifFor(held_.right, turned_);
    }

    std::vector<ExportedFile> write(const ShiftChoice& choice) {
        ShiftFound shift = findShift(choice, options_, held_.key);
        if (!shift.offset || turned_) {
            decode(!shift.offset);
            if (!shift.offset) {
                const PairHints hints = pairHints(rasters_, choice.align, choice.window);
                shift.offset = PairOffset{hints.dx(), hints.dy(), hints.roll()};
            }
        }
        const Size left = turned_ ? sizeOf(rasters_.left) : sizeOf(held_.left.region);
        const Size right = turned_ ? sizeOf(rasters_.right) : sizeOf(held_.right.region);
        const int dx = shift.offset->dx;
        const int dy = shift.offset->dy;
        rolled_ = shift.offset->roll != 0;
        if (rolled_) {
            turnRightEye(shift.offset->roll / 100.0);
            rects_ = rolledArea(left, right, dx, dy, shift.offset->roll / 100.0);
        } else {
            rects_ = commonArea(left, right, dx, dy, 0.0);
        }
        if (rects_.empty()) {
            throw Error("the eyes do not overlap after the shift");
        }
        const std::vector<std::string> names = exportFileNames(
            options_.format, run_.baseName.empty() ? request_.baseName : run_.baseName);
        if (writesEyesApart(options_.format)) {
            return eyesApart(names);
        }
        return {{names.front(), encode(combined())}};
    }

private:
    static Size sizeOf(const Rect& rect) { return {rect.width, rect.height}; }

    // The right eye as the window draws it turned: into a picture of its own size, from its
    // full-resolution pixels, each taking the one under its centre.
    void turnRightEye(double rollDegrees) {
        decode(false);
        rasters_.right = Raster::whole(turnedPicture(rasters_.right, rollDegrees));
    }

    // The common area of a turned right eye, within the part of the turn its picture holds.
    static EyeRects rolledArea(Size left, Size right, int dx, int dy, double rollDegrees) {
        const Rect common = commonRectangle(left, right, {dx, dy, rollDegrees});
        const int x0 = std::max(common.left, dx);
        const int y0 = std::max(common.top, dy);
        const int x1 = std::min(common.left + common.width, dx + right.width);
        const int y1 = std::min(common.top + common.height, dy + right.height);
        if (x1 <= x0 || y1 <= y0) {
            return {};
        }
        return {{x0, y0, x1 - x0, y1 - y0}, {x0 - dx, y0 - dy, x1 - x0, y1 - y0}};
    }
    static Size sizeOf(const Raster& raster) { return {raster.width(), raster.height()}; }

    // The pictures as the viewer shows them, left eye in `left`, claimed from the gate while
    // this writer lives.
    void decode(bool measure) {
        if (decoded_) {
            return;
        }
        const int copies = turned_ ? 2 : 1;
        claim_.emplace(run_.gate, copies * (held_.a.decodeMemory() + held_.b.decodeMemory()));
        PairRequest request = request_;
        request.sides = ViewerSides::Parallel;
        request.measureAlignment = measure;
        // The decoders read the files again, as a load does, and hold their bytes anew.
        readPairInto(held_.a, held_.b, request, rasters_, DecodeThreads::Foreground, run_.cancel);
        const bool oneFile = held_.b.bytes().empty();
        held_.left.jpeg = held_.a.bytes();
        held_.right.jpeg = oneFile ? held_.a.bytes() : held_.b.bytes();
        decoded_ = true;
    }

    EyePixels leftPixels() { return {&rasters_.left, rects_.left}; }
    EyePixels rightPixels() { return {&rasters_.right, rects_.right}; }

    RowSource combined() {
        decode(false);
        switch (options_.format) {
        case ExportFormat::Cross:
        case ExportFormat::Jps:
            return sideBySide(rightPixels(), leftPixels());
        case ExportFormat::Anaglyph:
            return anaglyph(options_.anaglyph, leftPixels(), rightPixels());
        case ExportFormat::HalfSbs:
            return halfSideBySide(leftPixels(), rightPixels());
        case ExportFormat::HalfTb:
            return halfTopBottom(leftPixels(), rightPixels());
        default:
            return sideBySide(leftPixels(), rightPixels());
        }
    }

    std::vector<std::uint8_t> encode(const RowSource& rows, std::span<const std::uint8_t> exif) {
        return encodeJpeg(rows, {options_.quality, sampling_, exif}, run_.cancel);
    }
    std::vector<std::uint8_t> encode(const RowSource& rows) { return encode(rows, leftExif_); }

    std::vector<ExportedFile> eyesApart(const std::vector<std::string>& names) {
        EyeJpeg left = losslessEye(held_.left, rects_.left, turned_);
        EyeJpeg right = losslessEye(held_.right, rects_.right, turned_ || rolled_);
        if (left.data.empty() || right.data.empty()) {
            decode(false);
            // The decode read the files again: a copy looks into the bytes it holds now.
            if (left.cut.empty()) {
                left = losslessEye(held_.left, rects_.left, turned_);
            }
            if (right.cut.empty()) {
                right = losslessEye(held_.right, rects_.right, turned_ || rolled_);
            }
        }
        if (left.data.empty()) {
            left.cut =
                encodeJpeg(oneEye(leftPixels()), {options_.quality, sampling_, {}}, run_.cancel);
            left.data = left.cut;
        }
        if (right.data.empty()) {
            right.cut =
                encodeJpeg(oneEye(rightPixels()), {options_.quality, sampling_, {}}, run_.cancel);
            right.data = right.cut;
        }
        if (options_.format == ExportFormat::Mpo) {
            return {{names.front(), makeMpo(left.data, leftExif_, right.data, rightExif_)}};
        }
        return {{names.front(), withHeaderSegments(left.data, leftExif_)},
                {names.back(), withHeaderSegments(right.data, rightExif_)}};
    }

    const PairRequest& request_;
    const ExportOptions& options_;
    const ExportRun& run_;
    std::unique_ptr<ExportDecoders> decoders_;
    HeldPair held_;
    bool turned_ = false;
    ChromaSampling sampling_ = ChromaSampling::S420;
    std::vector<std::uint8_t> leftExif_;
    std::vector<std::uint8_t> rightExif_;
    std::optional<MemoryGate::Claim> claim_;
    PairRasters rasters_;
    bool decoded_ = false;
    bool rolled_ = false; // the right eye is turned by the pair's roll
    EyeRects rects_;
};

} // namespace

std::vector<ExportedFile> exportPair(const PairRequest& request, const ShiftChoice& shift,
                                     const ExportOptions& options, const ExportRun& run) {
    PairWriter writer(request, options, run);
    return writer.write(shift);
}

} // namespace duoptic
