#include "catalogue/PairList.h"
#include "catalogue/AsciiCase.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace duoptic {
namespace {

TEST(PairSuffix, OpenedSpellingDiffersFromTestedOnlyInCase) {
    for (auto suffix :
         {PairSuffix::Parallel, PairSuffix::Crossing, PairSuffix::LeftEye, PairSuffix::RightEye}) {
        EXPECT_EQ(openedSuffix(suffix).size(), kPairSuffixLength);
        EXPECT_EQ(asciiUpper(openedSuffix(suffix)), testedSuffix(suffix));
    }
    for (auto suffix : {PairSuffix::Mpo, PairSuffix::Jps}) {
        EXPECT_EQ(asciiUpper(openedSuffix(suffix)), testedSuffix(suffix));
    }
}

TEST(PairList, EntriesCountFromOneInAppendOrder) {
    PairList list;
    list.append({"/p/a", "a", PairKind::Parallel, "/p/a_DUP.jpg", {}});
    list.append({"/p/a", "a", PairKind::TwoFiles, "/p/a_DUL.jpg", "/p/a_DUR.jpg"});
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.entry(1).kind, PairKind::Parallel);
    EXPECT_EQ(list.entry(2).kind, PairKind::TwoFiles);
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

class PairListOutOfRange : public ::testing::TestWithParam<int> {};

TEST_P(PairListOutOfRange, Throws) {
    PairList list;
    list.append({"/p/a", "a", PairKind::Crossing, "/p/a_DUC.jpg", {}});
    list.append({"/p/b", "b", PairKind::Crossing, "/p/b.jps", {}});
    EXPECT_THROW(static_cast<void>(list.entry(GetParam())), std::out_of_range);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, PairListOutOfRange, ::testing::Values(-1, 0, 3),
                         [](const auto& info) {
                             return info.param < 0 ? std::string("minus_one")
                                                   : "k" + std::to_string(info.param);
                         });

} // namespace
} // namespace duoptic
