#include "catalogue/DirectoryEntries.h"

#include "support/NamedCase.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>

namespace duoptic {
namespace {

using testing::Node;
using testing::NodeType;
using testing::TempFolder;

std::map<std::string, EntryKind> entriesOf(const std::string& folder) {
    std::map<std::string, EntryKind> kinds;
    DirectoryEntries dir(folder);
    while (const auto name = dir.next()) {
        kinds.emplace(*name, dir.kind());
    }
    return kinds;
}

struct KindCase {
    const char* name;
    std::vector<Node> nodes; // the last one is asked about
    EntryKind kind;
};

class EntryKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(EntryKinds, FollowLinksLikeOpeningWould) {
    TempFolder dir;
    dir.add(GetParam().nodes);
    const std::string& asked = GetParam().nodes.back().name;
    EXPECT_EQ(entriesOf(dir.path()).at(asked), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    DirectoryEntries, EntryKinds,
    ::testing::Values(
        KindCase{"File", {{NodeType::File, "a", {}}}, EntryKind::File},
        KindCase{"HiddenFile", {{NodeType::File, ".a", {}}}, EntryKind::File},
        KindCase{"Folder", {{NodeType::Folder, "d", {}}}, EntryKind::Folder},
        KindCase{"Fifo", {{NodeType::Fifo, "p", {}}}, EntryKind::Other},
        KindCase{
            "LinkToFile", {{NodeType::File, "a", {}}, {NodeType::Link, "l", "a"}}, EntryKind::File},
        KindCase{"LinkToFolder",
                 {{NodeType::Folder, "d", {}}, {NodeType::Link, "l", "d"}},
                 EntryKind::Folder},
        KindCase{"LinkToFifo",
                 {{NodeType::Fifo, "p", {}}, {NodeType::Link, "l", "p"}},
                 EntryKind::Other},
        KindCase{"DanglingLink", {{NodeType::Link, "l", "missing"}}, EntryKind::Other},
        KindCase{"LinkLoop", {{NodeType::Link, "l", "l"}}, EntryKind::Other}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DirectoryEntries, GivesEveryNameOnceWithoutDotAndDotDot) {
    TempFolder dir;
    dir.add({{NodeType::File, "a", {}}, {NodeType::Folder, "b", {}}, {NodeType::File, ".c", {}}});
    const std::map<std::string, EntryKind> expected{
        {"a", EntryKind::File}, {"b", EntryKind::Folder}, {".c", EntryKind::File}};
    EXPECT_EQ(entriesOf(dir.path()), expected);
}

TEST(DirectoryEntries, MissingFolderIsNotOpenedAndHasNoEntries) {
    TempFolder dir;
    DirectoryEntries missing(dir.file("missing"));
    EXPECT_FALSE(missing.opened());
    EXPECT_FALSE(missing.next());
    EXPECT_TRUE(DirectoryEntries(dir.path()).opened());
}

} // namespace
} // namespace duoptic
