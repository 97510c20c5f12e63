#include "ViewFrm/EyeAlignment.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

// The user's shift outlives the window, wins over what the measurement says, and once reset
// gives the pair back to it.
TEST(EyeAlignment, KeptShiftWinsOverHintsUntilReset) {
    testing::TempFolder folder;
    const std::string path = folder.slashed() + "offsets";
    const PairKey key{42};
    const PairHints hints{-3};
    {
        EyeAlignment alignment(PairOffsetStore::open(path));
        EXPECT_EQ(alignment.pairShown(key, hints, 100, 80), (EyeShift{0, -3}));
        alignment.nudge(1, 0);
        EXPECT_EQ(alignment.nudge(0, -1), (EyeShift{1, -4}));
    }
    EyeAlignment again(PairOffsetStore::open(path));
    EXPECT_EQ(again.pairShown(key, {}, 100, 80), (EyeShift{1, -4}));
    EXPECT_EQ(again.pairShown(PairKey{43}, {}, 100, 80), EyeShift{}) << "another pair";
    again.pairShown(key, hints, 100, 80);
    EXPECT_EQ(again.reset(), (EyeShift{0, -3}));
    EXPECT_EQ(EyeAlignment(PairOffsetStore::open(path)).pairShown(key, {}, 100, 80), EyeShift{});
}

// However long a key is held, the eyes keep some overlap, and a pair without a key (the sample
// pair) moves all the same, though nothing is kept.
TEST(EyeAlignment, ShiftStaysWithinHalfThePicture) {
    EyeAlignment alignment(PairOffsetStore::open(""));
    alignment.pairShown(std::nullopt, {}, 100, 80);
    for (int i = 0; i < 200; ++i) {
        alignment.nudge(-1, 1);
    }
    EXPECT_EQ(alignment.current(), (EyeShift{-50, 40}));
}

} // namespace
} // namespace duoptic
