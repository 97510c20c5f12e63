#include "exporting/JpegWrite.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "imaging/JpegLayout.h"

#include <algorithm>
#include <cstddef>
#include <cstdio> // jerror.h's message numbers come with jpeglib.h, which needs FILE first
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic {

namespace {

constexpr std::uint8_t kSos = 0xDA;
constexpr std::uint8_t kApp0 = 0xE0;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint8_t kApp2 = 0xE2;
constexpr std::size_t kMaxSegmentData = 65533; // after the length field
constexpr std::uint8_t kExifSignature[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint8_t kMpfSignature[] = {'M', 'P', 'F', 0};
constexpr std::uint8_t kJfifSignature[] = {'J', 'F', 'I', 'F', 0};
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::size_t kIfdEntryBytes = 12;

// One marker segment before the first scan, with any fill bytes that stand before it.
struct Segment {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::uint8_t code = 0;
    std::span<const std::uint8_t> data; // after the length field; empty for a lone marker
};

struct Headers {
    std::vector<Segment> segments;
    std::size_t scan = 0; // where the first SOS (with its fill bytes) starts
};

[[noreturn]] void refuse(int code) {
    throw Error(messages::jpegError(code));
}

bool isLoneMarker(std::uint8_t code) {
    return code == 0x01 || (code >= 0xD0 && code <= 0xD7); // TEM, RSTn
}

// The segments from SOI to the first SOS. Every read is checked against `jpeg`.
Headers walkHeaders(std::span<const std::uint8_t> jpeg) {
    if (!startsJpeg(jpeg, 0)) {
        refuse(JERR_NO_SOI);
    }
    Headers headers;
    std::size_t at = 2;
    for (;;) {
        const std::size_t begin = at;
        while (at + 1 < jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] == 0xFF) {
            ++at;
        }
        if (at + 1 >= jpeg.size() || jpeg[at] != 0xFF) {
            refuse(JERR_NO_IMAGE); // cut, or not a marker: no scan to keep
        }
        const std::uint8_t code = jpeg[at + 1];
        if (code == kSos) {
            headers.scan = begin;
            return headers;
        }
        if (isLoneMarker(code)) {
            at += 2;
            headers.segments.push_back({begin, at, code, {}});
            continue;
        }
        if (code == 0x00 || code == 0xD8 || code == 0xD9 || jpeg.size() - at < 4) {
            refuse(JERR_NO_IMAGE);
        }
        const std::size_t length = std::size_t{jpeg[at + 2]} << 8 | jpeg[at + 3];
        if (length < 2 || length > jpeg.size() - at - 2) {
            refuse(JERR_BAD_LENGTH);
        }
        headers.segments.push_back(
            {begin, at + 2 + length, code, jpeg.subspan(at + 4, length - 2)});
        at += 2 + length;
    }
}

template <std::size_t N>
bool startsWith(std::span<const std::uint8_t> data, const std::uint8_t (&signature)[N]) {
    return data.size() >= N && std::equal(signature, signature + N, data.begin());
}

void appendSegment(std::vector<std::uint8_t>& out, std::uint8_t code,
                   std::span<const std::uint8_t> signature, std::span<const std::uint8_t> data) {
    const std::size_t length = 2 + signature.size() + data.size();
    out.insert(out.end(), {0xFF, code, static_cast<std::uint8_t>(length >> 8),
                           static_cast<std::uint8_t>(length & 0xFF)});
    out.insert(out.end(), signature.begin(), signature.end());
    out.insert(out.end(), data.begin(), data.end());
}

// Reads and writes numbers in the byte order a TIFF header names.
struct TiffOrder {
    bool big = false;

    std::uint32_t read(std::span<const std::uint8_t> at, std::size_t bytes) const {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            value |= std::uint32_t{at[big ? i : bytes - 1 - i]} << (8 * (bytes - 1 - i));
        }
        return value;
    }
    void write16(std::span<std::uint8_t> at, std::uint16_t value) const {
        at[big ? 0 : 1] = static_cast<std::uint8_t>(value >> 8);
        at[big ? 1 : 0] = static_cast<std::uint8_t>(value & 0xFF);
    }
};

// Where IFD0's Orientation value lies in `tiff`, if it has one of the type readers expect.
std::optional<std::size_t> orientationValueAt(std::span<const std::uint8_t> tiff,
                                              TiffOrder& order) {
    if (tiff.size() < 8 || tiff[0] != tiff[1] || (tiff[0] != 'I' && tiff[0] != 'M')) {
        return std::nullopt;
    }
    order.big = tiff[0] == 'M';
    if (order.read(tiff.subspan(2), 2) != 42) {
        return std::nullopt;
    }
    const std::size_t ifd = order.read(tiff.subspan(4), 4);
    if (ifd > tiff.size() - 2) {
        return std::nullopt;
    }
    const std::size_t count = order.read(tiff.subspan(ifd), 2);
    const std::size_t room = (tiff.size() - ifd - 2) / kIfdEntryBytes;
    for (std::size_t i = 0; i < std::min(count, room); ++i) {
        const std::span<const std::uint8_t> entry = tiff.subspan(ifd + 2 + i * kIfdEntryBytes);
        if (order.read(entry, 2) == kOrientationTag) {
            const bool plain = order.read(entry.subspan(2), 2) == kShortType &&
                               order.read(entry.subspan(4), 4) == 1;
            return plain ? std::optional(ifd + 2 + i * kIfdEntryBytes + 8) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<std::uint8_t> withHeaderSegments(std::span<const std::uint8_t> jpeg,
                                             std::span<const std::uint8_t> exif,
                                             std::span<const std::uint8_t> app2) {
    if (sizeof kExifSignature + exif.size() > kMaxSegmentData || app2.size() > kMaxSegmentData) {
        refuse(JERR_BAD_LENGTH);
    }
    const Headers headers = walkHeaders(jpeg);
    // Up to the EOI: what follows it (a trailer, another image) is not part of this image.
    const JpegExtent extent = walkJpeg(jpeg, 0, WalkTo::End);
    const std::size_t end = extent.end == JpegEnd::Complete && extent.endOffset > headers.scan
                                ? extent.endOffset
                                : jpeg.size();

    std::vector<std::uint8_t> out;
    out.reserve(end + exif.size() + app2.size() + 16);
    out.insert(out.end(), jpeg.begin(), jpeg.begin() + 2);
    std::size_t kept = 0;
    const std::vector<Segment>& segments = headers.segments;
    if (!segments.empty() && segments[0].code == kApp0 &&
        startsWith(segments[0].data, kJfifSignature)) {
        out.insert(out.end(), jpeg.begin() + segments[0].begin, jpeg.begin() + segments[0].end);
        kept = 1;
    }
    if (!exif.empty()) {
        appendSegment(out, kApp1, kExifSignature, exif);
    }
    if (!app2.empty()) {
        appendSegment(out, kApp2, {}, app2);
    }
    for (const Segment& s : std::span(segments).subspan(kept)) {
        const bool replaced = (s.code == kApp1 && startsWith(s.data, kExifSignature)) ||
                              (s.code == kApp2 && startsWith(s.data, kMpfSignature));
        if (!replaced) {
            out.insert(out.end(), jpeg.begin() + s.begin, jpeg.begin() + s.end);
        }
    }
    out.insert(out.end(), jpeg.begin() + headers.scan, jpeg.begin() + end);
    return out;
}

std::vector<std::uint8_t> uprightExif(std::span<const std::uint8_t> exif) {
    std::vector<std::uint8_t> out(exif.begin(), exif.end());
    TiffOrder order;
    if (const std::optional<std::size_t> at = orientationValueAt(exif, order)) {
        order.write16(std::span(out).subspan(*at), 1);
    }
    return out;
}

std::span<const std::uint8_t> exifOf(std::span<const std::uint8_t> jpeg) {
    const JpegExtent extent = walkJpeg(jpeg, 0, WalkTo::FirstScan);
    if (!extent.exifPayload) {
        return {};
    }
    return jpeg.subspan(extent.exifPayload->offset, extent.exifPayload->length);
}

} // namespace duoptic
