#include "catalogue/OpenPairFile.h"

#include "support/CurrentDirectoryGuard.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace duoptic {
namespace {

using testing::file;
using testing::Node;
using testing::NodeType;
using testing::TempFolder;

struct ResolveCase {
    const char* label;
    std::vector<Node> nodes;
    const char* baseName;
    PairKind kind;
    Eye eye;
    const char* resolved; // the name opened
};

void PrintTo(const ResolveCase& c, std::ostream* os) {
    *os << c.label;
}

class ResolvePairFilePath : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolvePairFilePath, FindsTheClassifiedSpelling) {
    TempFolder dir;
    dir.add(GetParam().nodes);
    EXPECT_EQ(pairFilePath(dir.slashed() + GetParam().baseName, GetParam().kind, GetParam().eye),
              dir.slashed() + GetParam().resolved);
}

TEST_P(ResolvePairFilePath, RelativeNameResolvesInCurrentDirectory) {
    TempFolder dir;
    dir.add(GetParam().nodes);
    std::string resolved;
    {
        const testing::CurrentDirectoryGuard back;
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        resolved = pairFilePath(GetParam().baseName, GetParam().kind, GetParam().eye);
    }
    EXPECT_EQ(resolved, GetParam().resolved);
}

constexpr PairKind P = PairKind::Parallel;
constexpr PairKind C = PairKind::Crossing;
constexpr PairKind Two = PairKind::TwoFiles;
constexpr PairKind M = PairKind::Multi;
constexpr Eye L = Eye::Left;
constexpr Eye R = Eye::Right;

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ResolvePairFilePath,
    ::testing::Values(
        ResolveCase{"exact", {file("x_DUP.jpg")}, "x", P, L, "x_DUP.jpg"},
        ResolveCase{"other_case", {file("x_dup.JPG")}, "x", P, L, "x_dup.JPG"},
        ResolveCase{"exact_wins", {file("x_dup.JPG"), file("x_DUP.jpg")}, "x", P, R, "x_DUP.jpg"},
        ResolveCase{"missing_unchanged", {file("y_DUP.jpg")}, "x", P, L, "x_DUP.jpg"},
        ResolveCase{"folder_passed_over",
                    {{NodeType::Folder, "x_DUR.jpg", {}}, file("x_dur.JPG")},
                    "x",
                    Two,
                    R,
                    "x_dur.JPG"},
        ResolveCase{
            "fifo_unchanged", {{NodeType::Fifo, "x_dur.jpg", {}}}, "x", Two, R, "x_DUR.jpg"},
        ResolveCase{"empty_base_name", {file("_dup.jpg")}, "", P, L, "_dup.jpg"},
        ResolveCase{"name_not_utf8", {file("\xff_dul.JPG")}, "\xff", Two, L, "\xff_dul.JPG"},
        // Names that differ only in case: each base name opens its own spelling, whichever of
        // them the folder lists first.
        ResolveCase{"left_eye_upper_base",
                    {file("x_DUL.jpg"), file("X_dul.JPG"), file("x_DUR.jpg")},
                    "X",
                    Two,
                    L,
                    "X_dul.JPG"},
        ResolveCase{"left_eye_lower_base",
                    {file("X_dul.JPG"), file("x_dul.jpg"), file("x_DUR.jpg")},
                    "x",
                    Two,
                    L,
                    "x_dul.jpg"},
        ResolveCase{"right_eye_of_other_base",
                    {file("x_DUL.jpg"), file("X_dul.JPG"), file("x_DUR.jpg")},
                    "X",
                    Two,
                    R,
                    "x_DUR.jpg"},
        ResolveCase{"side_by_side_upper_base",
                    {file("a_duc.jpg"), file("A_DUC.JPG")},
                    "A",
                    C,
                    L,
                    "A_DUC.JPG"},
        ResolveCase{"jps", {file("mario.JPS")}, "mario", C, L, "mario.JPS"},
        ResolveCase{
            "convention_before_jps", {file("a.JPS"), file("a_duc.JPG")}, "a", C, L, "a_duc.JPG"},
        ResolveCase{
            "jps_not_taken_for_other_base", {file("a_duc.jpg"), file("A.jps")}, "A", C, R, "A.jps"},
        ResolveCase{"mpo", {file("trip.MPO")}, "trip", M, L, "trip.MPO"},
        ResolveCase{"mpo_base_with_dots", {file("a.b.mpo")}, "a.b", M, R, "a.b.mpo"},
        ResolveCase{"mpo_missing_unchanged", {file("trip.jpg")}, "trip", M, L, "trip.mpo"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ResolvePairFilePath, MissingFolderLeavesPathUnchanged) {
    TempFolder dir;
    const std::string base = dir.slashed() + "gone/x";
    EXPECT_EQ(pairFilePath(base, PairKind::Parallel, Eye::Left), base + "_DUP.jpg");
}

// Two files whose names differ only in the suffix's case give two entries of one base path: only
// the files an entry remembers tell them apart.
TEST(ResolvePairFilePath, EntryOpensTheFilesItRemembers) {
    TempFolder dir;
    dir.add({file("a_DUP.jpg"), file("a_dup.JPG"), file("b_DUL.jpg"), file("b_DUR.jpg")});
    const std::string base = dir.slashed() + "a";
    const PairEntry remembered{base, "a", PairKind::Parallel, base + "_dup.JPG", {}};
    EXPECT_EQ(pairFilePath(remembered, Eye::Left), base + "_dup.JPG");
    EXPECT_EQ(pairFilePath(remembered, Eye::Right), base + "_dup.JPG");
    const PairEntry bare{base, "a", PairKind::Parallel, {}, {}};
    EXPECT_EQ(pairFilePath(bare, Eye::Left), base + "_DUP.jpg");

    const std::string b = dir.slashed() + "b";
    const PairEntry twoFiles{b, "b", PairKind::TwoFiles, b + "_DUL.jpg",
                             dir.slashed() + "B_DUR.jpg"};
    EXPECT_EQ(pairFilePath(twoFiles, Eye::Left), b + "_DUL.jpg");
    EXPECT_EQ(pairFilePath(twoFiles, Eye::Right), dir.slashed() + "B_DUR.jpg");
}

} // namespace
} // namespace duoptic
