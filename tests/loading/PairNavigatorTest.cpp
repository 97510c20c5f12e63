// The navigator without any window: its list and cursor, the preload ahead, and the start.
#include "loading/PairNavigator.h"
#include "base/Error.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace duoptic {
namespace {

using Nav = PairNavigator;
constexpr ViewerSides kSides = ViewerSides::Parallel;

class PairNavigatorTest : public ::testing::Test {
protected:
    PairNavigatorTest() {
        for (const char* name : {"a_DUP.jpg", "b_DUP.jpg", "c_DUP.jpg", "lonely_DUL.jpg"}) {
            folder.copyIn(testing::testData("jpeg/testorig.jpg"), name);
        }
    }
    // Opens `target` and loads what it leads to, as the window does; the entry now current.
    int show(const Nav::Target& target, bool preloadFirst = false) {
        if (preloadFirst) {
            navigator.schedulePreload(kSides);
            for (int i = 0; i < 500 && navigator.preloading(); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        if (const Nav::Opened opened = navigator.open(target, kSides); opened.pair) {
            navigator.load(*opened.pair, rasters);
        }
        return navigator.cursor();
    }
    testing::TempFolder folder;
    Nav navigator;
    PairRasters rasters;
};

// Both ends wrap; a step back from no entry is the last; the preload ahead follows the direction
// of the last step, and a chosen entry goes forward again.
TEST_F(PairNavigatorTest, StepsWrapAndThePreloadFollowsTheirDirection) {
    show(Nav::Folder{folder.slashed()});
    EXPECT_EQ(show(Nav::Step::Previous), 3);
    EXPECT_EQ(show(Nav::Step::Next), 1);
    EXPECT_EQ(show(Nav::Step::Previous), 3);
    EXPECT_EQ(show(Nav::Entry{0}), 0);
    EXPECT_EQ(show(Nav::Step::Previous, true), 3);
    EXPECT_EQ(navigator.preloadsTaken(), 0);
    EXPECT_EQ(show(Nav::Step::Previous, true), 2);
    EXPECT_EQ(show(Nav::Entry{1}), 1);
    EXPECT_EQ(show(Nav::Step::Next, true), 2);
    EXPECT_EQ(navigator.preloadsTaken(), 2);
}

// In a folder of one pair the pair ahead is the one on screen, whichever list it is in now.
TEST_F(PairNavigatorTest, ThePairOnScreenIsNeverPreloaded) {
    for (const char* name : {"b_DUP.jpg", "c_DUP.jpg", "lonely_DUL.jpg"}) {
        std::filesystem::remove(folder.file(name));
    }
    show(Nav::Folder{folder.slashed()});
    show(Nav::Step::Next);
    show(Nav::Step::Next, true);
    PairList relisted; // as the Filer's Cancel lists the same folder again
    relisted.append(navigator.list().entry(1));
    show(Nav::Listing{relisted, std::nullopt});
    show(Nav::Step::Next, true);
    EXPECT_EQ(navigator.preloadsTaken(), 0);
}

TEST_F(PairNavigatorTest, AFileOfNoPairChangesNothing) {
    show(Nav::Folder{folder.slashed()});
    show(Nav::Entry{2});
    const std::uint64_t generation = navigator.list().generation();
    EXPECT_THROW(navigator.open(Nav::Path{folder.file("lonely_DUL.jpg")}, kSides), Error);
    EXPECT_EQ(navigator.list().generation(), generation);
    EXPECT_EQ(navigator.cursor(), 2);
}

// The start opens a file's pair and decodes it before anything asks, handed over once as it is;
// a folder is opened only when taken, and a path that leads nowhere fails then.
TEST_F(PairNavigatorTest, TheStartHandsOverWhatItOpened) {
    navigator.startWith(folder.file("b_DUP.jpg"), kSides);
    ASSERT_TRUE(navigator.startsWithPair());
    const std::optional<Nav::Opened> opened = navigator.takeStart(kSides);
    ASSERT_TRUE(opened && opened->pair && opened->folder);
    EXPECT_EQ(navigator.list().entry(navigator.cursor()).baseName, "b");
    navigator.load(*opened->pair, rasters);
    EXPECT_EQ(navigator.preloadsTaken(), 1);
    EXPECT_FALSE(navigator.takeStart(kSides));
    Nav atFolder, nowhere;
    atFolder.startWith(folder.path(), kSides);
    EXPECT_FALSE(atFolder.startsWithPair() || atFolder.count() != 0);
    EXPECT_EQ(atFolder.takeStart(kSides)->folder, folder.path());
    EXPECT_EQ(atFolder.count(), 3);
    nowhere.startWith(folder.file("missing_DUP.jpg"), kSides);
    EXPECT_THROW(nowhere.takeStart(kSides), Error);
}

} // namespace
} // namespace duoptic
