// A pair written in each format and read back by the viewer's own loading: each eye shows what
// the panels show at the same point of the scene, cut to what both eyes cover.
#include "exporting/PairExport.h"

#include "exporting/JpegWrite.h"
#include "imaging/ExifTags.h"
#include "imaging/JpegDecoder.h"
#include "imaging/PairHints.h"
#include "imaging/TurnedStretch.h"
#include "loading/PairLoading.h"
#include "loading/PathPairs.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace duoptic {
namespace {

using testing::TempFolder;

constexpr int kUprightOrientation = 1; // EXIF's own number

PairRequest requestOf(const std::string& file, ViewerSides sides = ViewerSides::Parallel) {
    const PathPairs pairs = findPathPairs(file);
    return pairRequest(pairs.list.entry(pairs.entry), sides);
}

PairRasters readPair(const PairRequest& request) {
    JpegDecoder a, b;
    PairRasters rasters;
    readPairInto(a, b, request, rasters);
    return rasters;
}

// Where the points that both eyes show lie along one axis, found point by point: p in the left
// eye, p - shift in the right one.
std::pair<int, int> sharedSpan(int left, int right, int shift) {
    int first = INT_MAX, last = INT_MIN;
    for (int p = std::min(0, shift); p < std::max(left, shift + right); ++p) {
        if (p >= 0 && p < left && p - shift >= 0 && p - shift < right) {
            first = std::min(first, p);
            last = std::max(last, p);
        }
    }
    return {first, last - first + 1};
}

// Peak signal to noise of the picture against the part of the reference at (x0, y0), over
// every channel; infinity when equal.
double psnr(const Raster& picture, const Raster& reference, int x0, int y0) {
    double squares = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint32_t a = picture.pixel(x, y), b = reference.pixel(x + x0, y + y0);
            for (int shift : {0, 8, 16}) {
                const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
                squares += d * d;
            }
        }
    }
    const double mse = squares / (3.0 * picture.width() * picture.height());
    return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

struct Source {
    const char* data;
    const char* name;
};
const Source kTwoFiles[] = {{"stereo/aloeL.jpg", "a_DUL.jpg"}, {"stereo/aloeR.jpg", "a_DUR.jpg"}};
const Source kMpo[] = {{"stereo/sugarshack.mpo", "s.mpo"}};
const Source kSideBySide[] = {{"stereo/stereograph.left-right.jpg", "g_DUP.jpg"}};

struct Row {
    std::span<const Source> source;
    ExportFormat format;
    int dx, dy;
    // The least PSNR of each eye: infinite where it is copied, high where it is cut without
    // encoding (only the colour's upsampling at the new edges differs), and where it is encoded
    // at quality 95, that of a faithful copy; a file of coarse quality whose blocks the shift
    // puts across the new ones loses more (cjpeg -quality 95 on the same cuts of the same
    // pictures: 40 to 44 dB).
    double floor;
};
constexpr double kCopied = INFINITY, kCut = 60, kEncoded = 45, kCoarseEncoded = 40;

class PairExportRoundTrip : public ::testing::TestWithParam<Row> {};

TEST_P(PairExportRoundTrip, EachEyeShowsWhatThePanelsShow) {
    const Row row = GetParam();
    TempFolder in, out;
    for (const Source& source : row.source) {
        in.copyIn(testing::testData(source.data), source.name);
    }
    const PairRequest request = requestOf(in.file(row.source.front().name));
    const PairRasters shown = readPair(request);
    ShiftChoice shift;
    shift.shown = PairOffset{row.dx, row.dy, 0};
    ExportOptions options;
    options.format = row.format;
    ExportRun run;
    run.baseName = "out";
    const std::vector<ExportedFile> files = exportPair(request, shift, options, run);
    for (const ExportedFile& file : files) {
        out.write(file.name, file.bytes);
    }
    const auto [x0, width] = sharedSpan(shown.left.width(), shown.right.width(), row.dx);
    const auto [y0, height] = sharedSpan(shown.left.height(), shown.right.height(), row.dy);
    for (const ViewerSides sides : {ViewerSides::Parallel, ViewerSides::Crossing}) {
        const PairRasters back = readPair(requestOf(out.file(files.front().name), sides));
        const Raster& left = back.leftEyeOnRight ? back.right : back.left;
        const Raster& right = back.leftEyeOnRight ? back.left : back.right;
        ASSERT_EQ(left.width(), width);
        ASSERT_EQ(left.height(), height);
        ASSERT_EQ(right.width(), width);
        EXPECT_GE(psnr(left, shown.left, x0, y0), row.floor);
        EXPECT_GE(psnr(right, shown.right, x0 - row.dx, y0 - row.dy), row.floor);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PairExportRoundTrip,
                         ::testing::Values(Row{kTwoFiles, ExportFormat::Mpo, 0, 0, kCopied},
                                           Row{kTwoFiles, ExportFormat::Pair, 32, -16, kCut},
                                           Row{kTwoFiles, ExportFormat::Sbs, 5, -3, kCoarseEncoded},
                                           Row{kTwoFiles, ExportFormat::Cross, -7, 2,
                                               kCoarseEncoded},
                                           Row{kMpo, ExportFormat::Pair, 0, 0, kCopied},
                                           Row{kMpo, ExportFormat::Jps, 3, 9, kCoarseEncoded},
                                           Row{kMpo, ExportFormat::Mpo, -9, 4, kCoarseEncoded},
                                           Row{kSideBySide, ExportFormat::Pair, 0, 0, kEncoded},
                                           Row{kSideBySide, ExportFormat::Mpo, 8, 8, kEncoded},
                                           Row{kSideBySide, ExportFormat::Sbs, -4, 1, kEncoded}));

// The left eye's EXIF goes with the pair, said upright once the pixels were turned: an MPO is
// always shown upright, and its images here are stored to be turned a quarter.
TEST(PairExport, CarriesTheLeftEyesExifUprightWhereTurned) {
    TempFolder in;
    const std::vector<std::uint8_t> turned =
        testing::fileBytes(testing::testData("jpeg/hopper_orientation_6.jpg"));
    const std::vector<std::uint8_t> plain =
        testing::fileBytes(testing::testData("stereo/aloeL.jpg"));
    in.write("t.mpo", makeMpo(turned, exifOf(turned), turned, exifOf(turned)));
    in.copyIn(testing::testData("stereo/aloeL.jpg"), "a_DUL.jpg");
    in.copyIn(testing::testData("stereo/aloeR.jpg"), "a_DUR.jpg");
    for (const ExportFormat format : {ExportFormat::Sbs, ExportFormat::Pair, ExportFormat::Mpo}) {
        ExportOptions options;
        options.format = format;
        const PairRequest upright = requestOf(in.file("t.mpo"));
        for (const ExportedFile& file : exportPair(upright, {}, options)) {
            EXPECT_EQ(readExifTags(file.bytes).orientation, kUprightOrientation);
        }
        const std::vector<ExportedFile> kept =
            exportPair(requestOf(in.file("a_DUL.jpg")), {}, options);
        EXPECT_TRUE(std::ranges::equal(exifOf(kept.front().bytes), exifOf(plain)));
    }
}

// Where the user gave the pair nothing, a saved pair takes what the window takes of the
// measurements: the same offset, roll included, from the same rule.
TEST(PairExport, TakesTheMeasurementsAsTheWindowDoes) {
    TempFolder in;
    in.copyIn(testing::testData("stereo/aloeL.jpg"), "a_DUL.jpg");
    in.copyIn(testing::testData("stereo/aloeR.jpg"), "a_DUR.jpg");
    // The left eye turned by a degree, as the right one.
    const Raster turned =
        Raster::whole(turnedPicture(readPair(requestOf(in.file("a_DUL.jpg"))).left, 1.0));
    const RowSource rows{turned.width(), turned.height(), [&turned](int y, std::uint32_t* out) {
                             for (int x = 0; x < turned.width(); ++x) {
                                 out[x] = turned.pixel(x, y);
                             }
                         }};
    in.write("a_DUR.jpg", encodeJpeg(rows, {}));
    PairRequest request = requestOf(in.file("a_DUL.jpg"));
    request.measureAlignment = true;
    const PairHints hints = pairHints(readPair(request), true, true);
    ASSERT_NE(hints.roll(), 0);
    ShiftChoice measured, shown;
    measured.align = measured.window = true;
    shown.shown = PairOffset{hints.dx(), hints.dy(), hints.roll()};
    ExportOptions options;
    options.format = ExportFormat::Pair;
    EXPECT_EQ(exportPair(request, measured, options).back().bytes,
              exportPair(request, shown, options).back().bytes);
}

} // namespace
} // namespace duoptic
