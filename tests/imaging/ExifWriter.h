#pragma once

#include <cstdint>
#include <vector>

// EXIF made in memory: a big-endian TIFF whose IFD0 holds an Orientation and links to an Exif IFD
// whose MakerNote is Fujifilm's (always little-endian, offsets from the note) with one parallax.
namespace duoptic::testing {

// Where the writer puts things, from the TIFF header.
constexpr std::size_t kIfd0LinkAt = 4, kIfd0At = 8, kOrientationAt = 18, kExifIfdLinkAt = 30;
constexpr std::size_t kExifIfdAt = 38, kNoteCountAt = 44, kNoteLinkAt = 48, kNoteAt = 56;
constexpr std::size_t kNoteIfdLinkAt = kNoteAt + 8, kParallaxLinkAt = kNoteAt + 22;
constexpr std::size_t kParallaxAt = kNoteAt + 30, kExifEnd = kParallaxAt + 8;

inline std::vector<std::uint8_t> exifTiff(std::uint16_t orientation, std::int32_t numerator,
                                          std::int32_t denominator) {
    std::vector<std::uint8_t> t;
    auto be = [&t](std::uint32_t v, int bytes) {
        for (int i = bytes - 1; i >= 0; --i)
            t.push_back(std::uint8_t(v >> (8 * i)));
    };
    auto le = [&t](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            t.push_back(std::uint8_t(v >> (8 * i)));
    };
    t = {'M', 'M', 0, 42};
    be(kIfd0At, 4);
    be(2, 2);                                                        // IFD0: two entries
    be(0x0112, 2), be(3, 2), be(1, 4), be(orientation, 2), be(0, 2); // Orientation, SHORT
    be(0x8769, 2), be(4, 2), be(1, 4), be(kExifIfdAt, 4);            // Exif IFD, LONG
    be(0, 4);
    be(1, 2);                                                           // Exif IFD: one entry
    be(0x927C, 2), be(7, 2), be(kExifEnd - kNoteAt, 4), be(kNoteAt, 4); // MakerNote, UNDEFINED
    be(0, 4);
    for (char c : {'F', 'U', 'J', 'I', 'F', 'I', 'L', 'M'})
        t.push_back(std::uint8_t(c));
    le(12, 4), le(1, 2);                                              // the note's IFD: one entry
    le(0xB211, 2), le(10, 2), le(1, 4), le(kParallaxAt - kNoteAt, 4); // Parallax, SRATIONAL
    le(0, 4);
    le(std::uint32_t(numerator), 4), le(std::uint32_t(denominator), 4);
    return t;
}

// The JPEG with an APP1 "Exif" segment holding `tiff` right after its SOI.
inline std::vector<std::uint8_t> withExif(std::vector<std::uint8_t> jpeg,
                                          const std::vector<std::uint8_t>& tiff) {
    const std::size_t length = 2 + 6 + tiff.size();
    std::vector<std::uint8_t> segment{
        0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length), 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

} // namespace duoptic::testing
