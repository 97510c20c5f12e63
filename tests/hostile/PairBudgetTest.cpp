// A pair file of a few kilobytes whose two views claim the largest pictures the decoder takes:
// refused from its headers, before anything is decoded, while a real pair of that kind loads.
#include "JpegWriter.h"
#include "MpoWriter.h"
#include "ResidentMemory.h"
#include "Watchdog.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "imaging/MpoViews.h"
#include "imaging/PairBudget.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic::test {
namespace {

// A progressive view with every component at full resolution, claiming width x height.
std::vector<std::uint8_t> progressiveClaiming(int width, int height) {
    auto bytes =
        testing::writeSolidJpeg({16, 16, testing::JpegKind::Colour, 90, true, true}, {90, 90, 90});
    const auto sof = static_cast<std::size_t>(testing::findMarker(bytes, 0xC2));
    bytes.at(sof + 5) = static_cast<std::uint8_t>(height >> 8);
    bytes.at(sof + 6) = static_cast<std::uint8_t>(height);
    bytes.at(sof + 7) = static_cast<std::uint8_t>(width >> 8);
    bytes.at(sof + 8) = static_cast<std::uint8_t>(width);
    return bytes;
}

// What the pair loader does before it decodes: one read, both headers, the budget.
std::string loadHeaders(int width, int height) {
    testing::TempFolder folder;
    const auto view = progressiveClaiming(width, height);
    const std::string path = folder.write("x.mpo", testing::writeMpo({{view}, {view}}).bytes);
    const MpoFile mpo = readMpoFile(path);
    JpegDecoder left;
    JpegDecoder right;
    left.readShared(mpo.bytes, mpo.views.left);
    right.readShared(mpo.bytes, mpo.views.right);
    checkPairBudget(left, nullptr); // one such picture alone always fits
    try {
        checkPairBudget(left, &right);
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

TEST(PairBudget, RefusesAPairOfLargestClaimsQuicklyInLittleMemory) {
    const Watchdog watchdog("a pair of largest claims", std::chrono::seconds(10));
    const std::size_t before = testing::residentBytes();
    EXPECT_EQ(loadHeaders(16384, 16384), messages::jpegError(JERR_IMAGE_TOO_BIG));
    EXPECT_LT(testing::residentBytes(), before + (std::size_t{64} << 20));
}

TEST(PairBudget, LetsARealHundredMegapixelPairThrough) {
    EXPECT_EQ(loadHeaders(11648, 8736), "");
}

} // namespace
} // namespace duoptic::test
