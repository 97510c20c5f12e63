// A settings file that is not what it should be: the window still starts in time, and at the end
// either saves its settings keeping what it did not understand, or reports that it cannot write
// and leaves whatever stands at the path as it was.
#include "ViewTestSupport.h"
#include "Watchdog.h"

#include "settings/IniFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace duoptic::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

constexpr std::chrono::seconds kLimit{20};

struct SettingsCase {
    const char* name;
    void (*make)(const std::string& ini);
    bool saved;       // else "cannot write" is reported and the path keeps what it led to
    std::string kept; // bytes of the old file that the saved file still holds

    friend void PrintTo(const SettingsCase& c, std::ostream* out) { *out << c.name; }
};

// The kind of thing at the path itself and at the end of its links.
std::pair<mode_t, mode_t> fileTypes(const std::string& path) {
    struct stat own {};
    struct stat target {};
    const mode_t ownType = ::lstat(path.c_str(), &own) == 0 ? own.st_mode & S_IFMT : 0;
    const mode_t targetType = ::stat(path.c_str(), &target) == 0 ? target.st_mode & S_IFMT : 0;
    return {ownType, targetType};
}

const std::string kGarbage = "\x01\x02\xfe\xff garbage \x7f"s + '\0' + "after a NUL";
const std::string kJunkInSection = "\x80\x81 ; not a key";

class HostileSettings : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(HostileSettings, StartsAndEndsWithoutHarm) {
    const SettingsCase& c = GetParam();
    TempFolder program;
    const std::string ini = program.file("duoptic.ini");
    c.make(ini);
    const auto typesBefore = fileTypes(ini);
    ReportRecorder reports;
    {
        std::unique_ptr<ShownWindow> window;
        {
            const Watchdog watchdog(std::string("starting with ") + c.name, kLimit);
            window = std::make_unique<ShownWindow>(program.slashed());
        }
        const Watchdog watchdog(std::string("closing with ") + c.name, kLimit);
        window.reset();
    }
    if (!c.saved) {
        EXPECT_EQ(ReportRecorder::shown(),
                  QStringList{QString::fromStdString(ini + " に書き込めません.")});
        EXPECT_EQ(fileTypes(ini), typesBefore);
        return;
    }
    EXPECT_TRUE(ReportRecorder::shown().isEmpty())
        << ReportRecorder::shown().join('\n').toStdString();
    EXPECT_EQ(fileTypes(ini).second, S_IFREG);
    const IniFile file = IniFile::load(ini);
    for (const char* key : {"ViewerMode", "FittingMode", "BorderWidth", "SlideInterval"}) {
        EXPECT_TRUE(file.read("Viewer", key).has_value()) << key;
    }
    EXPECT_TRUE(file.read("File", "LatestPath").has_value());
    for (const char* key : {"WinTop", "WinLeft", "WinWidth", "WinHeight", "WinState"}) {
        EXPECT_TRUE(file.read("Window", key).has_value()) << key;
    }
    EXPECT_NE(file.text().find(c.kept), std::string::npos) << "lost what the program does not know";
}

void fifoAt(const std::string& path) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileSettings,
    ::testing::Values(
        SettingsCase{"Fifo", [](const std::string& ini) { fifoAt(ini); }, false, {}},
        SettingsCase{"LinkToFifo",
                     [](const std::string& ini) {
                         fifoAt(ini + ".fifo");
                         fs::create_symlink(ini + ".fifo", ini);
                     },
                     false,
                     {}},
        SettingsCase{
            "Folder", [](const std::string& ini) { fs::create_directory(ini); }, false, {}},
        SettingsCase{"LinkLoop",
                     [](const std::string& ini) { fs::create_symlink("duoptic.ini", ini); },
                     false,
                     {}},
        SettingsCase{"BinaryGarbage",
                     [](const std::string& ini) {
                         writeFile(ini, kGarbage + "\r\n[Viewer]\r\n" + kJunkInSection +
                                            "\r\nBorderWidth=9\r\n");
                     },
                     true, kGarbage},
        SettingsCase{"JunkInsideASection",
                     [](const std::string& ini) {
                         writeFile(ini, "[Viewer]\n" + kJunkInSection + "\n[File]\n");
                     },
                     true, kJunkInSection},
        SettingsCase{"LoneCarriageReturns",
                     [](const std::string& ini) { writeFile(ini, "[Viewer]\rBorderWidth=9\r"); },
                     true, "[Viewer]\rBorderWidth=9"},
        SettingsCase{"Empty", [](const std::string& ini) { writeFile(ini, ""); }, true, {}}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return info.param.name; });

} // namespace
} // namespace duoptic::test
