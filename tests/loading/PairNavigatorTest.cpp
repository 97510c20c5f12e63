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
        for (const char* name : {"a", "b", "c"}) {
            folder.copyIn(testing::testData("jpeg/testorig.jpg"), std::string(name) + "_DUP.jpg");
        }
        folder.copyIn(testing::testData("jpeg/testorig.jpg"), "lonely_DUL.jpg");
    }
    // Opens `target` and loads what it leads to, as the window does; the entry now current.
    int show(const Nav::Target& target) {
        const Nav::Opened opened = navigator.open(target, kSides);
        if (opened.pair) {
            navigator.load(*opened.pair, rasters);
        }
        return navigator.cursor();
    }
    // Schedules the preload ahead and lets it finish.
    void preloadAhead() {
        navigator.schedulePreload(kSides);
        for (int i = 0; i < 500 && navigator.preloading(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    testing::TempFolder folder;
    Nav navigator;
    PairRasters rasters;
};

TEST_F(PairNavigatorTest, StepsWrapAtBothEnds) {
    navigator.open(Nav::Folder{folder.slashed()}, kSides);
    ASSERT_EQ(navigator.count(), 3);
    EXPECT_EQ(show(Nav::Step::Previous), 3); // from no entry, back is the last
    EXPECT_EQ(show(Nav::Step::Next), 1);
    EXPECT_EQ(show(Nav::Step::Previous), 3);
    EXPECT_EQ(show(Nav::Entry{0}), 0);
    EXPECT_EQ(show(Nav::Step::Next), 1);
}

// The pair decoded ahead is the one the last step's direction leads to.
TEST_F(PairNavigatorTest, ThePreloadFollowsTheDirectionOfTravel) {
    navigator.open(Nav::Folder{folder.slashed()}, kSides);
    show(Nav::Entry{2});
    show(Nav::Step::Previous); // now travelling back: the one before entry 1 is the last
    preloadAhead();
    show(Nav::Step::Previous);
    EXPECT_EQ(navigator.preloadsTaken(), 1);
    show(Nav::Entry{1}); // a chosen entry: forward again
    preloadAhead();
    EXPECT_EQ(show(Nav::Step::Next), 2);
    EXPECT_EQ(navigator.preloadsTaken(), 2);
}

// In a folder of one pair, the pair ahead is the one on screen, whichever list it is in now.
TEST_F(PairNavigatorTest, ThePairOnScreenIsNeverPreloaded) {
    for (const char* name : {"b_DUP.jpg", "c_DUP.jpg", "lonely_DUL.jpg"}) {
        std::filesystem::remove(folder.file(name));
    }
    show(Nav::Folder{folder.slashed()});
    show(Nav::Step::Next);
    preloadAhead();
    // The Filer lists the same folder again, as its Cancel does.
    PairList relisted;
    relisted.append(navigator.list().entry(1));
    show(Nav::Listing{relisted, std::nullopt});
    preloadAhead();
    show(Nav::Step::Next);
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

// The start opens a file's pair and decodes it before anything asks; the window takes it over
// as it is. A folder is opened only when taken, and a path that leads nowhere fails then.
TEST_F(PairNavigatorTest, TheStartHandsOverWhatItOpened) {
    navigator.startWith(folder.file("b_DUP.jpg"), kSides);
    ASSERT_TRUE(navigator.startsWithPair());
    const std::optional<Nav::Opened> opened = navigator.takeStart(kSides);
    ASSERT_TRUE(opened && opened->pair && opened->folder);
    EXPECT_EQ(opened->pair->baseName, "b");
    EXPECT_EQ(navigator.list().entry(navigator.cursor()).baseName, "b");
    navigator.load(*opened->pair, rasters);
    EXPECT_EQ(navigator.preloadsTaken(), 1);
    EXPECT_FALSE(navigator.takeStart(kSides)); // once

    Nav atFolder;
    atFolder.startWith(folder.path(), kSides);
    EXPECT_FALSE(atFolder.startsWithPair());
    EXPECT_EQ(atFolder.count(), 0);
    EXPECT_EQ(atFolder.takeStart(kSides)->folder, folder.path());
    EXPECT_EQ(atFolder.count(), 3);

    Nav nowhere;
    nowhere.startWith(folder.file("missing_DUP.jpg"), kSides);
    EXPECT_THROW(nowhere.takeStart(kSides), Error);
}

} // namespace
} // namespace duoptic
