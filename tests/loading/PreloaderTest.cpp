// The preloader on its own, without a window.
#include "JpegWriter.h"

#include "loading/Preloader.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace duoptic {
namespace {

// A preload that has only begun is not waited for: at its low priority it could keep the user
// waiting far longer than a load at full speed.
TEST(Preloader, APreloadFarFromDoneIsDroppedNotWaitedFor) {
    testing::TempFolder folder;
    testing::JpegOptions big{4000, 3000};
    big.progressive = true;
    testing::writeFile(folder.file("p_DUP.jpg"), testing::writeSolidJpeg(big, {90, 90, 90}));
    const PreloadKey key{1, 1, {PairKind::Parallel, folder.file("p_DUP.jpg"), {}, {}, "p"}};
    Preloader preloader;
    auto a = std::make_unique<JpegDecoder>();
    auto b = std::make_unique<JpegDecoder>();
    preloader.start(key);
    EXPECT_FALSE(preloader.take(key, a, b));
    EXPECT_FALSE(preloader.running());
}

// The start's preload of a pair whose file fails hands its error to the load that waits for it,
// which does not read the file again: gone by then, it would fail otherwise.
TEST(Preloader, AForegroundPreloadThatFailedGivesItsError) {
    testing::TempFolder folder;
    const std::string file = folder.write("p_DUP.jpg", "not a picture");
    const PreloadKey key{1, 1, {PairKind::Parallel, file, {}, {}, "p"}};
    JpegDecoder direct;
    std::string expected;
    try {
        direct.readFile(file);
        direct.picture();
    } catch (const std::exception& error) {
        expected = error.what();
    }
    Preloader preloader;
    auto a = std::make_unique<JpegDecoder>();
    auto b = std::make_unique<JpegDecoder>();
    preloader.start(key, DecodeThreads::Foreground);
    while (preloader.running()) {
        std::this_thread::yield();
    }
    std::filesystem::remove(file);
    try {
        preloader.take(key, a, b);
        ADD_FAILURE() << "the preload's error was not given";
    } catch (const std::exception& error) {
        EXPECT_EQ(error.what(), expected);
    }
}

} // namespace
} // namespace duoptic
