#include "catalogue/Scan.h"
#include "catalogue/FolderListing.h"
#include "catalogue/OpenPairFile.h"

#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace duoptic {
namespace {

using testing::file;
using testing::Node;
using testing::NodeType;
using testing::TempFolder;

struct Expected {
    std::string matchedName;
    std::string baseName;
    PairKind kind;
    std::string rightEyeName; // kind 2 only
};

struct ScanCase {
    const char* label;
    std::vector<Node> nodes;
    std::vector<Expected> expected; // in any order; the test orders them
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.label;
}

const ScanCase kScanCases[] = {
    {"two_file_pair",
     {file("a_DUL.jpg"), file("a_DUR.jpg")},
     {{"a_DUL.jpg", "a", PairKind::TwoFiles, "a_DUR.jpg"}}},
    {"left_eye_alone", {file("a_DUL.jpg")}, {}},
    {"right_eye_alone", {file("a_DUR.jpg")}, {}},
    {"lower_case_parallel", {file("b_dup.JPG")}, {{"b_dup.JPG", "b", PairKind::Parallel, ""}}},
    {"crossing", {file("c_DUC.jpg")}, {{"c_DUC.jpg", "c", PairKind::Crossing, ""}}},
    {"rejected_names_leave_no_gap",
     {file("p_DUP.jpg"), file("x.jpg"), file("q_DUC.jpg"), file("y_DUP.jpeg"), file("r_DUP.jpg")},
     {{"p_DUP.jpg", "p", PairKind::Parallel, ""},
      {"q_DUC.jpg", "q", PairKind::Crossing, ""},
      {"r_DUP.jpg", "r", PairKind::Parallel, ""}}},
    {"empty_base_name", {file("_DUP.jpg")}, {{"_DUP.jpg", "", PairKind::Parallel, ""}}},
    {"same_base_name_twice",
     {file("a_DUP.jpg"), file("a_DUL.jpg"), file("a_DUR.jpg")},
     {{"a_DUP.jpg", "a", PairKind::Parallel, ""},
      {"a_DUL.jpg", "a", PairKind::TwoFiles, "a_DUR.jpg"}}},
    {"hidden_file_skipped", {file(".h_DUP.jpg")}, {}},
    {"folder_does_not_complete", {file("m_DUL.jpg"), {NodeType::Folder, "m_DUR.JPG", {}}}, {}},
    {"folder_named_as_pair", {{NodeType::Folder, "q_DUP.jpg", {}}}, {}},
    {"fifo_skipped", {{NodeType::Fifo, "f_DUP.jpg", {}}}, {}},
    {"fifo_does_not_complete", {file("n_DUL.jpg"), {NodeType::Fifo, "n_DUR.jpg", {}}}, {}},
    {"dangling_link_skipped", {{NodeType::Link, "d_DUP.jpg", "gone.jpg"}}, {}},
    {"dangling_link_does_not_complete",
     {file("g_DUL.jpg"), {NodeType::Link, "g_DUR.jpg", "gone.jpg"}},
     {}},
    {"link_to_file_counts",
     {file("target.bin"), {NodeType::Link, "s_DUP.jpg", "target.bin"}},
     {{"s_DUP.jpg", "s", PairKind::Parallel, ""}}},
    {"link_to_file_completes",
     {file("target.bin"), file("t_DUL.jpg"), {NodeType::Link, "t_DUR.jpg", "target.bin"}},
     {{"t_DUL.jpg", "t", PairKind::TwoFiles, "t_DUR.jpg"}}},
    {"japanese_base_name",
     {file("立体写真_DUP.jpg")},
     {{"立体写真_DUP.jpg", "立体写真", PairKind::Parallel, ""}}},
    {"name_not_utf8",
     {file("\xff\xfe_DUP.jpg")},
     {{"\xff\xfe_DUP.jpg", "\xff\xfe", PairKind::Parallel, ""}}},
    {"right_eye_other_case",
     {file("x_DUL.jpg"), file("x_dur.JPG")},
     {{"x_DUL.jpg", "x", PairKind::TwoFiles, "x_dur.JPG"}}},
    {"names_differing_only_in_case",
     {file("x_DUL.jpg"), file("X_dul.JPG"), file("x_DUR.jpg")},
     {{"x_DUL.jpg", "x", PairKind::TwoFiles, "x_DUR.jpg"}}},
    {"right_eye_spelled_as_the_left",
     {file("b_DUL.jpg"), file("b_DUR.jpg"), file("b_dul.JPG"), file("b_dur.JPG")},
     {{"b_DUL.jpg", "b", PairKind::TwoFiles, "b_DUR.jpg"},
      {"b_dul.JPG", "b", PairKind::TwoFiles, "b_dur.JPG"}}},
    {"left_eye_lower_case",
     {file("a_DUR.jpg"), file("a_dul.JPG")},
     {{"a_dul.JPG", "a", PairKind::TwoFiles, "a_DUR.jpg"}}},
    {"right_eye_not_taken_from_its_left",
     {file("x_DUL.jpg"), file("x_DUR.jpg"), file("x_dul.JPG"), file("X_Dur.jpg")},
     {{"x_DUL.jpg", "x", PairKind::TwoFiles, "x_DUR.jpg"},
      {"x_dul.JPG", "x", PairKind::TwoFiles, "X_Dur.jpg"}}},
    {"side_by_side_differing_only_in_case",
     {file("a_DUC.jpg"), file("A_duc.JPG"), file("A_DUP.jpg"), file("a_dup.JPG")},
     {{"a_DUC.jpg", "a", PairKind::Crossing, ""},
      {"A_duc.JPG", "A", PairKind::Crossing, ""},
      {"A_DUP.jpg", "A", PairKind::Parallel, ""},
      {"a_dup.JPG", "a", PairKind::Parallel, ""}}},
    {"mpo_any_case",
     {file("trip.mpo"), file("DSCF0001.MPO")},
     {{"trip.mpo", "trip", PairKind::Multi, ""},
      {"DSCF0001.MPO", "DSCF0001", PairKind::Multi, ""}}},
    {"jps_is_crossing", {file("mario.jps")}, {{"mario.jps", "mario", PairKind::Crossing, ""}}},
    {"base_name_with_dots",
     {file("2024.05.trip.mpo"), file("a.b.JPS")},
     {{"2024.05.trip.mpo", "2024.05.trip", PairKind::Multi, ""},
      {"a.b.JPS", "a.b", PairKind::Crossing, ""}}},
    {"folder_named_mpo", {{NodeType::Folder, "x.mpo", {}}, {NodeType::Folder, "y.jps", {}}}, {}},
    {"hidden_mpo_and_jps_skipped", {file(".x.mpo"), file(".y.JPS"), file(".mpo")}, {}},
    {"among_the_convention",
     {file("a_DUP.jpg"), file("a.mpo"), file("b_DUL.jpg"), file("b_DUR.jpg"), file("x.jpg"),
      file("c.jps"), file("d.jpeg")},
     {{"a_DUP.jpg", "a", PairKind::Parallel, ""},
      {"a.mpo", "a", PairKind::Multi, ""},
      {"b_DUL.jpg", "b", PairKind::TwoFiles, "b_DUR.jpg"},
      {"c.jps", "c", PairKind::Crossing, ""}}},
};

class ScanTable : public ::testing::TestWithParam<ScanCase> {
protected:
    void SetUp() override { dir.add(GetParam().nodes); }

    std::vector<PairEntry> expectedEntries(const std::vector<std::string>& fileOrder) const {
        std::vector<Expected> expected = GetParam().expected;
        const auto rank = [&](const Expected& e) {
            return std::find(fileOrder.begin(), fileOrder.end(), e.matchedName) - fileOrder.begin();
        };
        std::stable_sort(expected.begin(), expected.end(),
                         [&](const Expected& a, const Expected& b) { return rank(a) < rank(b); });
        std::vector<PairEntry> entries;
        for (const Expected& e : expected) {
            const std::string rightEye =
                e.rightEyeName.empty() ? "" : dir.slashed() + e.rightEyeName;
            entries.push_back({dir.slashed() + e.baseName, e.baseName, e.kind,
                               dir.slashed() + e.matchedName, rightEye});
        }
        return entries;
    }

    TempFolder dir;
};

std::vector<PairEntry> entriesOf(const PairList& list) {
    std::vector<PairEntry> entries;
    for (int k = 1; k <= list.count(); ++k) {
        entries.push_back(list.entry(k));
    }
    return entries;
}

TEST_P(ScanTable, StartUpScanFollowsListingOrder) {
    PairList list;
    list.append({"/stale", "stale", PairKind::Parallel, "/stale_DUP.jpg", {}});
    scanFolderForPairs(dir.path(), list);
    EXPECT_EQ(entriesOf(list), expectedEntries(testing::readdirOrder(dir.path())));
}

// An entry made by hand loads by base path + suffix: that finds the file each entry was classified
// from, whatever else the folder holds, except between two pairs of one base name whose endings
// differ only in case; their entries carry their files.
TEST_P(ScanTable, LoadingByBasePathOpensTheClassifiedFiles) {
    PairList list;
    scanFolderForPairs(dir.path(), list);
    const std::vector<PairEntry> entries = entriesOf(list);
    for (const PairEntry& entry : entries) {
        if (std::count_if(entries.begin(), entries.end(), [&](const PairEntry& other) {
                return other.basePath == entry.basePath && other.kind == entry.kind;
            }) > 1) {
            continue;
        }
        EXPECT_EQ(pairFilePath(entry.basePath, entry.kind, Eye::Left), entry.filePath);
        if (entry.kind == PairKind::TwoFiles) {
            EXPECT_EQ(pairFilePath(entry.basePath, entry.kind, Eye::Right), entry.rightEyeFilePath);
        }
    }
}

TEST_P(ScanTable, FilerFollowsNameOrderWithRowsInStep) {
    const std::vector<std::string> nameOrder =
        FolderListing::read(dir.path()).pairFileCandidates(NameOrder::IgnoringAsciiCase);
    PairList list;
    const FilerListing filer = buildFilerList(dir.slashed(), list);
    const std::vector<PairEntry> expected = expectedEntries(nameOrder);
    ASSERT_EQ(entriesOf(list), expected);
    ASSERT_EQ(filer.rows.size(), expected.size());
    ASSERT_EQ(filer.previewPaths.size(), expected.size());
    for (std::size_t r = 0; r < expected.size(); ++r) {
        EXPECT_EQ(filer.rows[r], expected[r].baseName);
        EXPECT_EQ(filer.previewPaths[r], expected[r].filePath);
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ScanTable, ::testing::ValuesIn(kScanCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ScanFolder, TrailingSeparatorMakesNoDifference) {
    TempFolder dir;
    dir.add({file("a_DUP.jpg"), file("b_DUL.jpg"), file("b_DUR.jpg")});
    PairList plain;
    PairList slashed;
    scanFolderForPairs(dir.path(), plain);
    scanFolderForPairs(dir.slashed(), slashed);
    ASSERT_EQ(plain.count(), 2);
    EXPECT_EQ(entriesOf(plain), entriesOf(slashed));
    EXPECT_EQ(plain.entry(1).basePath, dir.slashed() + plain.entry(1).baseName);
}

TEST(ScanFolder, MissingFolderGivesEmptyList) {
    TempFolder dir;
    PairList list;
    list.append({"/stale", "stale", PairKind::Parallel, "/stale_DUP.jpg", {}});
    scanFolderForPairs(dir.slashed() + "missing", list);
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(buildFilerList(dir.slashed() + "missing", list).rows.empty());
    EXPECT_EQ(list.count(), 0);
}

TEST(ScanFolder, NeverOpensAFifo) {
    TempFolder dir;
    dir.add({{NodeType::Fifo, "f_DUP.jpg", {}},
             file("g_DUL.jpg"),
             {NodeType::Fifo, "g_DUR.jpg", {}},
             file("h_DUP.jpg")});
    // Opening a FIFO blocks until a writer comes, so a scan that opened one would never return.
    auto task = std::make_shared<std::packaged_task<int()>>([folder = dir.path()] {
        PairList list;
        scanFolderForPairs(folder, list);
        return list.count();
    });
    std::future<int> count = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    ASSERT_EQ(count.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(count.get(), 1);
}

TEST(FilerList, ListsPairsByBaseNameWithPreviews) {
    TempFolder dir;
    for (const char* name :
         {"f.jpg", "e_dur.jpg", "d_DUL.jpg", "c_DUR.jpg", "c_DUL.jpg", "B_DUC.JPG", "a_DUP.jpg"}) {
        dir.add(file(name));
    }
    PairList list;
    const FilerListing filer = buildFilerList(dir.path(), list);
    const std::string folder = dir.slashed();
    EXPECT_EQ(filer.rows, (std::vector<std::string>{"a", "B", "c"}));
    EXPECT_EQ(filer.previewPaths,
              (std::vector<std::string>{folder + "a_DUP.jpg", folder + "B_DUC.JPG",
                                        folder + "c_DUL.jpg"}));
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.entry(1),
              (PairEntry{folder + "a", "a", PairKind::Parallel, folder + "a_DUP.jpg", {}}));
    EXPECT_EQ(list.entry(2),
              (PairEntry{folder + "B", "B", PairKind::Crossing, folder + "B_DUC.JPG", {}}));
    EXPECT_EQ(list.entry(3), (PairEntry{folder + "c", "c", PairKind::TwoFiles, folder + "c_DUL.jpg",
                                        folder + "c_DUR.jpg"}));
}

TEST(FilerList, RowsSortedIgnoringCase) {
    TempFolder dir;
    for (const char* name : {"b_DUP.jpg", "ab_DUC.jpg", "a_DUL.jpg", "A_DUR.jpg", "A_DUP.jpg",
                             "a_DUC.jpg", "C_DUP.jpg"}) {
        dir.add(file(name));
    }
    PairList list;
    const FilerListing filer = buildFilerList(dir.path(), list);
    // Same base name, not merged: kinds C, 2 and P in the order of their file names.
    EXPECT_EQ(filer.rows, (std::vector<std::string>{"a", "a", "A", "ab", "b", "C"}));
    ASSERT_EQ(list.count(), 6);
    EXPECT_EQ(list.entry(1).kind, PairKind::Crossing);
    EXPECT_EQ(list.entry(2).kind, PairKind::TwoFiles);
    EXPECT_EQ(list.entry(3).kind, PairKind::Parallel);
}

} // namespace
} // namespace duoptic
