#include "catalogue/Classify.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

using testing::Node;
using testing::NodeType;
using testing::TempFolder;

struct Accepted {
    std::string baseName;
    PairKind kind;
    std::string rightEye; // the right-eye file's name for kind 2
};

struct ClassifyCase {
    const char* label;
    std::vector<Node> nodes;
    std::string name;
    std::optional<Accepted> accepted;
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
            const Accepted& a = *c.accepted;
            const std::string rightEye = a.rightEye.empty() ? "" : folder + a.rightEye;
            EXPECT_EQ(*result, (PairEntry{folder + a.baseName, a.baseName, a.kind, folder + c.name,
                                          rightEye}));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ClassifyFileName,
    ::testing::Values(
        ClassifyCase{"left_eye_with_right",
                     {testing::file("l_DUR.jpg")},
                     "l_DUL.jpg",
                     {{"l", PairKind::TwoFiles, "l_DUR.jpg"}}},
        ClassifyCase{"hidden_right_completes_hidden_left",
                     {testing::file(".k_DUR.jpg")},
                     ".k_DUL.jpg",
                     {{".k", PairKind::TwoFiles, ".k_DUR.jpg"}}},
        ClassifyCase{"dotted_name_is_another_name", {testing::file(".k_DUR.jpg")}, "k_DUL.jpg", {}},
        ClassifyCase{"suffix_only",
                     {testing::file("_dur.JPG")},
                     "_DUL.jpg",
                     {{"", PairKind::TwoFiles, "_dur.JPG"}}},
        // The right-eye file is the one a load of base path + "_DUR.jpg" opens: the spelling
        // with the same base name, even where another one comes first in the listing.
        ClassifyCase{"right_eye_of_the_same_base_spelling",
                     {testing::file("x_DUR.jpg"), testing::file("X_dur.JPG")},
                     "X_dul.JPG",
                     {{"X", PairKind::TwoFiles, "X_dur.JPG"}}},
        ClassifyCase{"right_eye_of_the_other_base_spelling",
                     {testing::file("x_DUR.jpg"), testing::file("X_dur.JPG")},
                     "x_DUL.jpg",
                     {{"x", PairKind::TwoFiles, "x_DUR.jpg"}}},
        ClassifyCase{"eye_letter_keeps_its_case",
                     {testing::file("c_DUR.jpg"), testing::file("c_DuR.jpg")},
                     "c_DuL.jpg",
                     {{"c", PairKind::TwoFiles, "c_DuR.jpg"}}},
        ClassifyCase{"right_eye_in_any_case_when_alone",
                     {testing::file("x_DUR.jpg")},
                     "X_dul.JPG",
                     {{"X", PairKind::TwoFiles, "x_DUR.jpg"}}},
        ClassifyCase{"mpo_upper_case", {}, "DSCF0001.MPO", {{"DSCF0001", PairKind::Multi, ""}}},
        ClassifyCase{"jps_mixed_case", {}, "Mario.JpS", {{"Mario", PairKind::Crossing, ""}}},
        ClassifyCase{
            "convention_suffix_before_mpo", {}, "a_DUP.mpo", {{"a_DUP", PairKind::Multi, ""}}},
        ClassifyCase{"extension_only", {}, ".mpo", {{"", PairKind::Multi, ""}}},
        ClassifyCase{"jps_then_jpg", {}, "x.jps.jpg", {}},
        ClassifyCase{"mpo_not_at_the_end", {}, "x.mpo.bak", {}},
        ClassifyCase{"mpo_without_dot", {}, "xmpo", {}},
        ClassifyCase{"shorter_than_suffix", {}, "UP.JPG", {}},
        ClassifyCase{"one_short_of_suffix", {}, "DUP.JPG", {}},
        ClassifyCase{"right_eye_is_link_to_folder",
                     {{NodeType::Folder, "sub", {}}, {NodeType::Link, "s_DUR.jpg", "sub"}},
                     "s_DUL.jpg",
                     {}}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace duoptic
