// The preloader on its own, without a window.
#include "JpegWriter.h"

#include "base/Error.h"
#include "loading/Preloader.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

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
// which then does not read the file again.
TEST(Preloader, AForegroundPreloadThatFailedGivesItsError) {
    testing::TempFolder folder;
    const PreloadKey key{
        1, 1, {PairKind::Parallel, folder.write("p_DUP.jpg", "not a picture"), {}, {}, "p"}};
    Preloader preloader;
    auto a = std::make_unique<JpegDecoder>(), b = std::make_unique<JpegDecoder>();
    preloader.start(key, DecodeThreads::Foreground);
    EXPECT_THROW(preloader.take(key, a, b), Error);
}

} // namespace
} // namespace duoptic
