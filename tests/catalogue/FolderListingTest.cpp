#include "catalogue/FolderListing.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace duoptic {
namespace {

using testing::Node;
using testing::NodeType;
using testing::TempFolder;

TEST(FolderListing, MissingFolderIsEmptyNotAnError) {
    TempFolder dir;
    const FolderListing missing = FolderListing::read(dir.slashed() + "missing");
    EXPECT_FALSE(missing.exists());
    EXPECT_TRUE(missing.entries().empty());
    EXPECT_FALSE(missing.findFile("anything"));
    EXPECT_TRUE(FolderListing::read(dir.path()).exists());
}

struct FindCase {
    const char* label;
    std::vector<Node> nodes;
    const char* query;
    std::optional<std::string> found;
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.label;
}

class FindFile : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindFile, IgnoresAsciiCasePrefersExactSpelling) {
    TempFolder dir;
    dir.add(GetParam().nodes);
    EXPECT_EQ(FolderListing::read(dir.path()).findFile(GetParam().query), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, FindFile,
    ::testing::Values(
        FindCase{"exact", {{NodeType::File, "x_DUR.jpg", {}}}, "x_DUR.jpg", "x_DUR.jpg"},
        FindCase{"other_case", {{NodeType::File, "x_dur.JPG", {}}}, "X_DUR.JPG", "x_dur.JPG"},
        FindCase{"exact_wins_upper",
                 {{NodeType::File, "x_dur.jpg", {}}, {NodeType::File, "x_DUR.JPG", {}}},
                 "x_DUR.JPG",
                 "x_DUR.JPG"},
        FindCase{"exact_wins_lower",
                 {{NodeType::File, "x_DUR.JPG", {}}, {NodeType::File, "x_dur.jpg", {}}},
                 "x_dur.jpg",
                 "x_dur.jpg"},
        FindCase{"file_beats_exact_folder",
                 {{NodeType::Folder, "m_DUR.JPG", {}}, {NodeType::File, "M_dur.jpg", {}}},
                 "m_DUR.JPG",
                 "M_dur.jpg"},
        FindCase{"folder_only", {{NodeType::Folder, "m_DUR.JPG", {}}}, "m_DUR.JPG", {}},
        FindCase{"fifo_only", {{NodeType::Fifo, "f_DUR.JPG", {}}}, "f_DUR.JPG", {}},
        FindCase{"hidden_found", {{NodeType::File, ".k_DUR.jpg", {}}}, ".K_DUR.JPG", ".k_DUR.jpg"},
        FindCase{"absent", {{NodeType::File, "a_DUR.jpg", {}}}, "b_DUR.jpg", {}},
        FindCase{"non_ascii_not_folded",
                 {{NodeType::File, "\xc3\x89_DUR.jpg", {}}}, // É
                 "\xc3\xa9_DUR.jpg",                         // é
                 {}}),
    [](const auto& info) { return std::string(info.param.label); });

struct PairFileCase {
    const char* label;
    std::vector<Node> nodes;
    const char* baseName;
    std::vector<std::string_view> suffixes;
    std::optional<std::string> found;
};

void PrintTo(const PairFileCase& c, std::ostream* os) {
    *os << c.label;
}

class FindPairFile : public ::testing::TestWithParam<PairFileCase> {};

TEST_P(FindPairFile, FindsTheSpellingThatWasClassified) {
    TempFolder dir;
    dir.add(GetParam().nodes);
    EXPECT_EQ(
        FolderListing::read(dir.path()).findPairFile(GetParam().baseName, GetParam().suffixes),
        GetParam().found);
}

// Each pair of cases queries one folder twice: whatever the listing order, a lookup that took
// the first name in it would answer both with the same file.
INSTANTIATE_TEST_SUITE_P(
    Catalogue, FindPairFile,
    ::testing::Values(
        PairFileCase{"exact",
                     {testing::file("x_dul.JPG"), testing::file("x_DUL.jpg")},
                     "x",
                     {"_DUL.jpg"},
                     "x_DUL.jpg"},
        PairFileCase{"same_base_upper",
                     {testing::file("x_dul.JPG"), testing::file("X_Dul.jpg")},
                     "X",
                     {"_DUL.jpg"},
                     "X_Dul.jpg"},
        PairFileCase{"same_base_lower",
                     {testing::file("x_dul.JPG"), testing::file("X_Dul.jpg")},
                     "x",
                     {"_DUL.jpg"},
                     "x_dul.JPG"},
        PairFileCase{
            "other_base_when_alone", {testing::file("x_DUR.jpg")}, "X", {"_DUR.jpg"}, "x_DUR.jpg"},
        PairFileCase{"earlier_suffix_first",
                     {testing::file("a.JPS"), testing::file("a_duc.JPG")},
                     "a",
                     {"_DUC.jpg", ".jps"},
                     "a_duc.JPG"},
        PairFileCase{"base_spelling_before_suffix_order",
                     {testing::file("A.jps"), testing::file("a_duc.jpg")},
                     "A",
                     {"_DUC.jpg", ".jps"},
                     "A.jps"},
        PairFileCase{
            "later_suffix_alone", {testing::file("a.JPS")}, "a", {"_DUC.jpg", ".jps"}, "a.JPS"},
        PairFileCase{"folder_passed_over",
                     {{NodeType::Folder, "x.mpo", {}}, testing::file("x.MPO")},
                     "x",
                     {".mpo"},
                     "x.MPO"},
        PairFileCase{"none", {{NodeType::Folder, "x.mpo", {}}}, "x", {".mpo"}, {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(PairFileCandidates, ListingOrderKeepsOnlyVisibleJpgMpoAndJpsFiles) {
    TempFolder dir;
    dir.add({{NodeType::File, "b.jpg", {}},
             {NodeType::File, "A.JPG", {}},
             {NodeType::File, "c.JpG", {}},
             {NodeType::File, "d.jpeg", {}},
             {NodeType::File, "e.jpg.txt", {}},
             {NodeType::File, ".h.jpg", {}},
             {NodeType::Folder, "f.jpg", {}},
             {NodeType::Fifo, "g.jpg", {}},
             {NodeType::File, "\xff\xfe.jpg", {}},
             {NodeType::File, "m.MPO", {}},
             {NodeType::File, "j.jps", {}},
             {NodeType::File, "n.mpo.txt", {}},
             {NodeType::File, ".h.mpo", {}},
             {NodeType::File, ".h.jps", {}},
             {NodeType::Folder, "k.mpo", {}},
             {NodeType::Fifo, "p.jps", {}}});
    const std::vector<std::string> wanted = {"b.jpg",        "A.JPG", "c.JpG",
                                             "\xff\xfe.jpg", "m.MPO", "j.jps"};
    std::vector<std::string> expected;
    for (const std::string& name : testing::readdirOrder(dir.path())) {
        if (std::find(wanted.begin(), wanted.end(), name) != wanted.end()) {
            expected.push_back(name);
        }
    }
    EXPECT_EQ(FolderListing::read(dir.path()).pairFileCandidates(NameOrder::Listing), expected);
}

TEST(PairFileCandidates, NameOrderIgnoresCaseAndBreaksTiesByBytes) {
    TempFolder dir;
    for (const char* name : {"b.jpg", "ab.jpg", "a_.jpg", "B.jpg", "A.jpg", "a.jpg", "10.jpg",
                             "a.mpo", "A.JPS", "b.MPO"}) {
        dir.add(testing::file(name));
    }
    const std::vector<std::string> expected = {"10.jpg", "A.jpg",  "a.jpg", "A.JPS", "a.mpo",
                                               "a_.jpg", "ab.jpg", "B.jpg", "b.jpg", "b.MPO"};
    EXPECT_EQ(FolderListing::read(dir.path()).pairFileCandidates(NameOrder::IgnoringAsciiCase),
              expected);
}

} // namespace
} // namespace duoptic
