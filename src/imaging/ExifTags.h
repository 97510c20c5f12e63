#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

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

// An unsigned fraction as EXIF stores exposure times, f-numbers and lengths. Neither part is 0:
// cameras write 0 for "not known", and x/0 is no number.
struct ExifRational {
    std::uint32_t numerator = 1;
    std::uint32_t denominator = 1;

    double value() const { return double(numerator) / double(denominator); }
    friend bool operator==(const ExifRational&, const ExifRational&) = default;
};

// What the camera recorded of the shot, for people to read. An empty text or an empty optional
// is a field the file lacks, or holds as a type or value that means nothing here.
struct ExifCamera {
    // Texts as stored up to their first NUL, at most kMaxTextBytes, control characters made
    // blanks, blanks at either end removed.
    static constexpr std::size_t kMaxTextBytes = 64;
    std::string make;                         // IFD0 Make
    std::string model;                        // IFD0 Model
    std::string taken;                        // DateTimeOriginal, as stored: "YYYY:MM:DD HH:MM:SS"
    std::optional<ExifRational> exposureTime; // seconds
    std::optional<ExifRational> fNumber;      // the aperture's f-number
    std::optional<std::uint32_t> iso;         // PhotographicSensitivity (ISOSpeedRatings)
    std::optional<ExifRational> focalLength;  // millimetres
    std::optional<std::uint32_t> focalLength35mm; // the same view on 35 mm film, millimetres

    friend bool operator==(const ExifCamera&, const ExifCamera&) = default;
};

// The EXIF fields the viewer acts on or shows.
struct ExifTags {
    std::optional<int> orientation; // 1 .. 8; a missing or unknown value gives nothing
    std::optional<CameraParallax> parallax;
    ExifCamera camera;
};

// Reads the EXIF of the JPEG image that starts at the first byte of `image`: its first APP1
// "Exif" segment before the scan data, the TIFF header there, IFD0's Orientation, Make and
// Model, and through the Exif IFD the shot's fields and the MakerNote of the makers above.
// Every offset and count is checked against the segment; a field that does not fit, or is of
// another type, is simply not there. The work is a walk over the image's headers and at most
// three IFDs: no chain of IFDs is followed.
ExifTags readExifTags(std::span<const std::uint8_t> image);

// The same for the data of an APP1 segment after "Exif\0\0": a TIFF header and what follows.
ExifTags readExifTiff(std::span<const std::uint8_t> tiff);

} // namespace duoptic
