#include "ViewFrm/EyeAlignment.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

// The user's shift and turn win over the measurement until reset; the shift keeps the eyes
// overlapping.
TEST(EyeAlignment, UsersShiftWinsOverTheMeasurementUntilReset) {
    EyeAlignment alignment(PairOffsetStore::open("")); // kept in memory only
    const PairKey key{42};                             // any pair's
    EXPECT_EQ(alignment.pairShown(key, {-3, 40, 7}, 100, 80), (EyeShift{7, -3, 40}));
    alignment.nudge(1, 0);
    EXPECT_EQ(alignment.pairShown(key, {-5, 10, 2}, 100, 80), (EyeShift{8, -3, 40}));
    EXPECT_EQ(alignment.turn(-5), (EyeShift{8, -3, 35}));
    EXPECT_EQ(alignment.reset(), (EyeShift{2, -5, 10}));
    EXPECT_EQ(alignment.nudge(-1000, 1000), (EyeShift{-50, 40, 10}));
}

// Nudges move the shift and leave the roll stored for the pair, even back at no shift.
TEST(EyeAlignment, NudgesKeepTheStoredRoll) {
    const testing::TempFolder folder;
    const PairKey key{42};
    PairOffsetStore::open(folder.file("offsets")).set(key, {1, 2, 30});
    {
        EyeAlignment alignment(PairOffsetStore::open(folder.file("offsets")));
        alignment.pairShown(key, {}, 100, 80);
        EXPECT_EQ(alignment.nudge(-1, -2), (EyeShift{0, 0, 30}));
        EXPECT_TRUE(alignment.storedForPair());
    }
    EXPECT_EQ(PairOffsetStore::open(folder.file("offsets")).find(key), (PairOffset{0, 0, 30}));
}

} // namespace
} // namespace duoptic
