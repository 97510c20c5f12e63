#include "exporting/JpegWrite.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "imaging/JpegLayout.h"

#include <cstddef>
#include <cstdio> // jerror.h's message numbers come with jpeglib.h, which needs FILE first
#include <limits>

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic {

namespace {

// MP format tags and TIFF field types.
constexpr std::uint16_t kMpfVersion = 0xB000;
constexpr std::uint16_t kNumberOfImages = 0xB001;
constexpr std::uint16_t kMpEntry = 0xB002;
constexpr std::uint16_t kIndividualNumber = 0xB101;
constexpr std::uint16_t kUndefined = 7;
constexpr std::uint16_t kLong = 4;

constexpr std::uint32_t kRepresentative = 0x20000000; // attribute flag of the image shown first
constexpr std::uint32_t kDisparity = 0x020002;        // MP type Multi-frame Disparity
constexpr std::uint32_t kImages = 2;

constexpr std::size_t kTiffHeaderBytes = 8;
constexpr std::size_t kEntryBytes = 16;
constexpr std::size_t kIfdFieldBytes = 12;

// The size of an IFD of `fields` fields, with its count and its link to the next IFD.
constexpr std::size_t ifdBytes(std::size_t fields) {
    return 2 + fields * kIfdFieldBytes + 4;
}

// The first image's index: the index IFD, then the MP entries it points to, then its attribute
// IFD, which the index IFD links to.
constexpr std::size_t kEntriesAt = kTiffHeaderBytes + ifdBytes(3);
constexpr std::size_t kAttributesAt = kEntriesAt + kImages * kEntryBytes;

// An APP2 "MPF" segment's data, big-endian; offsets count from the TIFF header's first byte.
class MpfWriter {
public:
    MpfWriter() {
        bytes_ = {'M', 'P', 'F', 0, 'M', 'M', 0, 0x2A};
        u32(static_cast<std::uint32_t>(kTiffHeaderBytes)); // the first IFD follows the header
    }

    void u16(std::uint16_t v) {
        bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
        bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v >> 16));
        u16(static_cast<std::uint16_t>(v & 0xFFFF));
    }
    void field(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
        u16(tag);
        u16(type);
        u32(count);
        u32(value);
    }
    void version() {
        u16(kMpfVersion);
        u16(kUndefined);
        u32(4);
        bytes_.insert(bytes_.end(), {'0', '1', '0', '0'});
    }
    // An attribute IFD that ends the chain.
    void attributes(std::uint32_t individualNumber) {
        u16(2);
        version();
        field(kIndividualNumber, kLong, 1, individualNumber);
        u32(0);
    }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

std::vector<std::uint8_t> indexSegment() {
    MpfWriter w;
    w.u16(3);
    w.version();
    w.field(kNumberOfImages, kLong, 1, kImages);
    w.field(kMpEntry, kUndefined, static_cast<std::uint32_t>(kImages * kEntryBytes),
            static_cast<std::uint32_t>(kEntriesAt));
    w.u32(static_cast<std::uint32_t>(kAttributesAt));
    for (std::size_t i = 0; i < kImages * kEntryBytes / 4; ++i) {
        w.u32(0); // the entries, once the images' sizes are known
    }
    w.attributes(1);
    return w.take();
}

std::vector<std::uint8_t> attributeSegment(std::uint32_t individualNumber) {
    MpfWriter w;
    w.attributes(individualNumber);
    return w.take();
}

void put32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    }
}

std::uint32_t fits32(std::size_t value) {
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        throw Error(messages::jpegError(JERR_IMAGE_TOO_BIG));
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace

std::vector<std::uint8_t> makeMpo(std::span<const std::uint8_t> left,
                                  std::span<const std::uint8_t> leftExif,
                                  std::span<const std::uint8_t> right,
                                  std::span<const std::uint8_t> rightExif) {
    std::vector<std::uint8_t> mpo = withHeaderSegments(left, leftExif, indexSegment());
    const std::vector<std::uint8_t> second = withHeaderSegments(
        right, rightExif.empty() ? exifOf(right) : rightExif, attributeSegment(2));

    // The index's offsets count from its TIFF header, which the first image's walk finds.
    const std::size_t tiff = walkJpeg(mpo, 0, WalkTo::FirstScan).mpfPayload.value().offset;
    const std::uint32_t firstSize = fits32(mpo.size());
    const std::uint32_t secondSize = fits32(second.size());
    const std::uint32_t secondOffset = fits32(mpo.size() - tiff);
    const struct {
        std::uint32_t attributes, size, offset;
    } entries[kImages] = {{kRepresentative | kDisparity, firstSize, 0},
                          {kDisparity, secondSize, secondOffset}};
    std::uint8_t* entry = mpo.data() + tiff + kEntriesAt;
    for (const auto& e : entries) {
        put32(entry, e.attributes);
        put32(entry + 4, e.size);
        put32(entry + 8, e.offset);
        entry += kEntryBytes; // no dependent images: their two numbers stay 0
    }
    mpo.insert(mpo.end(), second.begin(), second.end());
    return mpo;
}

} // namespace duoptic
