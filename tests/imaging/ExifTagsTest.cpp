#include "ExifWriter.h"
#include "JpegWriter.h"
#include "support/TestFiles.h"

#include "imaging/ExifTags.h"
#include "imaging/MpoViews.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

using namespace testing;
using Bytes = std::vector<std::uint8_t>;

Bytes patched(Bytes tiff, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        tiff[at + i] = std::uint8_t(value >> (8 * (3 - i)));
    }
    return tiff;
}

TEST(ExifTags, RealFilesGiveTheirOrientationAndTheCameraParallax) {
    EXPECT_EQ(readExifTags(fileBytes(testData("jpeg/hopper_orientation_6.jpg"))).orientation, 6);
    const Bytes mpo = fileBytes(testData("stereo/sugarshack.mpo"));
    const ByteRange second = findMpoViews(mpo, "sugarshack.mpo").right;
    const auto parallax =
        readExifTags(std::span(mpo).subspan(second.offset, second.length)).parallax;
    ASSERT_TRUE(parallax);
    EXPECT_EQ(parallax->tag, ParallaxTag::Nintendo);
    EXPECT_NEAR(parallax->stored, -44.80, 0.005); // as the maker-note tables print it
}

TEST(ExifTags, AFujifilmParallaxIsReadLittleEndianInABigEndianFile) {
    const ExifTags tags = readExifTags(withExif(patternJpeg(8, 8), exifTiff(8, -7, 2)));
    EXPECT_EQ(tags.orientation, 8);
    EXPECT_EQ(tags.parallax, (CameraParallax{ParallaxTag::Fujifilm, -3.5}));
}

// The reader sees only the first n bytes, while the rest of the TIFF still lies beyond them in
// memory: a read past its data would find the fields there.
TEST(ExifTags, ACutTiffGivesOnlyWhatLiesWithinIt) {
    const Bytes tiff = exifTiff(3, 5, 1);
    for (std::size_t n = 0; n < tiff.size(); ++n) {
        const ExifTags tags = readExifTiff(std::span(tiff).first(n));
        EXPECT_FALSE(tags.parallax) << n;
        EXPECT_TRUE(!tags.orientation || tags.orientation == 3) << n;
    }
}

TEST(ExifTags, HostileOffsetsAndValuesGiveNoTag) {
    struct Row {
        std::size_t at;
        std::uint32_t value;
        bool orientation, parallax; // still read
    };
    for (const Row& row : {
             Row{kIfd0LinkAt, 0xFFFFFFF0, false, false},
             Row{kIfd0At, 0xFFFF0000, false, false},
             Row{kOrientationAt, 0x00090000, false, true},
             Row{kExifIfdLinkAt, 0xFFFFFFFF, true, false},
             Row{kExifIfdLinkAt, kIfd0At, true, false}, // IFD0 again: no MakerNote there
             Row{kNoteCountAt, 0x7FFFFFFF, true, false},
             Row{kNoteLinkAt, 0xFFFFFFFC, true, false},
             Row{kNoteIfdLinkAt, 0xFFFFFFFF, true, false},
             Row{kParallaxLinkAt, 0xFFFFFFF8, true, false},
             Row{kParallaxAt + 4, 0, true, false},
         }) {
        const ExifTags tags = readExifTiff(patched(exifTiff(6, 1, 1), row.at, row.value));
        EXPECT_EQ(tags.orientation.has_value(), row.orientation) << row.at;
        EXPECT_EQ(tags.parallax.has_value(), row.parallax) << row.at;
    }
}

} // namespace
} // namespace duoptic
