#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// MPO files made in memory from JPEG files, for tests and benchmarks.
namespace duoptic::testing {

constexpr std::uint32_t kDisparityView = 0x020002;   // MP type Multi-frame Disparity
constexpr std::uint32_t kBaselinePrimary = 0x030000; // MP type Baseline MP Primary Image
constexpr std::uint32_t kUndefinedType = 0x000000;
constexpr std::uint32_t kMultiAngleView = 0x020003; // MP type Multi-frame Multi-Angle
constexpr std::uint32_t kLargeThumbnail = 0x010001; // MP type Large Thumbnail (VGA)

struct MpoImage {
    MpoImage(std::vector<std::uint8_t> jpeg_, std::uint32_t attributes_ = kDisparityView,
             std::optional<std::uint32_t> individualNumber_ = std::nullopt)
        : jpeg(std::move(jpeg_)), attributes(attributes_), individualNumber(individualNumber_) {}

    std::vector<std::uint8_t> jpeg;
    std::uint32_t attributes;                      // MP type in the low 24 bits
    std::optional<std::uint32_t> individualNumber; // MPIndividualNum, where given
};

struct MpoOptions {
    bool bigEndian = true;
    std::optional<std::uint32_t> claimedCount; // NumberOfImages, when it is to lie
};

// Each image gets an APP2 "MPF" segment right after its SOI. The first image's holds, after the
// TIFF header (8 bytes), the MP Index IFD (42 bytes, at 8), the MP Entry records (16 bytes each,
// at 50) and its MP Attribute IFD, whose offset ends the index IFD (at 46). The others hold the
// header and their attribute IFD.
struct Mpo {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> starts; // where each image starts
    std::size_t tiffStart = 0;       // of the first image's index: entry offsets count from it
};

Mpo writeMpo(const std::vector<MpoImage>& images, const MpoOptions& options = {});

// Writes a number into an MPO's index in the file's byte order, at `at` from the TIFF header.
void patchIndex(Mpo& mpo, std::size_t at, std::uint32_t value, bool bigEndian = true);

constexpr std::size_t kCountAt = 30;    // NumberOfImages' value within the index IFD
constexpr std::size_t kNextIfdAt = 46;  // the index IFD's link to the attribute IFD
constexpr std::size_t kEntriesAt = 50;  // the first MP Entry record
constexpr std::size_t kEntrySizeAt = 4; // within a record
constexpr std::size_t kEntryOffsetAt = 8;

} // namespace duoptic::testing
