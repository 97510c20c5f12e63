#include "base/Paths.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace duoptic {
namespace {

struct SeparatorRow {
    const char* name;
    std::string path;
    std::string with;    // withTrailingSeparator
    std::string without; // withoutTrailingSeparator
};

void PrintTo(const SeparatorRow& row, std::ostream* out) {
    *out << row.name;
}

class TrailingSeparator : public ::testing::TestWithParam<SeparatorRow> {};

TEST_P(TrailingSeparator, IsAddedOnceOrDroppedButTheRootStays) {
    EXPECT_EQ(withTrailingSeparator(GetParam().path), GetParam().with);
    EXPECT_EQ(withoutTrailingSeparator(GetParam().path), GetParam().without);
}

INSTANTIATE_TEST_SUITE_P(Rows, TrailingSeparator,
                         ::testing::Values(SeparatorRow{"EmptyBecomesRoot", "", "/", ""},
                                           SeparatorRow{"Root", "/", "/", "/"},
                                           SeparatorRow{"DoubledRoot", "//", "//", "/"},
                                           SeparatorRow{"Folder", "/pics", "/pics/", "/pics"},
                                           SeparatorRow{"AlreadyThere", "/pics/", "/pics/",
                                                        "/pics"},
                                           SeparatorRow{"Several", "/a//", "/a//", "/a"},
                                           SeparatorRow{"Relative", "pics", "pics/", "pics"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The two parts always give the path back, and the name never holds a separator.
TEST(PathParts, SplitAtTheLastSeparator) {
    for (const std::string path : {"", "/", "a", "/a", "a/", "/a/b", "a//b", "/a/b/"}) {
        EXPECT_EQ(std::string(folderPart(path)) + std::string(namePart(path)), path) << path;
        EXPECT_EQ(namePart(path).find('/'), std::string::npos) << path;
        EXPECT_TRUE(folderPart(path).empty() || folderPart(path).back() == '/') << path;
    }
}

} // namespace
} // namespace duoptic
