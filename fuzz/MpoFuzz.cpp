// Any bytes as an MPO file: the MPF index and the search for the second image after the first
// image's end either give two views within the file, each on a JPEG start, apart from each
// other, or report an Error, in work bounded by a few passes over the file. The index reader and
// the walk over an image also take the bytes directly, so that they are reached without a JPEG
// around them; so does the EXIF reader, which also reads each view's EXIF.
#include "base/Error.h"
#include "imaging/ExifTags.h"
#include "imaging/JpegLayout.h"
#include "imaging/MpfIndex.h"
#include "imaging/MpoViews.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

namespace {

using namespace duoptic;

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

void checkExif(const ExifTags& tags) {
    check(!tags.orientation || (*tags.orientation >= 1 && *tags.orientation <= 8),
          "an orientation is one of the eight");
    const ExifCamera& camera = tags.camera;
    for (const std::string* text : {&camera.make, &camera.model, &camera.taken}) {
        check(text->size() <= ExifCamera::kMaxTextBytes, "a text stays within its limit");
        check(
            std::none_of(text->begin(), text->end(),
                         [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }),
            "a text holds no control character");
    }
    for (const auto& value : {camera.exposureTime, camera.fNumber, camera.focalLength}) {
        check(!value || (value->numerator != 0 && value->denominator != 0), "a fraction has no 0");
    }
}

void checkViews(std::span<const std::uint8_t> file, const MpoViews& views) {
    for (const ByteRange& view : {views.left, views.right}) {
        check(view.length > 0 && view.offset < file.size() &&
                  view.length <= file.size() - view.offset,
              "a view lies within the file");
        check(startsJpeg(file, view.offset), "a view starts with FF D8 FF");
        checkExif(readExifTags(file.subspan(view.offset, view.length)));
    }
    check(views.left.end() <= views.right.offset || views.right.end() <= views.left.offset,
          "the views do not overlap");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    WalkWatch watch;
    try {
        checkViews(file, findMpoViews(file, "fuzz.mpo", &watch));
    } catch (const Error&) {
    }
    // The first image, the view numbers (two passes at most, and one walk begun before the
    // bound), the second view's size, the search for the next image and its walk.
    check(watch.steps <= 8 * std::uint64_t{size} + 8192, "the work stays within a few passes");
    const MpfIndex index = readMpfIndex(file);
    check(index.fault == MpfFault::None || index.entries.empty(), "a faulty index lists nothing");
    check(index.entries.size() * 16 <= size, "every entry was read from the data");
    readIndividualNumber(file);
    checkExif(readExifTiff(file));
    const JpegExtent extent = walkJpeg(file, 0, WalkTo::End);
    check(extent.endOffset <= size, "an image ends within the file");
    if (extent.mpfPayload) {
        check(extent.mpfPayload->end() <= size, "the MPF segment lies within the file");
    }
    if (extent.exifPayload) {
        check(extent.exifPayload->end() <= size, "the EXIF segment lies within the file");
    }
    return 0;
}
