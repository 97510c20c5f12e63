#include "settings/Settings.h"

#include "base/Error.h"
#include "settings/FileText.h"
#include "settings/IniFile.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <tuple>

namespace duoptic {
namespace {

using testing::readFile;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::writeFile;

const char* const kFromNothing = "[Viewer]\r\n"
                                 "ViewerMode=(Parallel)\r\n"
                                 "FittingMode=0\r\n"
                                 "BorderWidth=4\r\n"
                                 "SlideInterval=10\r\n"
                                 "\r\n"
                                 "[File]\r\n"
                                 "LatestPath=/photos/\r\n"
                                 "\r\n"
                                 "[Window]\r\n"
                                 "WinTop=0\r\n"
                                 "WinLeft=0\r\n"
                                 "WinWidth=600\r\n"
                                 "WinHeight=480\r\n"
                                 "WinState=0\r\n";

std::set<std::string> entriesOf(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

class SettingsTest : public ::testing::Test {
protected:
    std::string iniPath() const { return folder_.slashed() + "duoptic.ini"; }

    void expectWriteRefused(const std::string& path, const SettingsRecord& record = {}) {
        expectRefused(path, [&] { writeSettings(path, record); });
    }

    // Asserts that write fails with the message of the path and changes nothing on disk.
    void expectRefused(const std::string& path, const std::function<void()>& write) {
        const std::string parent = std::filesystem::path(path).parent_path();
        const bool hadFile = std::filesystem::exists(path);
        const std::string before = hadFile ? readFile(path) : "";
        const std::set<std::string> entries =
            std::filesystem::is_directory(parent) ? entriesOf(parent) : std::set<std::string>{};
        try {
            write();
            ADD_FAILURE() << "no error for " << path;
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), path + " に書き込めません");
        }
        EXPECT_EQ(std::filesystem::exists(path), hadFile);
        if (hadFile) {
            EXPECT_EQ(readFile(path), before);
        }
        if (std::filesystem::is_directory(parent)) {
            EXPECT_EQ(entriesOf(parent), entries) << "temporary file left behind";
        }
    }

    TempFolder folder_;
};

// A file larger than the reader takes would lose its end if written back from what was read.
TEST_F(SettingsTest, FileTooLargeToKeepWholeIsNotRewritten) {
    writeFile(iniPath(), "[Viewer]\r\nBorderWidth=9\r\n" + std::string(IniFile::kMaxFileSize, ';') +
                             "\r\n[Tail]\r\nKept=1\r\n");
    EXPECT_EQ(readSettings(iniPath(), folder_.slashed()).borderWidth, 9);
    expectWriteRefused(iniPath());
}

// A file that is there but cannot be read would be replaced by defaults and lose what it holds.
TEST_F(SettingsTest, UnreadableFileIsNotRewritten) {
    writeFile(iniPath(), "[Other]\nX=y\n");
    expectRefused(iniPath(), [&] {
        writeSettingsOver(IniFile::fromFile({FileText::State::Unreadable, {}}), iniPath(), {});
    });
}

// Root reads the file whatever its mode, so this runs only for other users.
TEST_F(SettingsTest, WriteOnlyFileIsNotRewritten) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root may read any file";
    }
    writeFile(iniPath(), "[Viewer]\nBorderWidth=9\n[Other]\nX=y\n");
    ASSERT_EQ(chmod(iniPath().c_str(), 0200), 0);
    EXPECT_EQ(readSettings(iniPath(), folder_.slashed()).borderWidth, 4);
    expectWriteRefused(iniPath());
    ASSERT_EQ(chmod(iniPath().c_str(), 0600), 0);
    EXPECT_EQ(readFile(iniPath()), "[Viewer]\nBorderWidth=9\n[Other]\nX=y\n");
}

// A file of LF lines that the program itself wrote, padded with comments to size bytes.
std::string lfFileOfSize(std::size_t size) {
    std::string text = kFromNothing;
    for (std::size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at)) {
        text.erase(at, 1);
    }
    const std::string comment = std::string(99, ';') + "\n";
    while (text.size() + comment.size() <= size) {
        text += comment;
    }
    return text + std::string(size - text.size() - 1, ';') + "\n";
}

TEST_F(SettingsTest, FileNearTheReadLimitStaysRewritable) {
    const std::string before = lfFileOfSize(IniFile::kMaxFileSize - 10);
    writeFile(iniPath(), before);
    SettingsRecord record;
    record.latestPath = "/photos/";
    for (int run = 0; run < 2; ++run) {
        writeSettings(iniPath(), record);
        EXPECT_EQ(readFile(iniPath()), before) << "run " << run;
    }
}

TEST_F(SettingsTest, FileThatWouldOutgrowTheReadLimitIsNotWritten) {
    writeFile(iniPath(), lfFileOfSize(IniFile::kMaxFileSize - 10));
    SettingsRecord record;
    record.latestPath = "/photos/" + std::string(20, 'x') + "/";
    expectWriteRefused(iniPath(), record);
}

TEST_F(SettingsTest, NoFileGivesDefaults) {
    SettingsRecord expected;
    expected.latestPath = folder_.slashed();
    EXPECT_EQ(readSettings(iniPath(), folder_.slashed()), expected);
    EXPECT_FALSE(std::filesystem::exists(iniPath())) << "reading must create nothing";
}

TEST_F(SettingsTest, FileWrittenFromNothing) {
    SettingsRecord record;
    record.latestPath = "/photos/";
    writeSettings(iniPath(), record);
    EXPECT_EQ(readFile(iniPath()), kFromNothing);
}

TEST_F(SettingsTest, WrittenRecordReadsBack) {
    using enum DisplayMode;
    const SettingsRecord record{
        "(Crossing)", 10, 200, 30, "/home/u/写真/", -8, -1920, 1920, 1080, 2, Mirror, 1, 1, 1, 1};
    writeSettings(iniPath(), record);
    EXPECT_EQ(readSettings(iniPath(), "/elsewhere/"), record);
}

// The viewer's own additions appear only once they leave their defaults, and then stay.
TEST_F(SettingsTest, AdditionsWrittenOnlyOnceChanged) {
    SettingsRecord record;
    record.latestPath = "/photos/";
    record.autoAlign = 1;
    writeSettings(iniPath(), record);
    record.autoAlign = 0;
    writeSettings(iniPath(), record);
    EXPECT_NE(readFile(iniPath()), kFromNothing) << "keys the file holds are kept";
}

// An addition left at its default adds nothing; changed, it is its own line, read back.
TEST_F(SettingsTest, AdditionWrittenAsItsKeyOnceChanged) {
    using Key = std::tuple<std::string, int SettingsRecord::*, int>;
    for (const auto& [key, member, value] :
         {Key{"AutoWindow", &SettingsRecord::autoWindow, 1},
          Key{"Depth", &SettingsRecord::showDepth, 1},
          Key{"ScreenWidth", &SettingsRecord::screenWidthMm, 1330},
          Key{"EyeDistance", &SettingsRecord::eyeDistanceMm, 62}}) {
        std::filesystem::remove(iniPath());
        SettingsRecord record;
        record.latestPath = "/photos/";
        record.*member = value;
        writeSettings(iniPath(), record);
        const std::string line = key + "=" + std::to_string(value) + "\r\n";
        EXPECT_EQ(readFile(iniPath()), kFromNothing + ("\r\n[Alignment]\r\n" + line)) << key;
        EXPECT_EQ(readSettings(iniPath(), "/").*member, value) << key;
    }
}

// Hand-edited values are taken as they stand, out of range or not.
TEST_F(SettingsTest, ValuesKeptAsRead) {
    writeFile(iniPath(), "[viewer]\nViewerMode=(weird)\nSlideInterval=0\nBorderWidth=-3\n"
                         "[FILE]\nLatestPath=\n[Window]\nWinState=7\nWinWidth=99999\n");
    const SettingsRecord record = readSettings(iniPath(), folder_.slashed());
    EXPECT_EQ(record.viewerMode, "(weird)");
    EXPECT_FALSE(isCrossing(record.viewerMode.sides()));
    EXPECT_EQ(record.slideInterval, 0);
    EXPECT_EQ(record.borderWidth, -3);
    EXPECT_EQ(record.latestPath, "") << "a present empty key is not a missing one";
    EXPECT_EQ(record.winState, 7);
    EXPECT_EQ(record.winWidth, 99999);
}

struct IntegerRow {
    const char* name;
    std::string stored; // BorderWidth's text in the file
    int expected;
};

// Failures name the row instead of dumping its bytes.
void PrintTo(const IntegerRow& row, std::ostream* out) {
    *out << row.name;
}

class BorderWidthTest : public SettingsTest, public ::testing::WithParamInterface<IntegerRow> {};

TEST_P(BorderWidthTest, Reads) {
    writeFile(iniPath(), "[Viewer]\r\nBorderWidth=" + GetParam().stored + "\r\n");
    EXPECT_EQ(readSettings(iniPath(), folder_.slashed()).borderWidth, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BorderWidthTest,
    ::testing::Values(IntegerRow{"Decimal", "12", 12}, IntegerRow{"Dollar", "$10", 16},
                      IntegerRow{"ZeroX", "0x10", 16}, IntegerRow{"ZeroXAlone", "0x", 4},
                      IntegerRow{"SignZeroX", "-0x10", 4},
                      IntegerRow{"QuotedSpaceZeroX", "\" 0x10\"", 4},
                      IntegerRow{"TrailingLetters", "12abc", 4}, IntegerRow{"Empty", "", 4},
                      IntegerRow{"Quoted", "\"12\"", 12}, IntegerRow{"Blanks", "  12  ", 12},
                      IntegerRow{"AboveRange", "500", 500},
                      IntegerRow{"Overflow", "2147483648", 4}),
    [](const ::testing::TestParamInfo<IntegerRow>& info) { return info.param.name; });

struct LatestPathRow {
    const char* name;
    std::optional<std::string> stored; // LatestPath in the file before the write
    std::string written;
    std::string readBack; // with the program folder "/program/"
};

void PrintTo(const LatestPathRow& row, std::ostream* out) {
    *out << row.name;
}

class LatestPathTest : public SettingsTest, public ::testing::WithParamInterface<LatestPathRow> {};

// A folder name that the file cannot give back leaves the folder that the file already names:
// a cut name would send the next start to a different or missing folder.
TEST_P(LatestPathTest, ReadsBackAsWrittenOrAsBefore) {
    const LatestPathRow& row = GetParam();
    if (row.stored) {
        writeFile(iniPath(), "[File]\nLatestPath=" + *row.stored + "\n");
    }
    SettingsRecord record;
    record.latestPath = row.written;
    record.borderWidth = 7;
    writeSettings(iniPath(), record);
    const SettingsRecord read = readSettings(iniPath(), "/program/");
    EXPECT_EQ(read.latestPath, row.readBack);
    EXPECT_EQ(read.borderWidth, 7) << "the other values are written all the same";
}

const std::string kLongest = "/" + std::string(IniFile::kMaxValueLength - 2, 'x') + "/";
// Three bytes a character: longer in bytes than the limit in characters.
const std::string kCjk = [] {
    std::string path = "/";
    for (std::size_t i = 0; i < 700; ++i)
        path += "\xE6\x97\xA5";
    return path + "/";
}();

INSTANTIATE_TEST_SUITE_P(
    Rows, LatestPathTest,
    ::testing::Values(LatestPathRow{"LineBreakKeepsStored", "/old/", "/a\nb/", "/old/"},
                      LatestPathRow{"LineBreakWithNoneStored", std::nullopt, "/a\nb/", "/program/"},
                      LatestPathRow{"CarriageReturnKeepsStored", "/old/", "/a\r\nb/", "/old/"},
                      LatestPathRow{"TooLongKeepsStored", "/old/", kLongest + "y/", "/old/"},
                      LatestPathRow{"LongestThatFits", "/old/", kLongest, kLongest},
                      LatestPathRow{"CjkOverTheLimitInBytes", "/old/", kCjk, kCjk},
                      LatestPathRow{"LeadingBlank", "/old/", " /photos/", " /photos/"},
                      LatestPathRow{"TrailingBlank", "/old/", "/photos/ ", "/photos/ "},
                      LatestPathRow{"EnclosingQuotes", std::nullopt, "'/q/'", "'/q/'"},
                      LatestPathRow{"Empty", "/old/", "", ""}),
    [](const ::testing::TestParamInfo<LatestPathRow>& info) { return info.param.name; });

TEST_F(SettingsTest, UnknownKeysAndSectionsSurvive) {
    writeFile(iniPath(), "; my settings\n[Viewer]\nExtra=1\nborderwidth=9\n\n[Other]\nX=y\n");
    SettingsRecord record;
    record.latestPath = "/p/";
    writeSettings(iniPath(), record);
    EXPECT_EQ(readFile(iniPath()), "; my settings\n"
                                   "[Viewer]\n"
                                   "Extra=1\n"
                                   "borderwidth=4\n"
                                   "ViewerMode=(Parallel)\n"
                                   "FittingMode=0\n"
                                   "SlideInterval=10\n"
                                   "\n"
                                   "[Other]\n"
                                   "X=y\n"
                                   "\n"
                                   "[File]\n"
                                   "LatestPath=/p/\n"
                                   "\n"
                                   "[Window]\n"
                                   "WinTop=0\n"
                                   "WinLeft=0\n"
                                   "WinWidth=600\n"
                                   "WinHeight=480\n"
                                   "WinState=0\n");
}

TEST_F(SettingsTest, KeepsPermissionBits) {
    writeFile(iniPath(), "");
    ASSERT_EQ(chmod(iniPath().c_str(), 0640), 0);
    writeSettings(iniPath(), SettingsRecord{});
    EXPECT_EQ(modeOf(iniPath()), 0640u);
    EXPECT_EQ(entriesOf(folder_.slashed()), std::set<std::string>{"duoptic.ini"});
}

TEST_F(SettingsTest, ReplacesALinkNotTheFileBehindIt) {
    const std::string target = folder_.slashed() + "real.ini";
    writeFile(target, "[Other]\nX=y\n");
    ASSERT_EQ(symlink("real.ini", iniPath().c_str()), 0);
    writeSettings(iniPath(), SettingsRecord{});
    EXPECT_FALSE(std::filesystem::is_symlink(iniPath()));
    EXPECT_EQ(readFile(target), "[Other]\nX=y\n");
    EXPECT_EQ(IniFile::load(iniPath()).read("Other", "X"), "y");
    EXPECT_EQ(IniFile::load(iniPath()).read("Window", "WinWidth"), "600");
}

// The permission bits make a file read-only even for root, who would pass access().
TEST_F(SettingsTest, ReadOnlyFileIsRefused) {
    writeFile(iniPath(), "[Viewer]\nBorderWidth=9\n");
    ASSERT_EQ(chmod(iniPath().c_str(), 0444), 0);
    expectWriteRefused(iniPath());
    EXPECT_EQ(modeOf(iniPath()), 0444u);
}

TEST_F(SettingsTest, FolderThatCannotHoldFilesIsRefused) {
    writeFile(folder_.slashed() + "plain", "not a folder");
    expectWriteRefused(folder_.slashed() + "plain/duoptic.ini");
    expectWriteRefused("/proc/duoptic.ini");
}

// A full disk shows up as a failing write(); RLIMIT_FSIZE makes one without a special file system,
// and the signal that comes with it must not kill the program.
TEST_F(SettingsTest, FailedWriteLeavesOldFile) {
    writeFile(iniPath(), "[Viewer]\r\nBorderWidth=9\r\n[Other]\r\nX=y\r\n");
    const std::string before = readFile(iniPath());
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_DFL);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 16;
            setrlimit(RLIMIT_FSIZE, &limit);
            try {
                writeSettings(iniPath(), SettingsRecord{});
            } catch (const Error&) {
                std::_Exit(0);
            }
            std::_Exit(1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(iniPath()), before);
    EXPECT_EQ(entriesOf(folder_.slashed()), std::set<std::string>{"duoptic.ini"});
}

// Each output mode comes back from its stored name; a name of no mode is side by side. Two
// Screens has no name of its own: a file never starts in it.
TEST_F(SettingsTest, DisplayModeReadOnceFromItsName) {
    for (const DisplayModeNames& names : kDisplayModes) {
        writeFile(iniPath(), "[Display]\nMode=" + std::string(names.stored) + "\n");
        const bool stored = names.mode != DisplayMode::TwoScreens;
        EXPECT_EQ(readSettings(iniPath(), "/").displayMode,
                  stored ? names.mode : DisplayMode::SideBySide)
            << names.caption;
    }
    writeFile(iniPath(), "[Display]\nMode=Anaglyph\n");
    EXPECT_EQ(readSettings(iniPath(), "/").displayMode, DisplayMode::SideBySide);
}

// The on/off keys hold 0 or 1; any other number is out of their range and gives the default.
TEST_F(SettingsTest, OnOffKeysTakeOnlyZeroAndOne) {
    using Key = std::tuple<std::string, std::string, int SettingsRecord::*>;
    for (const auto& [section, key, member] :
         {Key{"Display", "SwapParity", &SettingsRecord::interlaceSwap},
          Key{"Display", "MirrorLeft", &SettingsRecord::mirrorLeft},
          Key{"Alignment", "Automatic", &SettingsRecord::autoAlign},
          Key{"Alignment", "OrientJpeg", &SettingsRecord::orientJpegPairs},
          Key{"Alignment", "AutoWindow", &SettingsRecord::autoWindow},
          Key{"Alignment", "Depth", &SettingsRecord::showDepth},
          Key{"Overlay", "CameraData", &SettingsRecord::showCameraData}}) {
        for (const int value : {0, 1, 2, 7, -1, -5}) {
            writeFile(iniPath(), "[" + section + "]\n" + key + "=" + std::to_string(value) + "\n");
            const int expected = value == 0 || value == 1 ? value : SettingsRecord{}.*member;
            EXPECT_EQ(readSettings(iniPath(), "/").*member, expected) << key << "=" << value;
        }
    }
}

TEST_F(SettingsTest, FileBesideAWritableProgram) {
    ScopedEnv config("XDG_CONFIG_HOME", folder_.slashed() + "config");
    EXPECT_EQ(settingsFilePath(folder_.slashed()), iniPath());
    // Not beside a packaged program, even for a user who may write there.
    EXPECT_EQ(settingsFilePath("/usr/bin/"), folder_.slashed() + "config/duoptic/duoptic.ini");
}

struct InstalledRow {
    const char* name;
    std::optional<std::string> xdgConfigHome; // relative to the temporary folder when set
    bool relativeXdg;
    std::string expected; // relative to the temporary folder
};

void PrintTo(const InstalledRow& row, std::ostream* out) {
    *out << row.name;
}

class InstalledCopyTest : public SettingsTest,
                          public ::testing::WithParamInterface<InstalledRow> {};

// A program folder that is a regular file stands for one this user cannot write: root could
// write any real folder.
TEST_P(InstalledCopyTest, UsesTheUserConfigFolder) {
    const InstalledRow& row = GetParam();
    const std::string programFolder = folder_.slashed() + "bin/";
    writeFile(folder_.slashed() + "bin", "");
    std::optional<std::string> xdg = row.xdgConfigHome;
    if (xdg && !row.relativeXdg) {
        xdg = folder_.slashed() + *xdg;
    }
    ScopedEnv config("XDG_CONFIG_HOME", xdg);
    ScopedEnv home("HOME", folder_.slashed() + "home");
    const std::string path = settingsFilePath(programFolder);
    EXPECT_EQ(path, folder_.slashed() + row.expected);

    writeSettings(path, SettingsRecord{});
    EXPECT_EQ(readSettings(path, programFolder).winWidth, 600);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InstalledCopyTest,
    ::testing::Values(
        InstalledRow{"XdgConfigHome", "xdg", false, "xdg/duoptic/duoptic.ini"},
        InstalledRow{"HomeConfig", std::nullopt, false, "home/.config/duoptic/duoptic.ini"},
        InstalledRow{"RelativeXdgIgnored", "xdg", true, "home/.config/duoptic/duoptic.ini"},
        InstalledRow{"EmptyXdgIgnored", "", true, "home/.config/duoptic/duoptic.ini"}),
    [](const ::testing::TestParamInfo<InstalledRow>& info) { return info.param.name; });

} // namespace
} // namespace duoptic
