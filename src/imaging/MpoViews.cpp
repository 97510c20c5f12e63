#include "imaging/MpoViews.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "imaging/FileBytes.h"
#include "imaging/JpegLayout.h"
#include "imaging/MpfIndex.h"

#include <algorithm>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <optional>

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic {

namespace {

using Bytes = std::span<const std::uint8_t>;

struct IndexedImage {
    int number; // 1-based, in index order, for messages
    MpEntry entry;
};

// What the index gave: two views, or why it gave none. An empty fault means the index was
// readable but listed fewer than two images.
struct IndexResult {
    std::optional<MpoViews> views;
    std::string fault;
};

std::string faultText(MpfFault fault) {
    switch (fault) {
    case MpfFault::None:
        return {};
    case MpfFault::BadHeader:
        return messages::mpoHeaderUnreadable();
    case MpfFault::OffsetLoop:
        return messages::mpoOffsetLoop();
    case MpfFault::BadCount:
        return messages::mpoBadImageCount();
    case MpfFault::NoEntries:
        return messages::mpoNoEntries();
    }
    return messages::mpoHeaderUnreadable();
}

// The file as the index describes it: offsets count from the TIFF header's first byte.
struct IndexedFile {
    Bytes file;
    std::size_t tiffStart;
    const JpegExtent& firstImage;
};

// The image's bytes in the file, or the reason it cannot be used. The first image (offset 0) is
// taken as far as its EOI: writers are known to give its size a few bytes short.
std::optional<ByteRange> imageRange(const IndexedFile& f, const IndexedImage& image,
                                    std::string& fault) {
    if (image.number == 1) {
        return ByteRange{0, f.firstImage.endOffset};
    }
    const std::size_t offset = f.tiffStart + image.entry.offset;
    if (image.entry.offset == 0) {
        fault = messages::mpoImagesOverlap(image.number); // would be the first image again
        return std::nullopt;
    }
    if (offset >= f.file.size() || image.entry.size == 0 ||
        image.entry.size > f.file.size() - offset) {
        fault = messages::mpoImageOutsideFile(image.number);
        return std::nullopt;
    }
    if (!startsJpeg(f.file, offset)) {
        fault = messages::mpoImageNotJpeg(image.number);
        return std::nullopt;
    }
    if (offset < f.firstImage.endOffset) {
        fault = messages::mpoImagesOverlap(image.number); // within the first image
        return std::nullopt;
    }
    return ByteRange{offset, image.entry.size};
}

bool overlap(const ByteRange& a, const ByteRange& b) {
    return a.offset < b.end() && b.offset < a.end();
}

// The MP Individual Image Number of an image, from its own MPF segment (the first image's from
// the index's chain).
std::optional<std::uint32_t> individualNumber(const IndexedFile& f, const MpfIndex& index,
                                              const IndexedImage& image) {
    if (image.number == 1) {
        return index.individualNumber;
    }
    std::string ignored;
    const auto range = imageRange(f, image, ignored);
    if (!range) {
        return std::nullopt;
    }
    const JpegExtent extent =
        walkJpeg(f.file.subspan(0, range->end()), range->offset, WalkTo::FirstScan);
    if (!extent.mpfPayload) {
        return std::nullopt;
    }
    return readIndividualNumber(
        f.file.subspan(extent.mpfPayload->offset, extent.mpfPayload->length));
}

// The disparity images in view order: by individual number where all have one.
std::vector<IndexedImage> disparityViews(const IndexedFile& f, const MpfIndex& index) {
    std::vector<std::pair<std::optional<std::uint32_t>, IndexedImage>> views;
    for (std::size_t i = 0; i < index.entries.size(); ++i) {
        const IndexedImage image{static_cast<int>(i) + 1, index.entries[i]};
        if ((image.entry.attributes & kMpTypeMask) == kMpTypeDisparity) {
            views.emplace_back(individualNumber(f, index, image), image);
        }
    }
    if (std::all_of(views.begin(), views.end(), [](const auto& v) { return v.first; })) {
        std::stable_sort(views.begin(), views.end(),
                         [](const auto& a, const auto& b) { return *a.first < *b.first; });
    }
    std::vector<IndexedImage> ordered;
    ordered.reserve(views.size());
    for (const auto& view : views) {
        ordered.push_back(view.second);
    }
    return ordered;
}

IndexResult viewsFromIndex(Bytes file, const JpegExtent& firstImage,
                           const std::string& pathForMessages) {
    IndexResult result;
    const IndexedFile f{file, firstImage.mpfPayload->offset, firstImage};
    const MpfIndex index = readMpfIndex(file.subspan(f.tiffStart, firstImage.mpfPayload->length));
    if (index.fault != MpfFault::None) {
        result.fault = faultText(index.fault);
        return result;
    }
    std::vector<IndexedImage> chosen = disparityViews(f, index);
    if (chosen.size() < 2 && index.entries.size() == 2) {
        chosen = {{1, index.entries[0]}, {2, index.entries[1]}};
    }
    if (chosen.size() < 2) {
        if (index.entries.size() > 2) {
            throw Error(messages::noStereoViews(pathForMessages));
        }
        return result; // one image: perhaps another follows that the index does not list
    }
    ByteRange ranges[2];
    for (std::size_t i = 0; i < 2; ++i) {
        const auto range = imageRange(f, chosen[i], result.fault);
        if (!range) {
            return result;
        }
        ranges[i] = *range;
    }
    if (overlap(ranges[0], ranges[1])) {
        result.fault = messages::mpoImagesOverlap(chosen[1].number);
        return result;
    }
    result.views = MpoViews{ranges[0], ranges[1]};
    return result;
}

// The first image, and the next JPEG after its end.
MpoViews viewsFollowingTheFirst(Bytes file, const JpegExtent& firstImage,
                                const std::string& indexFault, const std::string& pathForMessages) {
    const auto start = findJpegStart(file, firstImage.endOffset);
    if (!start) {
        throw Error(indexFault.empty() ? messages::noSecondImage(pathForMessages)
                                       : messages::brokenMpoIndex(pathForMessages, indexFault));
    }
    const JpegExtent second = walkJpeg(file, *start, WalkTo::End);
    if (second.end == JpegEnd::CutInHeaders) {
        throw Error(messages::secondImageCutShort(pathForMessages));
    }
    return {ByteRange{0, firstImage.endOffset}, ByteRange{*start, second.endOffset - *start}};
}

} // namespace

MpoViews findMpoViews(Bytes file, const std::string& pathForMessages) {
    const JpegExtent firstImage = walkJpeg(file, 0, WalkTo::End);
    if (firstImage.end == JpegEnd::NotJpeg) {
        // What libjpeg would say of the file as a whole.
        throw Error(messages::jpegError(file.empty() ? JERR_INPUT_EMPTY : JERR_NO_SOI));
    }
    std::string indexFault;
    if (firstImage.mpfPayload) {
        IndexResult fromIndex = viewsFromIndex(file, firstImage, pathForMessages);
        if (fromIndex.views) {
            return *fromIndex.views;
        }
        indexFault = std::move(fromIndex.fault);
    }
    return viewsFollowingTheFirst(file, firstImage, indexFault, pathForMessages);
}

MpoFile readMpoFile(const std::string& path) {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    FileIdentity identity;
    readFileBytes(path, *bytes, kMaxFileBytes, &identity);
    const MpoViews views = findMpoViews(*bytes, path);
    return {std::move(bytes), views, identity};
}

} // namespace duoptic
