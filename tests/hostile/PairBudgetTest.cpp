// A pair file of a few kilobytes whose progressive views claim the largest pictures decoded is
// refused from its headers, as the pair loader reads them; a real pair of that kind is not.
#include "JpegWriter.h"
#include "MpoWriter.h"
#include "Watchdog.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "imaging/MpoViews.h"
#include "imaging/Orientation.h"
#include "imaging/PairBudget.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic::test {
namespace {

// The error of checking the pair's budget after reading its headers; empty when it fits.
std::string budgetError(int width, int height, bool progressive = true,
                        int orientation = kUpright) {
    const auto view = testing::withFrameSize(
        testing::writeSolidJpeg({16, 16, testing::JpegKind::Colour, 90, progressive, true},
                                {9, 9, 9}),
        width, height);
    testing::TempFolder folder;
    const MpoFile mpo =
        readMpoFile(folder.write("x.mpo", testing::writeMpo({{view}, {view}}).bytes));
    JpegDecoder left;
    JpegDecoder right;
    left.readShared(mpo.bytes, mpo.views.left);
    right.readShared(mpo.bytes, mpo.views.right);
    checkPairBudget(left, nullptr, kUpright); // one such picture alone always fits
    try {
        checkPairBudget(left, &right, orientation);
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

// Refused before either view is decoded: quickly, and without the memory the decodes would take.
TEST(PairBudget, RefusesAPairOfLargestClaimsQuickly) {
    const Watchdog watchdog("a pair of largest claims", std::chrono::seconds(10));
    EXPECT_EQ(budgetError(16384, 16384), messages::jpegError(JERR_IMAGE_TOO_BIG));
}

TEST(PairBudget, LetsARealHundredMegapixelPairThrough) {
    EXPECT_EQ(budgetError(11648, 8736), "");
}

// A pair turned upright holds each decoded picture and its turned copy at once. Two baseline
// 16384 x 16384 views take 1 GiB each as Xrgb32: 2 GiB upright, 4 GiB with the copies. A
// progressive view's coefficients (6 bytes a pixel at 4:4:4) are gone before its copy is made,
// so a real 100-Mpixel pair takes its 10 bytes a pixel whether it is turned or not.
struct TurnRow {
    const char* name;
    int width, height;
    bool progressive;
    int orientation;
    bool refused;

    friend void PrintTo(const TurnRow& row, std::ostream* os) { *os << row.name; }
};

class TurnedPairBudget : public ::testing::TestWithParam<TurnRow> {};

TEST_P(TurnedPairBudget, CountsTheTurnedCopies) {
    const TurnRow& row = GetParam();
    const std::string refused = messages::jpegError(JERR_IMAGE_TOO_BIG);
    EXPECT_EQ(budgetError(row.width, row.height, row.progressive, row.orientation),
              row.refused ? refused : "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TurnedPairBudget,
    ::testing::Values(TurnRow{"LargestBaselineUpright", 16384, 16384, false, 1, false},
                      TurnRow{"LargestBaselineMirrored", 16384, 16384, false, 2, true},
                      TurnRow{"LargestBaselineQuarterTurned", 16384, 16384, false, 6, true},
                      TurnRow{"WideBaselineQuarterTurned", 16384, 13000, false, 8, true},
                      TurnRow{"RealProgressiveQuarterTurned", 11648, 8736, true, 6, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace duoptic::test
