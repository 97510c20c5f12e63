#include "base/PairKey.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

namespace duoptic {
namespace {

// The key a load takes from the bytes it holds is the one the store has always been keyed by,
// which reads the files' starts: short files, files of just the covered length and longer ones.
TEST(PairKey, FromHeldBytesEqualsFromTheFiles) {
    const testing::TempFolder folder;
    for (const std::size_t length : {std::size_t{1}, kPairKeyBytes, kPairKeyBytes * 3 + 7}) {
        std::vector<std::uint8_t> left(length), right(length + 1);
        std::iota(left.begin(), left.end(), std::uint8_t{0});
        std::iota(right.begin(), right.end(), std::uint8_t{7});
        const std::string l = folder.write("l", left), r = folder.write("r", right);
        EXPECT_EQ(pairKey({left, right}), pairKey({l, r})) << length;
        EXPECT_EQ(pairKey({std::span<const std::uint8_t>(left)}), pairKey({l})) << length;
    }
}

} // namespace
} // namespace duoptic
