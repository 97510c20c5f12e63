#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace duoptic {

// The multi-picture index that an MPO file keeps in its first image's APP2 "MPF" segment: a TIFF
// header ("II*\0" or "MM\0*"), then IFDs whose tags describe the images of the file.
constexpr std::uint32_t kMpTypeMask = 0x00FFFFFF;
constexpr std::uint32_t kMpTypeDisparity = 0x020002;  // Multi-frame Disparity: one stereo view
constexpr std::uint32_t kMpTypeMultiAngle = 0x020003; // Multi-frame Multi-Angle
constexpr std::uint32_t kMpTypeLargeThumbnailVga = 0x010001;
constexpr std::uint32_t kMpTypeLargeThumbnailFullHd = 0x010002;

struct MpEntry {
    std::uint32_t attributes = 0; // flags in the top byte, MP type code in the low 24 bits
    std::uint32_t size = 0;       // bytes
    std::uint32_t offset = 0;     // from the TIFF header's first byte; 0 for the first image
};

// What makes an index unusable.
enum class MpfFault {
    None,
    BadHeader,  // no TIFF byte order mark, or an IFD that does not fit the segment
    OffsetLoop, // the chain of IFDs comes back to one already read
    BadCount,   // an image count that the segment cannot hold, or one that the entries contradict
    NoEntries,  // no MP Entry tag
};

struct MpfIndex {
    MpfFault fault = MpfFault::None;
    std::vector<MpEntry> entries; // of the MP Index IFD, in index order
    // MP Individual Image Number of the image whose segment this is, where it gives one.
    std::optional<std::uint32_t> individualNumber;
};

// Reads the segment's data after "MPF\0". Every read is checked against `tiff`.
MpfIndex readMpfIndex(std::span<const std::uint8_t> tiff);

// Reads only the MP Individual Image Number from an image's MPF segment data.
std::optional<std::uint32_t> readIndividualNumber(std::span<const std::uint8_t> tiff);

} // namespace duoptic
