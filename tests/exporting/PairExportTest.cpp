// A pair written in each format and read back by the viewer's own loading: each eye shows what
// the panels show at the same point of the scene, cut to what both eyes cover.
#include "exporting/PairExport.h"

#include "imaging/JpegDecoder.h"
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
    bool exact; // every eye copied or cut without encoding
};

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
        const double floor = row.exact ? INFINITY : 45;
        EXPECT_GE(psnr(left, shown.left, x0, y0), floor);
        EXPECT_GE(psnr(right, shown.right, x0 - row.dx, y0 - row.dy), floor);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PairExportRoundTrip,
                         ::testing::Values(Row{kTwoFiles, ExportFormat::Mpo, 0, 0, true},
                                           Row{kTwoFiles, ExportFormat::Pair, 32, -16, true},
                                           Row{kTwoFiles, ExportFormat::Sbs, 5, -3, false},
                                           Row{kTwoFiles, ExportFormat::Cross, -7, 2, false},
                                           Row{kMpo, ExportFormat::Pair, 0, 0, true},
                                           Row{kMpo, ExportFormat::Jps, 3, 9, false},
                                           Row{kMpo, ExportFormat::Mpo, -9, 4, false},
                                           Row{kSideBySide, ExportFormat::Pair, 0, 0, false},
                                           Row{kSideBySide, ExportFormat::Mpo, 8, 8, false},
                                           Row{kSideBySide, ExportFormat::Sbs, -4, 1, false}));

} // namespace
} // namespace duoptic
