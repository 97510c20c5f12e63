#include "settings/PairOffsets.h"

#include "settings/SaveFile.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace duoptic {
namespace {

using namespace std::string_literals;
using testing::ScopedEnv;
using testing::TempFolder;

constexpr PairKey kFirst{1};
constexpr PairKey kSecond{0xfedcba9876543210};

// What was captured of standard error.
std::string expectOneLineNaming(const std::string& path) {
    const std::string text = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_NE(text.find(path), std::string::npos) << text;
    return text;
}

class PairOffsetsTest : public ::testing::Test {
protected:
    std::string storePath() const { return folder_.file("share/duoptic/offsets"); }
    void writeStore(const std::string& text) const {
        folder_.add({{testing::NodeType::Folder, "share", {}},
                     {testing::NodeType::Folder, "share/duoptic", {}}});
        testing::writeFile(storePath(), text);
    }

    TempFolder folder_;
    ScopedEnv home_{"HOME", folder_.file("home")};
    ScopedEnv data_{"XDG_DATA_HOME", folder_.file("share")};
};

TEST_F(PairOffsetsTest, KeptOverARestartAndRemovedWhenReset) {
    PairOffsetStore::open().set(kFirst, {3, -4, 7});
    EXPECT_EQ(PairOffsetStore::open().path(), storePath());
    EXPECT_EQ(PairOffsetStore::open().find(kFirst), (PairOffset{3, -4, 7}));
    PairOffsetStore::open().set(kFirst, {});
    EXPECT_EQ(PairOffsetStore::open().find(kFirst), std::nullopt);
}

TEST_F(PairOffsetsTest, TwoRunningViewersKeepEachOthersEntries) {
    PairOffsetStore one = PairOffsetStore::open();
    PairOffsetStore two = PairOffsetStore::open();
    one.set(kFirst, {1, 2, 0});
    two.set(kSecond, {5, 6, 0});
    one.flush();
    two.flush();
    EXPECT_EQ(PairOffsetStore::open().find(kFirst), (PairOffset{1, 2, 0}));
}

// A change reaches the file at a flush, after a quiet moment or when the store goes; never at once.
TEST_F(PairOffsetsTest, WrittenOnFlushAfterAQuietMomentOrAtTheEndButNotAtOnce) {
    const auto onDisk = [](PairKey key) { return PairOffsetStore::open().find(key); };
    {
        PairOffsetStore store = PairOffsetStore::open();
        store.set(kFirst, {1, 0, 0});
        EXPECT_EQ(onDisk(kFirst), std::nullopt);
        store.flush();
        EXPECT_EQ(onDisk(kFirst), (PairOffset{1, 0, 0}));
        store.set(kFirst, {2, 0, 0});
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (onDisk(kFirst) != PairOffset{2, 0, 0} && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_EQ(onDisk(kFirst), (PairOffset{2, 0, 0}));
        store.set(kSecond, {3, 0, 0});
    }
    EXPECT_EQ(onDisk(kSecond), (PairOffset{3, 0, 0}));
}

// Another copy takes its turn at the file slowly, as any copy does it: the lock, a read, its
// change on top, a save. A save of this store meanwhile waits for it and keeps its entry.
TEST_F(PairOffsetsTest, CopiesTakeTurnsAtTheFile) {
    PairOffsetStore::open().set(kFirst, {1, 0, 0});
    const int lock = ::open((storePath() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(lock); // the lock belongs to the parent's turn
        PairOffsetStore::open().set(kSecond, {2, 0, 0});
        _exit(0);
    }
    PairOffsets slow = parsePairOffsets(testing::readFile(storePath())).offsets;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    applyOffset(slow, kFirst, {5, 0, 0});
    saveFileAtomically(storePath(), pairOffsetsText(slow));
    close(lock);
    waitpid(child, nullptr, 0);
    const PairOffsetStore after = PairOffsetStore::open();
    EXPECT_EQ(after.find(kFirst), (PairOffset{5, 0, 0}));
    EXPECT_EQ(after.find(kSecond), (PairOffset{2, 0, 0}));
}

TEST_F(PairOffsetsTest, DamagedLinesAreSkippedWithOneMessageAndGoodOnesKept) {
    const std::string good = kFirst.text() + " 3 4 5\n" + kSecond.text() + "\t-1\t2\r\n";
    writeStore("garbage\n" + good + "0123 1 2\n\x00\xff\x01 1 2\n"s + kFirst.text() + " 1 x\n" +
               kSecond.text() + " 9");
    ::testing::internal::CaptureStderr();
    PairOffsetStore store = PairOffsetStore::open();
    store.find(kFirst); // waits for the reading
    const std::string message = expectOneLineNaming(storePath());
    EXPECT_NE(message.find("1, 4, 5, 6, 7"), std::string::npos) << message;
    store.set(PairKey{2}, {1, 1, 1});
    PairOffsetStore again = PairOffsetStore::open();
    EXPECT_EQ(again.find(kFirst), (PairOffset{3, 4, 50})); // hundredths from tenths
    EXPECT_EQ(again.find(kSecond), (PairOffset{-1, 2, 0}));
}

TEST_F(PairOffsetsTest, AStoreThatCannotBeWrittenKeepsTheOffsetInMemory) {
    folder_.makeFolder("share");
    testing::writeFile(folder_.file("share/duoptic"), "a file where the folder should be");
    PairOffsetStore store = PairOffsetStore::open();
    store.find(kFirst); // after the reading's own message
    ::testing::internal::CaptureStderr();
    store.set(kFirst, {1, 0, 0});
    store.flush();
    store.set(kFirst, {2, 0, 0});
    store.flush();
    expectOneLineNaming(storePath());
    EXPECT_EQ(store.find(kFirst), (PairOffset{2, 0, 0}));
}

TEST_F(PairOffsetsTest, AnEnormousStoreIsReadAsFarAsTheCapAndNotOverwritten) {
    const std::string huge =
        kFirst.text() + " 1 2 3\n" + std::string(PairOffsetStore::kMaxFileSize, '1');
    writeStore(huge);
    PairOffsetStore store = PairOffsetStore::open();
    store.set(kSecond, {1, 0, 0});
    store.flush();
    EXPECT_EQ(store.find(kFirst), (PairOffset{1, 2, 30}));
    EXPECT_EQ(testing::readFile(storePath()), huge);
}

// The roll column is in tenths of a degree as older lines wrote it, with one decimal for finer
// turns; what is written reads back the same.
TEST(PairOffsetsText, RollsInTenthsWithOneDecimal) {
    for (const auto& [text, hundredths] : {std::pair{"7", 70},
                                           {"-3.5", -35},
                                           {"-0.5", -5},
                                           {"0.5", 5},
                                           {"1800", 18000},
                                           {"3.55", 0},
                                           {"3.", 0},
                                           {".5", 0},
                                           {"-.5", 0},
                                           {"1800.1", 0},
                                           {"0x1", 0}}) {
        const ParsedOffsets parsed = parsePairOffsets(kFirst.text() + " 1 0 " + text);
        EXPECT_EQ(parsed.damagedLines, hundredths == 0 ? 1u : 0u) << text;
        if (hundredths != 0) {
            EXPECT_EQ(parsed.offsets.at(kFirst).roll, hundredths) << text;
            EXPECT_EQ(parsePairOffsets(pairOffsetsText(parsed.offsets)).offsets, parsed.offsets);
        }
    }
}

// Without XDG_DATA_HOME (its other forms are the settings' own rules), beside the user's home.
TEST_F(PairOffsetsTest, WithoutXdgDataHomeLivesInTheHomeFolder) {
    const ScopedEnv unset("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(PairOffsetStore::open().path(), folder_.file("home/.local/share/duoptic/offsets"));
}

// Files that differ only after the first 64 KiB are the same pictures to the key: it reads no more.
TEST(PairKeyTest, FollowsTheContentNotThePath) {
    const TempFolder folder;
    std::vector<std::uint8_t> left(kPairKeyBytes + 100, 7);
    folder.makeFolder("a");
    const std::string right = folder.write("a/R.jpg", "right eye");
    const auto keyWith = [&](const std::vector<std::uint8_t>& bytes) {
        return pairKey({folder.write("a/L.jpg", bytes), right});
    };
    const std::optional<PairKey> key = keyWith(left);
    ASSERT_TRUE(key);
    EXPECT_EQ(pairKey({folder.copyIn(folder.file("a/L.jpg"), "x"), folder.copyIn(right, "y")}),
              key);
    EXPECT_NE(pairKey({right, folder.file("a/L.jpg")}), key);
    left[kPairKeyBytes - 1] = 8;
    EXPECT_NE(keyWith(left), key);
    left[kPairKeyBytes - 1] = 7;
    left[kPairKeyBytes] = 8;
    EXPECT_EQ(keyWith(left), key);
    left.push_back(7);
    EXPECT_NE(keyWith(left), key);
    EXPECT_EQ(pairKey({right, folder.file("missing")}), std::nullopt);
    EXPECT_EQ(PairKey::fromText(key->text()), key);
}

} // namespace
} // namespace duoptic
