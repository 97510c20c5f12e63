#include "imaging/ExifTags.h"

#include "imaging/JpegLayout.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

namespace duoptic {

namespace {

constexpr std::uint16_t kTagMake = 0x010F;
constexpr std::uint16_t kTagModel = 0x0110;
constexpr std::uint16_t kTagOrientation = 0x0112;
constexpr std::uint16_t kTagExifIfd = 0x8769;
constexpr std::uint16_t kTagExposureTime = 0x829A;
constexpr std::uint16_t kTagFNumber = 0x829D;
constexpr std::uint16_t kTagIso = 0x8827;
constexpr std::uint16_t kTagDateTimeOriginal = 0x9003;
constexpr std::uint16_t kTagFocalLength = 0x920A;
constexpr std::uint16_t kTagFocalLength35mm = 0xA405;
constexpr std::uint16_t kTagMakerNote = 0x927C;
constexpr std::uint16_t kTagFujifilmParallax = 0xB211;
constexpr std::uint16_t kTagNintendoCameraInfo = 0x1101;

constexpr std::uint16_t kTypeAscii = 2;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;
constexpr std::uint16_t kTypeRational = 5;
constexpr std::uint16_t kTypeUndefined = 7;
constexpr std::uint16_t kTypeSignedRational = 10;

constexpr std::size_t kEntryBytes = 12;
constexpr std::string_view kFujifilmSignature = "FUJIFILM"; // then the IFD's offset, 4 bytes
constexpr std::string_view kNintendoMake = "Nintendo";
constexpr std::size_t kNintendoParallaxAt = 40; // within the camera information block

// Bytes of one value of a TIFF field type; 0 for a type this reader does not know.
std::uint64_t typeBytes(std::uint16_t type) {
    switch (type) {
    case 1: // BYTE
    case 2: // ASCII
    case 6: // SBYTE
    case 7: // UNDEFINED
        return 1;
    case 3: // SHORT
    case 8: // SSHORT
        return 2;
    case 4:  // LONG
    case 9:  // SLONG
    case 11: // FLOAT
        return 4;
    case 5:  // RATIONAL
    case 10: // SRATIONAL
    case 12: // DOUBLE
        return 8;
    default:
        return 0;
    }
}

// Numbers of a TIFF structure in its byte order. Offsets count from the data's first byte; a
// read that does not fit gives nothing.
class TiffView {
public:
    TiffView(std::span<const std::uint8_t> data, bool bigEndian)
        : data_(data), bigEndian_(bigEndian) {}

    bool fits(std::uint64_t at, std::uint64_t bytes) const {
        return at <= data_.size() && bytes <= data_.size() - at;
    }

    std::optional<std::uint32_t> number(std::uint64_t at, std::size_t bytes) const {
        if (!fits(at, bytes)) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            const std::uint8_t byte = data_[at + (bigEndian_ ? i : bytes - 1 - i)];
            value = value << 8 | byte;
        }
        return value;
    }
    std::optional<std::uint32_t> u16(std::uint64_t at) const { return number(at, 2); }
    std::optional<std::uint32_t> u32(std::uint64_t at) const { return number(at, 4); }

    std::span<const std::uint8_t> bytes(std::size_t at, std::size_t count) const {
        return data_.subspan(at, count); // only for a range that fits
    }

private:
    std::span<const std::uint8_t> data_;
    bool bigEndian_;
};

// One field of an IFD: its type, its count and where its value lies, which fits in the data.
struct Field {
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::size_t valueAt = 0;
};

// The field `tag` of the IFD at `at`, the first of its kind; nothing when the IFD's entries or the
// field's value do not fit in the data, or its type is unknown.
std::optional<Field> findField(const TiffView& tiff, std::uint64_t at, std::uint16_t tag) {
    const std::optional<std::uint32_t> count = tiff.u16(at);
    if (!count || !tiff.fits(at + 2, *count * kEntryBytes)) {
        return std::nullopt;
    }
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::uint64_t entry = at + 2 + i * kEntryBytes;
        if (*tiff.u16(entry) != tag) {
            continue;
        }
        Field field{static_cast<std::uint16_t>(*tiff.u16(entry + 2)), *tiff.u32(entry + 4), 0};
        const std::uint64_t bytes = typeBytes(field.type) * field.count;
        const std::uint64_t valueAt = bytes <= 4 ? entry + 8 : *tiff.u32(entry + 8);
        if (typeBytes(field.type) == 0 || !tiff.fits(valueAt, bytes)) {
            return std::nullopt;
        }
        field.valueAt = static_cast<std::size_t>(valueAt);
        return field;
    }
    return std::nullopt;
}

std::optional<int> orientation(const TiffView& tiff, std::uint32_t ifd0) {
    const std::optional<Field> field = findField(tiff, ifd0, kTagOrientation);
    if (!field || field->type != kTypeShort || field->count < 1) {
        return std::nullopt;
    }
    const std::uint32_t value = *tiff.u16(field->valueAt);
    return value >= 1 && value <= 8 ? std::optional<int>(static_cast<int>(value)) : std::nullopt;
}

bool madeBy(const TiffView& tiff, std::uint32_t ifd0, std::string_view make) {
    const std::optional<Field> field = findField(tiff, ifd0, kTagMake);
    if (!field || field->type != kTypeAscii || field->count < make.size()) {
        return false;
    }
    const auto text = tiff.bytes(field->valueAt, make.size());
    return std::memcmp(text.data(), make.data(), make.size()) == 0;
}

// Fujifilm's MakerNote is an IFD of its own: always little-endian, its offsets counted from the
// note's first byte, which its signature's offset field locates.
std::optional<CameraParallax> fujifilmParallax(std::span<const std::uint8_t> note) {
    if (note.size() < kFujifilmSignature.size() + 4 ||
        std::memcmp(note.data(), kFujifilmSignature.data(), kFujifilmSignature.size()) != 0) {
        return std::nullopt;
    }
    const TiffView tiff(note, false);
    const std::optional<Field> field =
        findField(tiff, *tiff.u32(kFujifilmSignature.size()), kTagFujifilmParallax);
    if (!field || field->type != kTypeSignedRational || field->count < 1) {
        return std::nullopt;
    }
    const auto numerator = static_cast<std::int32_t>(*tiff.u32(field->valueAt));
    const auto denominator = static_cast<std::int32_t>(*tiff.u32(field->valueAt + 4));
    if (denominator == 0) {
        return std::nullopt;
    }
    return CameraParallax{ParallaxTag::Fujifilm, double(numerator) / double(denominator)};
}

// Nintendo's MakerNote is a plain IFD in the TIFF's byte order and offsets; its camera block
// holds its numbers little-endian whatever that order.
std::optional<CameraParallax> nintendoParallax(std::span<const std::uint8_t> tiffData,
                                               const TiffView& tiff, std::size_t noteAt) {
    const std::optional<Field> field = findField(tiff, noteAt, kTagNintendoCameraInfo);
    if (!field || field->type != kTypeUndefined || field->count < kNintendoParallaxAt + 4) {
        return std::nullopt;
    }
    const TiffView block(tiffData.subspan(field->valueAt, field->count), false);
    const float value = std::bit_cast<float>(*block.u32(kNintendoParallaxAt));
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return CameraParallax{ParallaxTag::Nintendo, value};
}

// Where the Exif IFD lies, as IFD0 links to it.
std::optional<std::uint32_t> exifIfdAt(const TiffView& tiff, std::uint32_t ifd0) {
    const std::optional<Field> link = findField(tiff, ifd0, kTagExifIfd);
    if (!link || link->type != kTypeLong || link->count < 1) {
        return std::nullopt;
    }
    return *tiff.u32(link->valueAt);
}

std::optional<CameraParallax> parallax(std::span<const std::uint8_t> tiffData, const TiffView& tiff,
                                       std::uint32_t ifd0, std::optional<std::uint32_t> exifIfd) {
    if (!exifIfd) {
        return std::nullopt;
    }
    const std::optional<Field> note = findField(tiff, *exifIfd, kTagMakerNote);
    if (!note || note->type != kTypeUndefined) {
        return std::nullopt;
    }
    if (auto fujifilm = fujifilmParallax(tiffData.subspan(note->valueAt, note->count))) {
        return fujifilm;
    }
    if (madeBy(tiff, ifd0, kNintendoMake)) {
        return nintendoParallax(tiffData, tiff, note->valueAt);
    }
    return std::nullopt;
}

// An ASCII field for people to read: up to its first NUL, at most kMaxTextBytes, control
// characters made blanks (they would break the lines it is shown in), trimmed.
std::string text(const TiffView& tiff, std::optional<std::uint32_t> ifd, std::uint16_t tag) {
    const std::optional<Field> field = ifd ? findField(tiff, *ifd, tag) : std::nullopt;
    if (!field || field->type != kTypeAscii) {
        return {};
    }
    std::string value;
    for (const std::uint8_t byte : tiff.bytes(field->valueAt, field->count)) {
        if (byte == 0 || value.size() == ExifCamera::kMaxTextBytes) {
            break;
        }
        value += byte < 0x20 || byte == 0x7F ? ' ' : static_cast<char>(byte);
    }
    const std::size_t first = value.find_first_not_of(' ');
    return first == std::string::npos
               ? std::string()
               : value.substr(first, value.find_last_not_of(' ') + 1 - first);
}

// The first value of a RATIONAL field, when neither of its parts is 0.
std::optional<ExifRational> rational(const TiffView& tiff, std::optional<std::uint32_t> ifd,
                                     std::uint16_t tag) {
    const std::optional<Field> field = ifd ? findField(tiff, *ifd, tag) : std::nullopt;
    if (!field || field->type != kTypeRational || field->count < 1) {
        return std::nullopt;
    }
    const ExifRational value{*tiff.u32(field->valueAt), *tiff.u32(field->valueAt + 4)};
    return value.numerator != 0 && value.denominator != 0 ? std::optional(value) : std::nullopt;
}

// The first value of a SHORT (or LONG) field, when it is not 0, which cameras write for "not
// known".
std::optional<std::uint32_t> unsignedValue(const TiffView& tiff, std::optional<std::uint32_t> ifd,
                                           std::uint16_t tag) {
    const std::optional<Field> field = ifd ? findField(tiff, *ifd, tag) : std::nullopt;
    if (!field || field->count < 1 || (field->type != kTypeShort && field->type != kTypeLong)) {
        return std::nullopt;
    }
    const std::uint32_t value =
        field->type == kTypeShort ? *tiff.u16(field->valueAt) : *tiff.u32(field->valueAt);
    return value != 0 ? std::optional(value) : std::nullopt;
}

ExifCamera camera(const TiffView& tiff, std::uint32_t ifd0, std::optional<std::uint32_t> exifIfd) {
    ExifCamera camera;
    camera.make = text(tiff, ifd0, kTagMake);
    camera.model = text(tiff, ifd0, kTagModel);
    camera.taken = text(tiff, exifIfd, kTagDateTimeOriginal);
    camera.exposureTime = rational(tiff, exifIfd, kTagExposureTime);
    camera.fNumber = rational(tiff, exifIfd, kTagFNumber);
    camera.iso = unsignedValue(tiff, exifIfd, kTagIso);
    camera.focalLength = rational(tiff, exifIfd, kTagFocalLength);
    camera.focalLength35mm = unsignedValue(tiff, exifIfd, kTagFocalLength35mm);
    return camera;
}

} // namespace

ExifTags readExifTiff(std::span<const std::uint8_t> tiffData) {
    ExifTags tags;
    if (tiffData.size() < 8) {
        return tags;
    }
    const bool little = tiffData[0] == 'I' && tiffData[1] == 'I';
    const bool big = tiffData[0] == 'M' && tiffData[1] == 'M';
    const TiffView tiff(tiffData, big);
    if ((!little && !big) || *tiff.u16(2) != 42) {
        return tags;
    }
    const std::uint32_t ifd0 = *tiff.u32(4);
    tags.orientation = orientation(tiff, ifd0);
    const std::optional<std::uint32_t> exifIfd = exifIfdAt(tiff, ifd0);
    tags.parallax = parallax(tiffData, tiff, ifd0, exifIfd);
    tags.camera = camera(tiff, ifd0, exifIfd);
    return tags;
}

ExifTags readExifTags(std::span<const std::uint8_t> image) {
    const JpegExtent headers = walkJpeg(image, 0, WalkTo::FirstScan);
    if (!headers.exifPayload) {
        return {};
    }
    return readExifTiff(image.subspan(headers.exifPayload->offset, headers.exifPayload->length));
}

} // namespace duoptic
