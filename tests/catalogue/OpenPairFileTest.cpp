#include "catalogue/OpenPairFile.h"

#include "TempFolder.h"

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
    const char* formed;   // base name + opened suffix
    const char* resolved; // the name opened
};

void PrintTo(const ResolveCase& c, std::ostream* os) {
    *os << c.label;
}

class ResolvePairFilePath : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolvePairFilePath, FindsTheClassifiedSpelling) {
    TempFolder dir;
    dir.add(GetParam().nodes);
    EXPECT_EQ(resolvePairFilePath(dir.slashed() + GetParam().formed),
              dir.slashed() + GetParam().resolved);
}

TEST_P(ResolvePairFilePath, RelativeNameResolvesInCurrentDirectory) {
    TempFolder dir;
    dir.add(GetParam().nodes);
    const std::string previous = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    const std::string resolved = resolvePairFilePath(GetParam().formed);
    ASSERT_EQ(chdir(previous.c_str()), 0);
    EXPECT_EQ(resolved, GetParam().resolved);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ResolvePairFilePath,
    ::testing::Values(
        ResolveCase{"exact", {file("x_DUP.jpg")}, "x_DUP.jpg", "x_DUP.jpg"},
        ResolveCase{"other_case", {file("x_dup.JPG")}, "x_DUP.jpg", "x_dup.JPG"},
        ResolveCase{"exact_wins", {file("x_dup.JPG"), file("x_DUP.jpg")}, "x_DUP.jpg", "x_DUP.jpg"},
        ResolveCase{"missing_unchanged", {file("y_DUP.jpg")}, "x_DUP.jpg", "x_DUP.jpg"},
        ResolveCase{"folder_passed_over",
                    {{NodeType::Folder, "x_DUR.jpg", {}}, file("x_dur.JPG")},
                    "x_DUR.jpg",
                    "x_dur.JPG"},
        ResolveCase{
            "fifo_unchanged", {{NodeType::Fifo, "x_dur.jpg", {}}}, "x_DUR.jpg", "x_DUR.jpg"},
        ResolveCase{"empty_base_name", {file("_dup.jpg")}, "_DUP.jpg", "_dup.jpg"},
        ResolveCase{"name_not_utf8", {file("\xff_dul.JPG")}, "\xff_DUL.jpg", "\xff_dul.JPG"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ResolvePairFilePath, MissingFolderLeavesPathUnchanged) {
    TempFolder dir;
    const std::string formed = dir.slashed() + "gone/x_DUP.jpg";
    EXPECT_EQ(resolvePairFilePath(formed), formed);
}

} // namespace
} // namespace duoptic
