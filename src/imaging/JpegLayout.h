#pragma once

#include "imaging/ByteRange.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace duoptic {

// Where one JPEG image of a file lies, found by walking its marker segments and its entropy-coded
// data, as several images stored one after another (an MPO file) must be told apart.
enum class JpegEnd {
    Complete,     // ends with its EOI marker
    CutInData,    // no EOI after the first scan's data began: libjpeg decodes what is there
    CutInHeaders, // the file ends, or a segment is broken, before the first scan's data
    NotJpeg,      // no FF D8 FF at the start
};

// The picture size that a frame header (SOF) gives.
struct FrameSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    friend bool operator==(const FrameSize&, const FrameSize&) = default;
};

struct JpegExtent {
    JpegEnd end = JpegEnd::NotJpeg;
    // One past the EOI when Complete; else where the walk had to stop: the file's end, the
    // first byte that is no marker of this image (the next image may start there), or the start
    // of a segment that does not fit in the file.
    std::size_t endOffset = 0;
    std::optional<ByteRange> mpfPayload;  // the first APP2 "MPF\0" segment's data after "MPF\0"
    std::optional<ByteRange> exifPayload; // the first APP1 "Exif\0\0" segment's data after it
    std::optional<FrameSize> frame;       // from the first frame header, when the walk met one
};

// What the walks over one file share. The count lets a caller bound the work done on a file by
// its size, and shows that work to tests; the flag lets another thread stop a walk.
struct WalkWatch {
    const std::atomic<bool>* cancel = nullptr; // when set, a walk throws DecodeCancelled
    std::uint64_t steps = 0; // bytes of fill and of scan data passed, and segments passed
};

enum class WalkTo {
    FirstScan, // headers only: stops where the first scan's data begins (end stays CutInData)
    End,
};

// Walks the image that starts at `start`. Every read is bounds-checked against `file`.
JpegExtent walkJpeg(std::span<const std::uint8_t> file, std::size_t start, WalkTo until,
                    WalkWatch* watch = nullptr);

// Whether a JPEG image starts at `offset`: FF D8 FF.
bool startsJpeg(std::span<const std::uint8_t> file, std::size_t offset);

// The offset of the next FF D8 FF at or after `from`, if any.
std::optional<std::size_t> findJpegStart(std::span<const std::uint8_t> file, std::size_t from,
                                         WalkWatch* watch = nullptr);

} // namespace duoptic
