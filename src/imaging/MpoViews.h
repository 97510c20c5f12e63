#pragma once

#include "base/FileIdentity.h"
#include "base/FileRead.h"
#include "imaging/ByteRange.h"
#include "imaging/DecodeCancelled.h"
#include "imaging/JpegLayout.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace duoptic {

// The two JPEG images of a stereo MPO file that are shown, as byte ranges of the file.
struct MpoViews {
    ByteRange left;
    ByteRange right;
};

// Finds the left and right views of an MPO file held in memory.
//
// The first image's APP2 "MPF" index decides: its Multi-frame Disparity images are the views,
// left to right (by their MP Individual Image Number where every one has it, else in index
// order), and the first two are taken. An index of exactly two images gives those two, the first
// on the left, when one of its images is typed as a disparity or multi-angle view, or else when
// both have the same pixel size in their frame headers; neither may be a large thumbnail. Where
// the index is missing, unreadable or wrong (no TIFF header, a loop of IFDs, an impossible image
// count, a view outside the file, not on an FF D8 FF, or overlapping another), the second JPEG
// that follows the first image's end is the right view.
//
// Throws Error naming `pathForMessages` when neither finds two images, when the index lists
// images of which no two are views, or when the second image is cut off before its first scan.
// An image cut within its scan data is left to libjpeg, which decodes what is there.
//
// The work is bounded by a constant times the file's size, however the index repeats its
// entries. With a watch, its steps count that work and its cancel flag stops it: DecodeCancelled.
MpoViews findMpoViews(std::span<const std::uint8_t> file, const std::string& pathForMessages,
                      WalkWatch* watch = nullptr);

// An MPO file read once, to be decoded on two threads by two decoders without a copy:
//   const MpoFile mpo = readMpoFile(path);
//   decoderA.readShared(mpo.bytes, mpo.views.left);
//   decoderB.readShared(mpo.bytes, mpo.views.right);
struct MpoFile {
    std::shared_ptr<const FileBytes> bytes;
    MpoViews views;
    FileIdentity identity; // of the file as it was read
};

// Reads the whole file (errors as for any file read) and finds its views. A background reader
// passes a cancel flag (null: none): once set, the read or the search for the views throws
// DecodeCancelled.
MpoFile readMpoFile(const std::string& path, const std::atomic<bool>* cancel = nullptr);

} // namespace duoptic
