#include "FilerFrm/FolderTree.h"

#include "base/Error.h"
#include "support/CurrentDirectoryGuard.h"
#include "support/TempFolder.h"

#include "support/NamedCase.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace duoptic {
namespace {

using testing::CurrentDirectoryGuard;
using testing::TempFolder;

// The rows from "/" down to `folder`, as the tree shows them above the subfolders.
std::vector<FolderRow> pathRows(const std::string& folder) {
    std::vector<FolderRow> rows{{"/", "/", 0, true}};
    std::string path;
    std::size_t start = 1;
    while (start < folder.size()) {
        const std::size_t end = std::min(folder.find('/', start), folder.size());
        path += "/" + folder.substr(start, end - start);
        rows.push_back(
            {path, folder.substr(start, end - start), static_cast<int>(rows.size()), true});
        start = end + 1;
    }
    return rows;
}

TEST(FolderTreeTest, PathFromRootThenVisibleSubfoldersIgnoringCase) {
    const TempFolder temp;
    const std::string here = temp.makeFolder("here");
    for (const char* name : {"Zeta", "alpha", ".hidden", "Beta", "b_x", "\xff\xfe"}) {
        temp.makeFolder(std::string("here/") + name);
    }
    temp.write("here/file.txt");
    temp.makeFolder("elsewhere");
    ASSERT_EQ(symlink(temp.file("elsewhere").c_str(), (here + "/linked").c_str()), 0);
    ASSERT_EQ(symlink(temp.file("missing").c_str(), (here + "/dangling").c_str()), 0);
    ASSERT_EQ(symlink((here + "/file.txt").c_str(), (here + "/filelink").c_str()), 0);

    std::vector<FolderRow> expected = pathRows(here);
    const int level = static_cast<int>(expected.size());
    // "_" folds between "Z" and "a" only when letters are folded to lower case.
    for (const char* name : {"alpha", "b_x", "Beta", "linked", "Zeta", "\xff\xfe"}) {
        expected.push_back({here + "/" + name, name, level, false});
    }
    EXPECT_EQ(folderTreeRows(here), expected);
}

TEST(FolderTreeTest, RootShowsItselfThenItsSubfolders) {
    const std::vector<FolderRow> rows = folderTreeRows("/");
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), (FolderRow{"/", "/", 0, true}));
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].level, 1);
        EXPECT_FALSE(rows[i].onPath);
        EXPECT_EQ(rows[i].path, "/" + rows[i].label);
    }
}

TEST(FolderTreeTest, DoubledAndTrailingSeparatorsGiveNoEmptyRows) {
    const TempFolder temp;
    const std::string leaf = temp.makeFolder("leaf");
    EXPECT_EQ(folderTreeRows("/" + leaf + "//"), folderTreeRows(leaf));
}

TEST(CurrentDirectoryTest, RefusalThrowsNamingTheFolderAndStaysWhereItWas) {
    const CurrentDirectoryGuard guard;
    const TempFolder temp;
    changeCurrentDirectory(temp.path());
    const std::string missing = temp.file("missing");
    try {
        changeCurrentDirectory(missing);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), missing + ": " + std::strerror(ENOENT));
    }
    EXPECT_EQ(currentDirectory(), temp.path());
}

} // namespace
} // namespace duoptic
