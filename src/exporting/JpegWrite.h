#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace duoptic {

// How a JPEG's colour is sampled, as libjpeg-turbo names the common cases.
enum class ChromaSampling { S444, S422, S420, S440, Grey, Other };

// The sampling of the JPEG image that starts at the first byte; Other where the header cannot be
// read.
ChromaSampling chromaSamplingOf(std::span<const std::uint8_t> jpeg);

// The size of the blocks (iMCU) a lossless crop must start on, for that sampling: 8 or 16 each way
// (16 x 16 for Other; cropJpegLosslessly itself goes by the image's own sampling).
struct McuSize {
    int width = 8;
    int height = 8;
};
McuSize mcuSizeOf(ChromaSampling sampling);

// A picture to encode, row by row: row(y, out) writes its `width` pixels of row y as 0xFFRRGGBB.
// Rows are asked for from the top down, each once.
struct RowSource {
    int width = 0;
    int height = 0;
    std::function<void(int y, std::uint32_t* out)> row;
};

struct EncodeOptions {
    int quality = 95; // 1 .. 100
    // S444, S422 and S420 are written as asked; the others as S420.
    ChromaSampling sampling = ChromaSampling::S420;
    // The data of an APP1 "Exif\0\0" segment after that header (a TIFF header and what follows),
    // written right after SOI; empty: no EXIF.
    std::span<const std::uint8_t> exif;
};

// A baseline JFIF JPEG of the picture. Throws Error when libjpeg refuses it, and
// DecodeCancelled when `cancel` is set while rows are encoded.
std::vector<std::uint8_t> encodeJpeg(const RowSource& picture, const EncodeOptions& options,
                                     const std::atomic<bool>* cancel = nullptr);

// The rectangle (left, top, width, height) of the JPEG image, without decoding it: the same DCT
// coefficients, so the same pixels as the source's rectangle (but for subsampled chroma, which
// the decoder's upsampling blends with what lay beyond the rectangle's edges). Nothing when left
// or top is not on an iMCU boundary of the image's own sampling, when the rectangle does not lie
// within the picture, or when TurboJPEG cannot read or transform the image (or warns of corrupt
// data): the caller then encodes the decoded pixels. The result holds no APPn segment of the
// source (it is given its EXIF by withHeaderSegments).
std::optional<std::vector<std::uint8_t>>
cropJpegLosslessly(std::span<const std::uint8_t> jpeg, int left, int top, int width, int height);

// The JPEG image with its own APP1 Exif and APP2 MPF segments taken out and, right after SOI (and
// after an APP0 JFIF segment, if there is one), an APP1 Exif segment with `exif` (when not empty)
// and an APP2 segment with `app2` (when not empty; the bytes after the length, "MPF\0..."
// included). Everything else, entropy-coded data included, is copied byte for byte, up to the
// image's EOI: what follows it (a trailer, another image) is left out. Throws Error when a
// segment does not fit in 65533 bytes or the image's headers cannot be walked up to a scan.
std::vector<std::uint8_t> withHeaderSegments(std::span<const std::uint8_t> jpeg,
                                             std::span<const std::uint8_t> exif,
                                             std::span<const std::uint8_t> app2 = {});

// The EXIF of an APP1 segment after "Exif\0\0", with IFD0's Orientation set to upright (1) where
// it has one (a single SHORT, in either byte order); everything else as it was.
std::vector<std::uint8_t> uprightExif(std::span<const std::uint8_t> exif);

// The EXIF (after "Exif\0\0") of the JPEG image that starts at the first byte; empty if none.
std::span<const std::uint8_t> exifOf(std::span<const std::uint8_t> jpeg);

// An MPO file of two JPEG images, left eye first: each is given an APP2 MPF segment (the first
// with the MP index: MPFVersion "0100", two entries typed multi-frame disparity, the first
// flagged as the representative image; both with their MP individual numbers 1 and 2 in their
// attribute IFDs), big-endian as cameras write it, by withHeaderSegments with the given EXIF.
// `leftExif` goes into the first image (none when empty); the second keeps its own APP1 (its
// `rightExif` when given). Throws Error as withHeaderSegments does.
std::vector<std::uint8_t> makeMpo(std::span<const std::uint8_t> left,
                                  std::span<const std::uint8_t> leftExif,
                                  std::span<const std::uint8_t> right,
                                  std::span<const std::uint8_t> rightExif);

} // namespace duoptic
