#include "catalogue/Classify.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

using testing::Node;
using testing::NodeType;
using testing::TempFolder;

struct ClassifyCase {
    const char* label;
    std::vector<Node> nodes;
    std::string name;
    std::optional<std::pair<std::string, PairKind>> accepted; // base name, kind
};

void PrintTo(const ClassifyCase& c, std::ostream* os) {
    *os << c.label;
}

class ClassifyFileName : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyFileName, DecidesFromTheNameAndTheRightEyeFile) {
    const ClassifyCase& c = GetParam();
    TempFolder dir;
    dir.add(c.nodes);
    const FolderListing listing = FolderListing::read(dir.path());
    for (const std::string& folder : {dir.slashed(), std::string()}) {
        const auto result = classifyFileName(folder, c.name, listing);
        ASSERT_EQ(result.has_value(), c.accepted.has_value()) << "folder '" << folder << "'";
        if (result) {
            EXPECT_EQ(result->entry.baseName, c.accepted->first);
            EXPECT_EQ(result->entry.kind, c.accepted->second);
            EXPECT_EQ(result->entry.basePath, folder + c.accepted->first);
            EXPECT_EQ(result->matchedPath, folder + c.name);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ClassifyFileName,
    ::testing::Values(
        ClassifyCase{"left_eye_with_right",
                     {testing::file("l_DUR.jpg")},
                     "l_DUL.jpg",
                     {{"l", PairKind::TwoFiles}}},
        ClassifyCase{"hidden_right_completes_hidden_left",
                     {testing::file(".k_DUR.jpg")},
                     ".k_DUL.jpg",
                     {{".k", PairKind::TwoFiles}}},
        ClassifyCase{"dotted_name_is_another_name", {testing::file(".k_DUR.jpg")}, "k_DUL.jpg", {}},
        ClassifyCase{
            "suffix_only", {testing::file("_dur.JPG")}, "_DUL.jpg", {{"", PairKind::TwoFiles}}},
        ClassifyCase{"shorter_than_suffix", {}, "UP.JPG", {}},
        ClassifyCase{"one_short_of_suffix", {}, "DUP.JPG", {}},
        ClassifyCase{"right_eye_is_link_to_folder",
                     {{NodeType::Folder, "sub", {}}, {NodeType::Link, "s_DUR.jpg", "sub"}},
                     "s_DUL.jpg",
                     {}}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace duoptic
