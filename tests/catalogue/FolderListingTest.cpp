#include "catalogue/FolderListing.h"

#include "support/TempFolder.h"
#include "support/TestFiles.h"

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
