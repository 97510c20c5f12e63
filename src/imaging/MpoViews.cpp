#include "imaging/MpoViews.h"

#include "base/Error.h"
#include "base/FileRead.h"
#include "base/Messages.h"
#include "imaging/JpegLayout.h"
#include "imaging/MpfIndex.h"

#include <algorithm>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <map>
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
    WalkWatch& watch;
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

std::uint32_t typeOf(const MpEntry& entry) {
    return entry.attributes & kMpTypeMask;
}

// The headers of the images that the index lists, each walked once however often the index lists
// its offset: a hostile index may list one image thousands of times.
class ImageHeaders {
public:
    explicit ImageHeaders(const IndexedFile& f) : f_(f) {}

    // The headers of a listed image other than the first, up to its first scan. They are walked
    // as far as the file goes; the caller uses only what lies within the image's range.
    const JpegExtent& at(const ByteRange& range) {
        auto found = walked_.find(range.offset);
        if (found == walked_.end()) {
            found = walked_
                        .emplace(range.offset,
                                 walkJpeg(f_.file, range.offset, WalkTo::FirstScan, &f_.watch))
                        .first;
        }
        return found->second;
    }

private:
    const IndexedFile& f_;
    std::map<std::size_t, JpegExtent> walked_; // by offset in the file
};

// The MP Individual Image Number of an image, from its own MPF segment (the first image's from
// the index's chain).
std::optional<std::uint32_t> individualNumber(const IndexedFile& f, const MpfIndex& index,
                                              ImageHeaders& headers, const IndexedImage& image) {
    if (image.number == 1) {
        return index.individualNumber;
    }
    std::string ignored;
    const auto range = imageRange(f, image, ignored);
    if (!range) {
        return std::nullopt;
    }
    const JpegExtent& extent = headers.at(*range);
    if (!extent.mpfPayload || extent.mpfPayload->end() > range->end()) {
        return std::nullopt;
    }
    return readIndividualNumber(
        f.file.subspan(extent.mpfPayload->offset, extent.mpfPayload->length));
}

// Steps the number look-ups may take, besides twice the file: honest images lie apart, so their
// headers together are walked in less than one pass over the file.
constexpr std::uint64_t kNumberWalkAllowance = 4096;

// The disparity images in view order: by individual number where all have one. The numbers are
// looked up only until one is missing, and within a bound of work by the file's size, past which
// the index's order stands.
std::vector<IndexedImage> disparityViews(const IndexedFile& f, const MpfIndex& index) {
    std::vector<IndexedImage> views;
    for (std::size_t i = 0; i < index.entries.size(); ++i) {
        if (typeOf(index.entries[i]) == kMpTypeDisparity) {
            views.push_back({static_cast<int>(i) + 1, index.entries[i]});
        }
    }
    const std::uint64_t bound =
        f.watch.steps + 2 * std::uint64_t{f.file.size()} + kNumberWalkAllowance;
    ImageHeaders headers(f);
    std::vector<std::pair<std::uint32_t, IndexedImage>> numbered;
    for (const IndexedImage& view : views) {
        if (f.watch.steps > bound) {
            return views;
        }
        const std::optional<std::uint32_t> number = individualNumber(f, index, headers, view);
        if (!number) {
            return views;
        }
        numbered.emplace_back(*number, view);
    }
    std::stable_sort(numbered.begin(), numbered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < numbered.size(); ++i) {
        views[i] = numbered[i].second;
    }
    return views;
}

// Two images that the index does not type as views are a stereo pair only when they could be
// one: neither is a large thumbnail, and both have the same number of pixels each way. A phone
// keeps a small preview beside its photograph in such a file.
bool couldBePair(const IndexedFile& f, const MpfIndex& index, const ByteRange& second) {
    for (const MpEntry& entry : index.entries) {
        const std::uint32_t type = typeOf(entry);
        if (type == kMpTypeLargeThumbnailVga || type == kMpTypeLargeThumbnailFullHd) {
            return false;
        }
    }
    const bool typedAsViews =
        std::any_of(index.entries.begin(), index.entries.end(), [](const MpEntry& entry) {
            return typeOf(entry) == kMpTypeDisparity || typeOf(entry) == kMpTypeMultiAngle;
        });
    if (typedAsViews) {
        return true;
    }
    const std::optional<FrameSize> secondFrame =
        walkJpeg(f.file.subspan(0, second.end()), second.offset, WalkTo::FirstScan, &f.watch).frame;
    return f.firstImage.frame && secondFrame && *f.firstImage.frame == *secondFrame;
}

IndexResult viewsFromIndex(Bytes file, const JpegExtent& firstImage, WalkWatch& watch,
                           const std::string& pathForMessages) {
    IndexResult result;
    const IndexedFile f{file, firstImage.mpfPayload->offset, firstImage, watch};
    const MpfIndex index = readMpfIndex(file.subspan(f.tiffStart, firstImage.mpfPayload->length));
    if (index.fault != MpfFault::None) {
        result.fault = faultText(index.fault);
        return result;
    }
    std::vector<IndexedImage> chosen = disparityViews(f, index);
    const bool twoOfAnyType = chosen.size() < 2 && index.entries.size() == 2;
    if (twoOfAnyType) {
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
    if (twoOfAnyType && !couldBePair(f, index, ranges[1])) {
        throw Error(messages::noStereoViews(pathForMessages));
    }
    result.views = MpoViews{ranges[0], ranges[1]};
    return result;
}

// The first image, and the next JPEG after its end.
MpoViews viewsFollowingTheFirst(Bytes file, const JpegExtent& firstImage, WalkWatch& watch,
                                const std::string& indexFault, const std::string& pathForMessages) {
    const auto start = findJpegStart(file, firstImage.endOffset, &watch);
    if (!start) {
        throw Error(indexFault.empty() ? messages::noSecondImage(pathForMessages)
                                       : messages::brokenMpoIndex(pathForMessages, indexFault));
    }
    const JpegExtent second = walkJpeg(file, *start, WalkTo::End, &watch);
    if (second.end == JpegEnd::CutInHeaders) {
        throw Error(messages::secondImageCutShort(pathForMessages));
    }
    return {ByteRange{0, firstImage.endOffset}, ByteRange{*start, second.endOffset - *start}};
}

} // namespace

MpoViews findMpoViews(Bytes file, const std::string& pathForMessages, WalkWatch* watch) {
    WalkWatch unwatched;
    WalkWatch& w = watch != nullptr ? *watch : unwatched;
    const JpegExtent firstImage = walkJpeg(file, 0, WalkTo::End, &w);
    if (firstImage.end == JpegEnd::NotJpeg) {
        // What libjpeg would say of the file as a whole.
        throw Error(messages::jpegError(file.empty() ? JERR_INPUT_EMPTY : JERR_NO_SOI));
    }
    std::string indexFault;
    if (firstImage.mpfPayload) {
        IndexResult fromIndex = viewsFromIndex(file, firstImage, w, pathForMessages);
        if (fromIndex.views) {
            return *fromIndex.views;
        }
        indexFault = std::move(fromIndex.fault);
    }
    return viewsFollowingTheFirst(file, firstImage, w, indexFault, pathForMessages);
}

MpoFile readMpoFile(const std::string& path, const std::atomic<bool>* cancel) {
    WalkWatch watch{cancel};
    auto bytes = std::make_shared<FileBytes>();
    FileIdentity identity;
    try {
        readFileBytes(path, *bytes, kMaxFileBytes, &identity, cancel);
    } catch (const ReadCancelled&) {
        throw DecodeCancelled();
    }
    const MpoViews views = findMpoViews(*bytes, path, &watch);
    return {std::move(bytes), views, identity};
}

} // namespace duoptic
