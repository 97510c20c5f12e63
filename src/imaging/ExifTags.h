#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace duoptic {

// Which maker's tag a camera parallax was read from. Neither maker documents the unit of its
// value, so it is handed on as stored and named by where it came from. The MPF attributes of a
// stereo view (convergence angle, baseline length) are angles and lengths of the rig, not a shift
// in pixels, and cameras often write them as unknown; they are not read.
enum class ParallaxTag {
    Fujifilm, // MakerNote tag 0xB211, a signed rational, in the second image of an MPO
    Nintendo, // MakerNote tag 0x1101 (a block), a little-endian float at byte 40
};

struct CameraParallax {
    ParallaxTag tag = ParallaxTag::Fujifilm;
    double stored = 0; // the value as the file holds it

    friend bool operator==(const CameraParallax&, const CameraParallax&) = default;
};

// The few EXIF fields the viewer acts on.
struct ExifTags {
    std::optional<int> orientation; // 1 .. 8; a missing or unknown value gives nothing
    std::optional<CameraParallax> parallax;
};

// Reads the EXIF of the JPEG image that starts at the first byte of `image`: its first APP1
// "Exif" segment before the scan data, the TIFF header there, IFD0's Orientation, and through
// the Exif IFD the MakerNote of the makers above. Every offset and count is checked against the
// segment; a field that does not fit, or is of another type, is simply not there. The work is a
// walk over the image's headers and at most three IFDs: no chain of IFDs is followed.
ExifTags readExifTags(std::span<const std::uint8_t> image);

// The same for the data of an APP1 segment after "Exif\0\0": a TIFF header and what follows.
ExifTags readExifTiff(std::span<const std::uint8_t> tiff);

} // namespace duoptic
