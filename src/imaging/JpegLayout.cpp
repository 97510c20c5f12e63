#include "imaging/JpegLayout.h"

#include "imaging/DecodeCancelled.h"

#include <algorithm>
#include <cstring>

namespace duoptic {

namespace {

constexpr std::uint8_t kSoi = 0xD8;
constexpr std::uint8_t kEoi = 0xD9;
constexpr std::uint8_t kSos = 0xDA;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint8_t kApp2 = 0xE2;
constexpr std::uint8_t kTem = 0x01;
constexpr std::size_t kMpfSignature = 4;  // "MPF\0"
constexpr std::size_t kExifSignature = 6; // "Exif\0\0"
constexpr std::size_t kFrameFields = 5;   // precision, height, width
// Bytes of a run passed between looks at the cancel flag.
constexpr std::size_t kRunBetweenLooks = std::size_t{1} << 20;

// Counts `steps` and stops the walk when its flag was set.
void step(WalkWatch& watch, std::uint64_t steps) {
    watch.steps += steps;
    if (watch.cancel != nullptr && watch.cancel->load(std::memory_order_relaxed)) {
        throw DecodeCancelled();
    }
}

bool isRestart(std::uint8_t code) {
    return code >= 0xD0 && code <= 0xD7;
}

// SOF0 to SOF15, except DHT (C4), JPG (C8) and DAC (CC), which share the range.
bool isFrameHeader(std::uint8_t code) {
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// Past the entropy-coded data that starts at `at`: the offset of the marker that ends it, or
// the file's size. Inside the data FF is followed by 00 (a stuffed byte) or a restart marker.
std::size_t skipScanData(std::span<const std::uint8_t> file, std::size_t at, WalkWatch& watch) {
    while (at < file.size()) {
        const std::size_t from = at;
        const std::size_t span = std::min(file.size() - at, kRunBetweenLooks);
        const void* ff = std::memchr(file.data() + at, 0xFF, span);
        if (ff == nullptr) {
            step(watch, span);
            at += span;
            continue;
        }
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(ff) - file.data());
        step(watch, at - from + 1);
        if (at + 1 >= file.size()) {
            return file.size();
        }
        const std::uint8_t next = file[at + 1];
        if (next != 0x00 && next != 0xFF && !isRestart(next)) {
            return at;
        }
        at += next == 0xFF ? 1 : 2; // a run of fill bytes may precede a marker
    }
    return file.size();
}

// Past any number of fill bytes FF that stand before a marker code.
std::size_t skipFill(std::span<const std::uint8_t> file, std::size_t at, WalkWatch& watch) {
    while (at + 1 < file.size() && file[at] == 0xFF && file[at + 1] == 0xFF) {
        const std::size_t from = at;
        const std::size_t until = std::min(file.size() - 1, at + kRunBetweenLooks);
        while (at < until && file[at] == 0xFF && file[at + 1] == 0xFF) {
            ++at;
        }
        step(watch, at - from);
    }
    return at;
}

bool isMpfSegment(std::span<const std::uint8_t> file, std::size_t payload, std::size_t length) {
    return length >= kMpfSignature && std::memcmp(file.data() + payload, "MPF", kMpfSignature) == 0;
}

bool isExifSegment(std::span<const std::uint8_t> file, std::size_t payload, std::size_t length) {
    return length >= kExifSignature &&
           std::memcmp(file.data() + payload, "Exif\0", kExifSignature) == 0;
}

FrameSize frameSize(std::span<const std::uint8_t> file, std::size_t payload) {
    return {std::uint32_t{file[payload + 3]} << 8 | file[payload + 4],
            std::uint32_t{file[payload + 1]} << 8 | file[payload + 2]};
}

} // namespace

bool startsJpeg(std::span<const std::uint8_t> file, std::size_t offset) {
    return offset < file.size() && file.size() - offset >= 3 && file[offset] == 0xFF &&
           file[offset + 1] == kSoi && file[offset + 2] == 0xFF;
}

std::optional<std::size_t> findJpegStart(std::span<const std::uint8_t> file, std::size_t from,
                                         WalkWatch* watch) {
    WalkWatch unwatched;
    WalkWatch& w = watch != nullptr ? *watch : unwatched;
    for (std::size_t at = from; at < file.size();) {
        const std::size_t span = std::min(file.size() - at, kRunBetweenLooks);
        const void* ff = std::memchr(file.data() + at, 0xFF, span);
        if (ff == nullptr) {
            step(w, span);
            at += span;
            continue;
        }
        const std::size_t found =
            static_cast<std::size_t>(static_cast<const std::uint8_t*>(ff) - file.data());
        step(w, found - at + 1);
        if (startsJpeg(file, found)) {
            return found;
        }
        at = found + 1;
    }
    return std::nullopt;
}

JpegExtent walkJpeg(std::span<const std::uint8_t> file, std::size_t start, WalkTo until,
                    WalkWatch* watch) {
    WalkWatch unwatched;
    WalkWatch& w = watch != nullptr ? *watch : unwatched;
    JpegExtent extent;
    if (!startsJpeg(file, start)) {
        return extent;
    }
    bool scanned = false; // a scan's data has begun: from then on the headers are complete
    // Where the walk cannot go on: the image is taken to end there.
    const auto stopAt = [&extent, &scanned](std::size_t at) {
        extent.end = scanned ? JpegEnd::CutInData : JpegEnd::CutInHeaders;
        extent.endOffset = at;
        return extent;
    };
    std::size_t at = start + 2;
    for (;;) {
        at = skipFill(file, at, w);
        if (at + 1 >= file.size()) {
            return stopAt(file.size());
        }
        step(w, 1);
        const std::uint8_t code = file[at + 1];
        if (file[at] != 0xFF || code == kSoi || code == 0x00) {
            return stopAt(at); // not a marker of this image: perhaps the next image's start
        }
        const std::size_t marker = at;
        at += 2;
        if (code == kEoi) {
            extent.end = JpegEnd::Complete;
            extent.endOffset = at;
            return extent;
        }
        if (isRestart(code) || code == kTem) {
            at = skipScanData(file, at, w); // markers without a length
            continue;
        }
        const std::size_t length =
            at + 2 <= file.size() ? std::size_t{file[at]} << 8 | file[at + 1] : std::size_t{0};
        if (length < 2 || length > file.size() - at) {
            return stopAt(marker);
        }
        const std::size_t payload = at + 2;
        if (code == kApp2 && !scanned && !extent.mpfPayload &&
            isMpfSegment(file, payload, length - 2)) {
            extent.mpfPayload = ByteRange{payload + kMpfSignature, length - 2 - kMpfSignature};
        }
        if (code == kApp1 && !scanned && !extent.exifPayload &&
            isExifSegment(file, payload, length - 2)) {
            extent.exifPayload = ByteRange{payload + kExifSignature, length - 2 - kExifSignature};
        }
        if (isFrameHeader(code) && !extent.frame && length - 2 >= kFrameFields) {
            extent.frame = frameSize(file, payload);
        }
        at += length;
        if (code == kSos) {
            scanned = true;
            if (until == WalkTo::FirstScan) {
                return stopAt(file.size());
            }
            at = skipScanData(file, at, w);
        }
    }
}

} // namespace duoptic
