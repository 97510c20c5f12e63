#include "JpegWriter.h"
#include "MpoWriter.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include "imaging/ExifTags.h"
#include "imaging/MpoViews.h"
#include "loading/PairLoading.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

using namespace testing;
using Bytes = std::vector<std::uint8_t>;

// EXIF made in memory: a big-endian TIFF whose IFD0 holds an Orientation and links to an Exif IFD
// whose MakerNote is Fujifilm's (little-endian, offsets from the note) with one parallax. Where
// its links, values and counts lie, from the TIFF header:
constexpr std::size_t kIfd0LinkAt = 4, kExifIfdLinkAt = 30, kNoteLinkAt = 48, kNoteIfdLinkAt = 64;
constexpr std::size_t kParallaxLinkAt = 78, kOrientationAt = 18, kNoteCountAt = 44;
constexpr std::size_t kIfd0At = 8, kParallaxAt = 86;

Bytes exifTiff(int orientation, std::int32_t halves) { // the parallax in halves
    // clang-format off
    return {
        'M', 'M', 0, 42, 0, 0, 0, 8, 0, 2,                             // header, IFD0: 2 entries
        0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, std::uint8_t(orientation), 0, 0, // Orientation, SHORT
        0x87, 0x69, 0, 4, 0, 0, 0, 1, 0, 0, 0, 38, 0, 0, 0, 0,         // Exif IFD, LONG
        0, 1, 0x92, 0x7C, 0, 7, 0, 0, 0, 38, 0, 0, 0, 56, 0, 0, 0, 0,  // MakerNote, UNDEFINED
        'F', 'U', 'J', 'I', 'F', 'I', 'L', 'M', 12, 0, 0, 0, 1, 0,     // the note's IFD
        0x11, 0xB2, 10, 0, 1, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0,        // Parallax, SRATIONAL
        std::uint8_t(halves), std::uint8_t(halves >> 8), std::uint8_t(halves >> 16),
        std::uint8_t(halves >> 24), 2, 0, 0, 0};
    // clang-format on
}

// The JPEG with an APP1 "Exif" segment holding `tiff` right after its SOI.
Bytes withExif(Bytes jpeg, const Bytes& tiff) {
    const std::size_t length = 8 + tiff.size();
    Bytes segment{0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length), 'E', 'x', 'i', 'f',
                  0,    0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

TEST(ExifTags, RealFilesGiveTheirOrientationAndParallax) {
    EXPECT_EQ(readExifTags(fileBytes(testData("jpeg/hopper_orientation_6.jpg"))).orientation, 6);
    const Bytes mpo = fileBytes(testData("stereo/sugarshack.mpo"));
    const ByteRange second = findMpoViews(mpo, "sugarshack.mpo").right;
    const auto nintendo = readExifTags(std::span(mpo).subspan(second.offset, second.length));
    ASSERT_EQ(nintendo.parallax.value_or(CameraParallax{}).tag, ParallaxTag::Nintendo);
    EXPECT_NEAR(nintendo.parallax->stored, -44.80, 0.005); // as the maker-note tables print it
}

TEST(ExifTags, HostileOffsetsAndValuesGiveNoTag) {
    using Row = std::tuple<std::size_t, std::uint32_t, bool, bool>; // a value written, what is read
    for (const auto& [at, value, orientation, parallax] : {
             Row{kIfd0LinkAt, 0xFFFFFFF0, false, false}, Row{kIfd0At, 0xFFFF0000, false, false},
             Row{kOrientationAt, 0x00090000, false, true},
             Row{kExifIfdLinkAt, 0xFFFFFFFF, true, false},
             Row{kExifIfdLinkAt, kIfd0At, true, false}, // IFD0 again: no MakerNote there
             Row{kNoteCountAt, 0x7FFFFFFF, true, false}, Row{kNoteLinkAt, 0xFFFFFFFC, true, false},
             Row{kNoteIfdLinkAt, 0xFFFFFFFF, true, false},
             Row{kParallaxLinkAt, 0xFFFFFFF8, true, false},
             Row{kParallaxAt + 4, 0, true, false}, // a denominator of 0
         }) {
        Bytes tiff = exifTiff(6, 1);
        for (int i = 0; i < 4; ++i) {
            tiff[at + i] = std::uint8_t(value >> (24 - 8 * i));
        }
        EXPECT_EQ(readExifTiff(tiff).orientation.has_value(), orientation) << at;
        EXPECT_EQ(readExifTiff(tiff).parallax.has_value(), parallax) << at;
    }
}

enum Side { Top, Bottom, Left, Right };
// Where the stored row 0 and column 0 lie in the upright picture, as EXIF defines orientations.
constexpr std::pair<Side, Side> kRow0Column0[] = {
    {},          {Top, Left},  {Top, Right},    {Bottom, Right}, {Bottom, Left},
    {Left, Top}, {Right, Top}, {Right, Bottom}, {Left, Bottom}};

void expectUpright(const Raster& upright, const Raster& stored, int orientation) {
    const auto [row0, column0] = kRow0Column0[orientation];
    const bool rowsStand = row0 == Left || row0 == Right;
    ASSERT_EQ(upright.width(), rowsStand ? stored.height() : stored.width()) << orientation;
    ASSERT_EQ(upright.height(), rowsStand ? stored.width() : stored.height()) << orientation;
    for (int sy = 0; sy < stored.height(); ++sy) {
        for (int sx = 0; sx < stored.width(); ++sx) {
            int x = 0, y = 0;
            for (const auto& [side, distance] : {std::pair{row0, sy}, std::pair{column0, sx}}) {
                int& at = side == Top || side == Bottom ? y : x;
                const int size = &at == &y ? upright.height() : upright.width();
                at = side == Top || side == Left ? distance : size - 1 - distance;
            }
            ASSERT_EQ(upright.pixel(x, y), stored.pixel(sx, sy)) << orientation << " " << sx;
        }
    }
}

std::shared_ptr<const Picture> decoded(const Bytes& jpeg) {
    JpegDecoder decoder;
    decoder.readMemory(jpeg);
    return decoder.picture();
}

PairRasters load(const TempFolder& folder, const std::string& name, PairKind kind,
                 const Bytes& file, bool orientJpegPairs = false) {
    JpegDecoder a, b;
    PairRasters rasters;
    const PairEntry entry{folder.file("p"), "p", kind, folder.write(name, file)};
    readPairInto(a, b, pairRequest(entry, ViewerSides::Parallel, {orientJpegPairs, false}),
                 rasters);
    return rasters;
}

// A camera held upside down (or mirrored) took the right eye's view with its left lens.
TEST(PairOrientation, AnMpoIsTurnedAsItsFirstImageSaysAndCarriesItsParallax) {
    TempFolder folder;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const Bytes first = withExif(patternJpeg(20, 12), exifTiff(orientation, 0));
        const Bytes second = withExif(patternJpeg(24, 12), exifTiff(1, -7)); // a wider one
        const PairRasters rasters =
            load(folder, "p.mpo", PairKind::Multi, writeMpo({first, second}).bytes);
        const bool exchanged = orientation == 2 || orientation == 3;
        const Raster stored[] = {Raster::whole(decoded(first)), Raster::whole(decoded(second))};
        expectUpright(rasters.left, stored[exchanged], orientation);
        expectUpright(rasters.right, stored[!exchanged], orientation);
        EXPECT_EQ(rasters.facts.cameraParallax, (CameraParallax{ParallaxTag::Fujifilm, -3.5}));
    }
}

// A JPS keeps its two views side by side, each turned; the JPEG kinds only on the user's word.
TEST(PairOrientation, SideBySideFilesAreTurnedHalfByHalf) {
    TempFolder folder;
    const Bytes file = withExif(patternJpeg(40, 12), exifTiff(6, 0));
    const SplitHalves halves = splitSideBySide(decoded(file));
    PairRasters jps = load(folder, "p.jps", PairKind::Crossing, file);
    expectUpright(jps.left, halves.right, 6);
    expectUpright(jps.right, halves.left, 6);
    for (const int orientJpegPairs : {0, 1}) {
        PairRasters dup = load(folder, "p_DUP.jpg", PairKind::Parallel, file, orientJpegPairs);
        expectUpright(dup.left, halves.left, orientJpegPairs ? 6 : 1);
        expectUpright(dup.right, halves.right, orientJpegPairs ? 6 : 1);
    }
}

} // namespace
} // namespace duoptic
