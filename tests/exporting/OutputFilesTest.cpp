// A set of files goes in whole or not at all: where a later file of the set cannot be put in
// place, the ones already renamed are taken back, and a file they replaced is there again.
#include "exporting/OutputFiles.h"

#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace duoptic {
namespace {

std::vector<std::uint8_t> bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(OutputFiles, AFailedSetLeavesTheFolderAsItWas) {
    for (const Replace replace : {Replace::Never, Replace::Existing}) {
        testing::TempFolder folder;
        const bool replacing = replace == Replace::Existing;
        if (replacing) {
            folder.write("a_DUL.jpg", "old left");
        }
        folder.makeFolder("a_DUR.jpg"); // a folder where the second file is to go
        EXPECT_THROW(writeOutputFiles(folder.path(),
                                      {{"a_DUL.jpg", bytes("new left")}, {"a_DUR.jpg", bytes("r")}},
                                      replace, {}),
                     Error);
        const auto names = std::distance(std::filesystem::directory_iterator(folder.path()),
                                         std::filesystem::directory_iterator{});
        EXPECT_EQ(names, replacing ? 2 : 1); // nothing beside what was there, no temporary file
        if (replacing) {
            EXPECT_EQ(testing::readFile(folder.file("a_DUL.jpg")), "old left");
        }
    }
}

} // namespace
} // namespace duoptic
