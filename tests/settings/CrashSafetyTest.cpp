// A process killed at any moment while it writes its settings leaves either the old file or the
// new one, whole: never a mixture, a truncated file or no file.
#include "settings/Settings.h"

#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <string>

namespace duoptic {
namespace {

using testing::readFile;
using testing::TempFolder;

SettingsRecord recordWithBorder(int border, const std::string& folder) {
    SettingsRecord record;
    record.borderWidth = border;
    // A long value makes each write take a measurable time, so kills land inside it.
    record.latestPath = folder + std::string(1500, 'x');
    return record;
}

TEST(SettingsCrashSafety, KilledWritesLeaveOneCompleteFile) {
    TempFolder folder;
    const std::string path = folder.slashed() + "duoptic.ini";
    writeSettings(path, recordWithBorder(1, folder.slashed()));
    const std::string first = readFile(path);
    writeSettings(path, recordWithBorder(2, folder.slashed()));
    const std::string second = readFile(path);

    std::mt19937 random(12345);
    std::uniform_int_distribution<long> delayNs(0, 3'000'000);
    for (int round = 0; round < 40; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                writeSettings(path, recordWithBorder(1 + i % 2, folder.slashed()));
            }
        }
        const timespec pause{0, delayNs(random)};
        nanosleep(&pause, nullptr);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        const std::string now = readFile(path);
        ASSERT_TRUE(now == first || now == second)
            << "round " << round << ": " << now.size() << " bytes";
    }

    // What the killed writes left behind goes at a later save, once it is no longer new.
    for (const auto& entry : std::filesystem::directory_iterator(folder.slashed())) {
        std::filesystem::last_write_time(entry.path(),
                                         entry.last_write_time() - std::chrono::hours(1));
    }
    writeSettings(path, recordWithBorder(1, folder.slashed()));
    std::set<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder.slashed())) {
        entries.insert(entry.path().filename().string());
    }
    EXPECT_EQ(entries, std::set<std::string>{"duoptic.ini"});
}

} // namespace
} // namespace duoptic
