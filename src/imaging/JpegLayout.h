#pragma once

#include "imaging/ByteRange.h"

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

struct JpegExtent {
    JpegEnd end = JpegEnd::NotJpeg;
    // One past the EOI when Complete; else where the walk had to stop: the file's end, the
    // first byte that is no marker of this image (the next image may start there), or the start
    // of a segment that does not fit in the file.
    std::size_t endOffset = 0;
    std::optional<ByteRange> mpfPayload; // the first APP2 "MPF\0" segment's data after "MPF\0"
};

enum class WalkTo {
    FirstScan, // headers only: stops where the first scan's data begins (end stays CutInData)
    End,
};

// Walks the image that starts at `start`. Every read is bounds-checked against `file`.
JpegExtent walkJpeg(std::span<const std::uint8_t> file, std::size_t start, WalkTo until);

// Whether a JPEG image starts at `offset`: FF D8 FF.
bool startsJpeg(std::span<const std::uint8_t> file, std::size_t offset);

// The offset of the next FF D8 FF at or after `from`, if any.
std::optional<std::size_t> findJpegStart(std::span<const std::uint8_t> file, std::size_t from);

} // namespace duoptic
