#include "settings/FileText.h"

#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <ostream>
#include <string>

namespace duoptic {
namespace {

using testing::TempFolder;
using testing::writeFile;
using State = FileText::State;

struct ReadRow {
    const char* name;
    std::string (*make)(const std::string& folder); // gives the path to read
    State state;
    std::string text; // read with a limit of 4 bytes
};

void PrintTo(const ReadRow& row, std::ostream* out) {
    *out << row.name;
}

class FileTextTest : public ::testing::TestWithParam<ReadRow> {};

TEST_P(FileTextTest, TellsWhatWasRead) {
    TempFolder folder;
    const FileText read = readFileText(GetParam().make(folder.slashed()), 4);
    EXPECT_EQ(read.state, GetParam().state);
    EXPECT_EQ(read.text, GetParam().text);
}

std::string fileHolding(const std::string& folder, const std::string& content) {
    writeFile(folder + "a.ini", content);
    return folder + "a.ini";
}

std::string linkTo(const std::string& folder, const char* target) {
    symlink(target, (folder + "link").c_str());
    return folder + "link";
}

// Only a path that leads nowhere may be taken for a file that is not there yet: anything else
// that stands there holds something the program must not write over.
INSTANTIATE_TEST_SUITE_P(
    Rows, FileTextTest,
    ::testing::Values(
        ReadRow{"Missing", [](const std::string& f) { return f + "none.ini"; }, State::Missing, ""},
        ReadRow{"DanglingLink", [](const std::string& f) { return linkTo(f, "none.ini"); },
                State::Missing, ""},
        ReadRow{"Small", [](const std::string& f) { return fileHolding(f, "abc"); }, State::Whole,
                "abc"},
        ReadRow{"AtTheLimit", [](const std::string& f) { return fileHolding(f, "abcd"); },
                State::Whole, "abcd"},
        ReadRow{"OverTheLimit", [](const std::string& f) { return fileHolding(f, "abcde"); },
                State::Cut, "abcd"},
        ReadRow{"Folder", [](const std::string& f) { return f; }, State::Unreadable, ""},
        ReadRow{"Fifo",
                [](const std::string& f) {
                    mkfifo((f + "fifo").c_str(), 0600);
                    return f + "fifo";
                },
                State::Unreadable, ""},
        ReadRow{"Device", [](const std::string&) { return std::string("/dev/zero"); },
                State::Unreadable, ""},
        ReadRow{"BelowAFile",
                [](const std::string& f) { return fileHolding(f, "x") + "/duoptic.ini"; },
                State::Unreadable, ""},
        ReadRow{"LinkLoop", [](const std::string& f) { return linkTo(f, "link"); },
                State::Unreadable, ""},
        // A regular file whose first read fails, even for root.
        ReadRow{"ReadError", [](const std::string&) { return std::string("/proc/self/mem"); },
                State::Unreadable, ""}),
    [](const ::testing::TestParamInfo<ReadRow>& info) { return info.param.name; });

} // namespace
} // namespace duoptic
