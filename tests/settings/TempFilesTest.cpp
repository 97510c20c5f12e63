#include "settings/SaveFile.h"

#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace duoptic {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

enum class Kind { File, NewFile, HeldFile, Folder, Link };

struct EntryRow {
    const char* name;
    std::string entry; // beside the settings file "duoptic.ini"
    Kind kind;
    bool removed;
};

void PrintTo(const EntryRow& row, std::ostream* out) {
    *out << row.name;
}

// Files that tests leave behind are dated an hour back, as a killed save's file would be.
void writeOldFile(const std::string& path, const std::string& content) {
    writeFile(path, content);
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                               std::chrono::hours(1));
}

// Holds an exclusive flock on a file for its life, as a save that is still running does.
class HeldFile {
public:
    explicit HeldFile(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_CLOEXEC)) {
        EXPECT_EQ(flock(fd_, LOCK_EX | LOCK_NB), 0);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    ~HeldFile() { close(fd_); }

private:
    int fd_;
};

class AbandonedTempFileTest : public ::testing::TestWithParam<EntryRow> {};

// A save removes only what a killed save of the same file left: a regular file named
// "duoptic.ini.tmp-" and six letters or digits that no running save holds or has just made.
TEST_P(AbandonedTempFileTest, OnlyOursAreRemoved) {
    const EntryRow& row = GetParam();
    TempFolder folder;
    const std::string path = folder.slashed() + row.entry;
    std::optional<HeldFile> held;
    switch (row.kind) {
    case Kind::File:
        writeOldFile(path, "left over");
        break;
    case Kind::NewFile: // another save's, in the moment between its creation and its lock
        writeFile(path, "");
        break;
    case Kind::HeldFile:
        writeOldFile(path, "being written");
        held.emplace(path);
        break;
    case Kind::Folder:
        std::filesystem::create_directory(path);
        break;
    case Kind::Link:
        writeFile(folder.slashed() + "target", "kept");
        std::filesystem::create_symlink("target", path);
        break;
    }

    saveFileAtomically(folder.slashed() + "duoptic.ini", "[S]\r\nK=1\r\n");
    EXPECT_EQ(readFile(folder.slashed() + "duoptic.ini"), "[S]\r\nK=1\r\n");
    EXPECT_EQ(!std::filesystem::exists(std::filesystem::symlink_status(path)), row.removed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AbandonedTempFileTest,
    ::testing::Values(EntryRow{"Abandoned", "duoptic.ini.tmp-aZ09xY", Kind::File, true},
                      EntryRow{"JustCreated", "duoptic.ini.tmp-aZ09xY", Kind::NewFile, false},
                      EntryRow{"HeldByARunningSave", "duoptic.ini.tmp-aZ09xY", Kind::HeldFile,
                               false},
                      EntryRow{"Folder", "duoptic.ini.tmp-aZ09xY", Kind::Folder, false},
                      EntryRow{"Link", "duoptic.ini.tmp-aZ09xY", Kind::Link, false},
                      EntryRow{"FiveCharacters", "duoptic.ini.tmp-aZ09x", Kind::File, false},
                      EntryRow{"SevenCharacters", "duoptic.ini.tmp-aZ09xYz", Kind::File, false},
                      EntryRow{"NotALetterOrDigit", "duoptic.ini.tmp-aZ09x_", Kind::File, false},
                      EntryRow{"WithoutTmp", "duoptic.ini.aZ09xY", Kind::File, false},
                      EntryRow{"OtherFilesTemp", "other.ini.tmp-aZ09xY", Kind::File, false},
                      EntryRow{"LongerName", "xduoptic.ini.tmp-aZ09xY", Kind::File, false},
                      EntryRow{"Backup", "duoptic.ini.tmp-aZ09xY.bak", Kind::File, false}),
    [](const ::testing::TestParamInfo<EntryRow>& info) { return info.param.name; });

} // namespace
} // namespace duoptic
