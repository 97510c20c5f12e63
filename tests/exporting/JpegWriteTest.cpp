#include "JpegWriter.h"
#include "support/TestFiles.h"

#include "base/Error.h"
#include "exporting/JpegWrite.h"
#include "imaging/DecodeCancelled.h"
#include "imaging/ExifTags.h"
#include "imaging/JpegDecoder.h"
#include "imaging/JpegLayout.h"
#include "imaging/MpfIndex.h"
#include "imaging/MpoViews.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numeric>
#include <tuple>

namespace duoptic {
namespace {

using testing::fileBytes;
using testing::testData;
using Bytes = std::vector<std::uint8_t>;

std::shared_ptr<const Picture> decode(const Bytes& jpeg) {
    JpegDecoder decoder;
    decoder.readMemory(jpeg);
    return decoder.picture();
}

std::uint32_t pixel(const Picture& p, int x, int y) {
    std::uint32_t v = 0;
    std::memcpy(&v, p.row(y) + 4 * x, 4);
    return v;
}

// From the first SOS on (past the EXIF, whose thumbnail has its own): never to be touched.
Bytes scanOf(std::span<const std::uint8_t> jpeg) {
    const Bytes all(jpeg.begin(), jpeg.end());
    const auto exif = walkJpeg(all, 0, WalkTo::FirstScan).exifPayload;
    return Bytes(all.begin() + testing::findMarker(all, 0xDA, exif ? long(exif->end()) : 0),
                 all.end());
}

Bytes part(const Bytes& file, ByteRange r) {
    return Bytes(file.begin() + static_cast<long>(r.offset),
                 file.begin() + static_cast<long>(r.end()));
}

const Bytes kLeft = fileBytes(testData("stereo/aloeL.jpg"));
const Bytes kRight = fileBytes(testData("stereo/aloeR.jpg"));
// IFD0 with one Orientation (6), in either byte order.
const Bytes kTiffMM = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 1, 0x12, 0,
                       3,   0,   0, 0,  1, 0, 6, 0, 0, 0, 0, 0,    0};
const Bytes kTiffII = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 1, 3,
                       0,   1,   0,  0, 0, 6, 0, 0, 0, 0, 0,    0, 0};

TEST(LosslessCrop, GivesTheSourcesPixelsFromBlockBoundariesOnly) {
    const auto fill = [](int y, std::uint8_t* row) {
        for (int x = 0; x < 3 * 77; ++x) {
            row[x] = static_cast<std::uint8_t>(x * x / 7 + y * 5);
        }
    };
    EXPECT_TRUE(exifOf(cropJpegLosslessly(kLeft, 0, 0, 8, 8).value()).empty());
    for (const bool full : {false, true}) {
        const Bytes source =
            testing::writeJpeg({77, 61, testing::JpegKind::Colour, 90, false, full}, fill);
        const McuSize mcu = mcuSizeOf(chromaSamplingOf(source));
        EXPECT_FALSE(cropJpegLosslessly(source, mcu.width / 2, 0, 20, 20));
        EXPECT_FALSE(cropJpegLosslessly(source, 0, mcu.height / 2, 20, 20));
        EXPECT_FALSE(cropJpegLosslessly(source, mcu.width, mcu.height, 78 - mcu.width, 20));
        const auto crop = cropJpegLosslessly(source, mcu.width, mcu.height, 41, 29);
        ASSERT_TRUE(crop);
        EXPECT_EQ(chromaSamplingOf(*crop), chromaSamplingOf(source));
        const auto whole = decode(source);
        const auto cut = decode(*crop);
        ASSERT_EQ(cut->width(), 41);
        ASSERT_EQ(cut->height(), 29);
        // Chroma shared with pixels outside the rectangle is smoothed differently at its edges.
        const int edge = full ? 0 : 1;
        for (int y = edge; y < 29 - edge; ++y) {
            for (int x = edge; x < 41 - edge; ++x) {
                ASSERT_EQ(pixel(*cut, x, y), pixel(*whole, x + mcu.width, y + mcu.height))
                    << x << "," << y;
            }
        }
    }
}

TEST(HeaderSegments, ReplaceExifAndMpfAndKeepTheRestByteForByte) {
    const Bytes mpf = {'M', 'P', 'F', 0, 'M', 'M', 0, 42};
    const Bytes out = withHeaderSegments(kLeft, kTiffMM, mpf);
    EXPECT_EQ(scanOf(out), scanOf(kLeft));
    EXPECT_TRUE(std::equal(kLeft.begin(), kLeft.begin() + 4 + kLeft[5], out.begin())); // SOI, JFIF
    EXPECT_EQ(readExifTags(out).orientation, 6);
    EXPECT_EQ(part(out, walkJpeg(out, 0, WalkTo::FirstScan).mpfPayload.value()),
              Bytes(mpf.begin() + 4, mpf.end()));
    Bytes trailed = kLeft;
    trailed.insert(trailed.end(), kRight.begin(), kRight.end()); // after the EOI: not the image's
    EXPECT_EQ(withHeaderSegments(trailed, kTiffMM, mpf), out);
    const Bytes stripped = withHeaderSegments(out, {});
    EXPECT_TRUE(exifOf(stripped).empty());
    EXPECT_FALSE(walkJpeg(stripped, 0, WalkTo::FirstScan).mpfPayload);
    EXPECT_EQ(scanOf(stripped), scanOf(kLeft));
    // Headers cut short: refused, never read past.
    for (std::size_t cut = 0; cut < kLeft.size() - scanOf(kLeft).size(); cut += 7) {
        EXPECT_THROW(withHeaderSegments(std::span(kLeft).first(cut), {}), Error) << cut;
    }
}

TEST(UprightExif, SetsOrientationInEitherByteOrderAndKeepsTheRest) {
    const Bytes hopper = fileBytes(testData("jpeg/hopper_orientation_6.jpg"));
    const Bytes real(exifOf(hopper).begin(), exifOf(hopper).end());
    for (const Bytes& tiff : {kTiffMM, kTiffII, real}) {
        ASSERT_EQ(readExifTiff(tiff).orientation, 6);
        const Bytes upright = uprightExif(tiff);
        EXPECT_EQ(readExifTiff(upright).orientation, 1);
        ASSERT_EQ(upright.size(), tiff.size());
        EXPECT_EQ(std::inner_product(tiff.begin(), tiff.end(), upright.begin(), 0, std::plus<>(),
                                     std::not_equal_to<>()),
                  1);
        for (std::size_t cut = 0; cut < tiff.size(); ++cut) {
            EXPECT_EQ(uprightExif(std::span(tiff).first(cut)).size(), cut);
        }
    }
    const Bytes none(exifOf(kLeft).begin(), exifOf(kLeft).end());
    EXPECT_EQ(uprightExif(none), none);
}

TEST(MakeMpo, IndexesBothImagesWithTheirDataUntouched) {
    const Bytes mpo = makeMpo(kLeft, kTiffII, kRight, {});
    const MpoViews views = findMpoViews(mpo, "pair.mpo");
    EXPECT_EQ(views.left.offset, 0u);
    EXPECT_EQ(views.left.end(), views.right.offset);
    EXPECT_EQ(views.right.end(), mpo.size());
    const Bytes left = part(mpo, views.left);
    const Bytes right = part(mpo, views.right);
    EXPECT_EQ(scanOf(left), scanOf(kLeft));
    EXPECT_EQ(scanOf(right), scanOf(kRight));
    EXPECT_EQ(readExifTags(left).orientation, 6);
    EXPECT_TRUE(std::ranges::equal(exifOf(right), exifOf(kRight)));

    const ByteRange tiff = walkJpeg(mpo, 0, WalkTo::FirstScan).mpfPayload.value();
    const MpfIndex index = readMpfIndex(part(mpo, tiff));
    ASSERT_EQ(index.fault, MpfFault::None);
    ASSERT_EQ(index.entries.size(), 2u);
    EXPECT_EQ(index.individualNumber, 1u);
    EXPECT_EQ(mpo[tiff.offset], 'M'); // big-endian
    for (const auto& [entry, view, representative] :
         {std::tuple{index.entries[0], views.left, true},
          std::tuple{index.entries[1], views.right, false}}) {
        EXPECT_EQ(entry.attributes & kMpTypeMask, kMpTypeDisparity);
        EXPECT_EQ((entry.attributes >> 29 & 1) == 1, representative);
        EXPECT_EQ(entry.size, view.length);
        EXPECT_EQ(entry.offset == 0 ? 0 : entry.offset + tiff.offset, view.offset);
    }
    const ByteRange second = walkJpeg(right, 0, WalkTo::FirstScan).mpfPayload.value();
    EXPECT_EQ(readIndividualNumber(part(right, second)), 2u);
}

TEST(EncodeJpeg, IsCloseToItsSourceInTheSamplingAsked) {
    const auto source = decode(kLeft);
    const int w = source->width();
    const RowSource rows{w, source->height(), [&](int y, std::uint32_t* out) {
                             std::memcpy(out, source->row(y), 4 * static_cast<std::size_t>(w));
                         }};
    const auto psnrOf = [&](const Bytes& jpeg) {
        const auto back = decode(jpeg);
        double squares = 0;
        for (int y = 0; y < source->height(); ++y) {
            for (int x = 0; x < w * 4; ++x) {
                squares += std::pow(back->row(y)[x] - source->row(y)[x], 2);
            }
        }
        return 10 * std::log10(255.0 * 255 * 4 * w * source->height() / squares);
    };
    for (const ChromaSampling sampling :
         {ChromaSampling::S444, ChromaSampling::S422, ChromaSampling::S420}) {
        const Bytes jpeg = encodeJpeg(rows, {95, sampling, kTiffMM});
        EXPECT_EQ(chromaSamplingOf(jpeg), sampling);
        EXPECT_EQ(readExifTags(jpeg).orientation, 6);
        const double psnr = psnrOf(jpeg);
        EXPECT_GT(psnr, 44) << static_cast<int>(sampling);
        EXPECT_GT(psnr, psnrOf(encodeJpeg(rows, {50, sampling, {}})) + 6);
    }
    const std::atomic<bool> cancel{true};
    EXPECT_THROW(encodeJpeg(rows, {}, &cancel), DecodeCancelled);
}

} // namespace
} // namespace duoptic
