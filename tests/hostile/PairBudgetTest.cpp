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

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic::test {
namespace {

// The error of checking the pair's budget after reading its headers; empty when it fits.
std::string budgetError(int width, int height, bool progressive = true, int turn = kUpright) {
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
        checkPairBudget(left, &right, turn);
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

// Each eye and its turned copy live at once: baseline 16384^2 views take 2 GiB, turned 4 GiB.
TEST(PairBudget, CountsTheTurnedCopies) {
    EXPECT_EQ(budgetError(16384, 16384, false, kUpright), "");
    EXPECT_EQ(budgetError(16384, 16384, false, 6), messages::jpegError(JERR_IMAGE_TOO_BIG));
}

} // namespace
} // namespace duoptic::test
