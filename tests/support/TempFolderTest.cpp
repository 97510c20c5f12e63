#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

namespace duoptic::testing {
namespace {

namespace fs = std::filesystem;

TEST(TempFolder, PathIsRealAndHasNoTrailingSeparator) {
    const TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    EXPECT_NE(folder.path().back(), '/');
    EXPECT_EQ(fs::canonical(folder.path()).string(), folder.path());
    EXPECT_EQ(folder.slashed(), folder.path() + "/");
    EXPECT_EQ(folder.file("a/b"), folder.path() + "/a/b");
}

TEST(TempFolder, MakesWhatItIsAskedAndGivesItsPath) {
    const TempFolder folder;
    EXPECT_EQ(readFile(folder.write("a.txt", "bytes")), "bytes");
    EXPECT_EQ(fileBytes(folder.write("b.bin", std::vector<std::uint8_t>{0, 255})),
              (std::vector<std::uint8_t>{0, 255}));
    EXPECT_TRUE(fs::is_directory(folder.makeFolder("sub")));
    EXPECT_EQ(readFile(folder.copyIn(folder.file("a.txt"), "sub/c.txt")), "bytes");
    folder.add({{NodeType::Fifo, "p", {}}, {NodeType::Link, "l", "a.txt"}});
    EXPECT_TRUE(fs::is_fifo(folder.file("p")));
    EXPECT_EQ(fs::read_symlink(folder.file("l")), "a.txt");
    EXPECT_THROW(folder.makeFolder("sub"), std::runtime_error);
    EXPECT_THROW(folder.write("missing/x", "y"), std::runtime_error);
}

// Tests take permissions away to see how the code copes; the folder must still go.
TEST(TempFolder, RemovesEverythingEvenWithoutPermissions) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root; run the tests as another user";
    }
    std::optional<TempFolder> folder(std::in_place);
    const std::string path = folder->path();
    const std::string locked = folder->makeFolder("locked");
    folder->makeFolder("locked/inner");
    folder->write("locked/inner/file", "x");
    ASSERT_EQ(::chmod((locked + "/inner").c_str(), 0), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    folder.reset();
    EXPECT_FALSE(fs::exists(path));
}

TEST(TestFiles, ReadingWhatIsNotThereFailsLoudly) {
    const TempFolder folder;
    EXPECT_THROW(readFile(folder.file("missing")), std::runtime_error);
    EXPECT_THROW(fileBytes(folder.file("missing")), std::runtime_error);
    EXPECT_FALSE(fileBytes(testData("jpeg/testorig.jpg")).empty());
}

} // namespace
} // namespace duoptic::testing
