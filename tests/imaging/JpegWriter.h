#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Small JPEG files made in memory with libjpeg's compressor, so tests and benchmarks need no
// committed pictures.
namespace duoptic::testing {

enum class JpegKind {
    Colour,    // 3 bytes a pixel: R, G, B
    Grey,      // 1 byte a pixel
    Cmyk,      // 4 bytes a pixel, stored as given (Adobe's inverted convention), Adobe marker
    Ycck,      // the same, transformed to YCCK by libjpeg
    PlainCmyk, // 4 bytes a pixel, stored as given, no Adobe marker: plain, not inverted, CMYK
};

struct JpegOptions {
    int width = 16;
    int height = 16;
    JpegKind kind = JpegKind::Colour;
    int quality = 95;
    bool progressive = false;
    bool fullChroma = false; // every component at full resolution (4:4:4)
};

// Fills row y: width * components bytes.
using RowFiller = std::function<void(int y, std::uint8_t* row)>;

std::vector<std::uint8_t> writeJpeg(const JpegOptions& options, const RowFiller& fill);

// Every pixel the same; `pixel` holds as many bytes as the kind has components.
std::vector<std::uint8_t> writeSolidJpeg(const JpegOptions& options,
                                         const std::vector<std::uint8_t>& pixel);

// A colour picture with some structure at every pixel, so that damage to the data shows.
std::vector<std::uint8_t> patternJpeg(int width, int height, bool progressive = false);

// Offset of the first marker 0xFF `code` (SOF0 0xC0, SOS 0xDA...), or -1.
long findMarker(const std::vector<std::uint8_t>& jpeg, std::uint8_t code, long from = 0);

// A progressive grey picture whose header libjpeg accepts but whose second scan it rejects as
// fatal (spectral selection past 63): it fails when it is decoded, not when it is read.
std::vector<std::uint8_t> jpegFailingInItsData(int width, int height);

// The same file with other dimensions in its baseline or progressive frame header (SOF0, SOF2),
// and not the data to fill them: what a decoder must refuse or bound. Throws without either.
std::vector<std::uint8_t> withFrameSize(std::vector<std::uint8_t> jpeg, int width, int height);

} // namespace duoptic::testing
