#include "ViewFrm/EyeAlignment.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

// The user's shift wins over the measurement until reset, and keeps the eyes overlapping.
TEST(EyeAlignment, UsersShiftWinsOverTheMeasurementUntilReset) {
    EyeAlignment alignment(PairOffsetStore::open("")); // kept in memory only
    const PairKey key{42};                             // any pair's
    EXPECT_EQ(alignment.pairShown(key, {-3}, 100, 80), (EyeShift{0, -3}));
    alignment.nudge(1, 0);
    EXPECT_EQ(alignment.pairShown(key, {-5}, 100, 80), (EyeShift{1, -3}));
    EXPECT_EQ(alignment.reset(), (EyeShift{0, -5}));
    EXPECT_EQ(alignment.nudge(-1000, 1000), (EyeShift{-50, 40}));
}

} // namespace
} // namespace duoptic
