// Loading pairs through Next, the failure rules, and Reverse.
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include "JpegWriter.h"
#include "base/Error.h"

#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>

namespace duoptic::test {
namespace {

// A folder whose pairs come in a known order once scanned: one pair per kind.
struct PairFolder {
    PairFolder() {
        folder.copyIn(testData("stereo/stereograph.left-right.jpg"), "card_DUP.jpg");
        folder.copyIn(testData("stereo/aloeL.jpg"), "aloe_DUL.jpg");
        folder.copyIn(testData("stereo/aloeR.jpg"), "aloe_DUR.jpg");
        folder.copyIn(testData("stereo/02-super-mario.jps"), "mario_DUC.jpg");
    }
    TempFolder folder;
};

const PairEntry* findEntry(const PairList& list, PairKind kind, int* number) {
    for (int k = 1; k <= list.count(); ++k) {
        if (list.entry(k).kind == kind) {
            *number = k;
            return &list.entry(k);
        }
    }
    return nullptr;
}

class ViewLoading : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<ShownWindow>(program.slashed());
        window->listFolder(pairs.folder.slashed());
        ASSERT_EQ(window->navigator.count(), 3);
    }
    TViewForm& form() { return *window->form; }

    // Steps with Next until the entry of the given kind is loaded.
    void nextTo(PairKind kind) {
        int number = 0;
        ASSERT_NE(findEntry(window->navigator.list(), kind, &number), nullptr);
        window->setCursor(number - 1);
        form().next();
    }

    TempFolder program;
    PairFolder pairs;
    std::unique_ptr<ShownWindow> window;
};

TEST_F(ViewLoading, SideBySideParallelSplitsAnOddWidthIntoEqualHalves) {
    form().findChild<QSlider*>(QStringLiteral("TrackBar1"))->setValue(70);
    form().findChild<QScrollBar*>(QStringLiteral("ScrollBarH"))->setValue(3);
    nextTo(PairKind::Parallel);
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Duoptic - card - (Parallel)"));
    EXPECT_EQ(probe(form()).imageWidth(), 1821); // 3643 / 2, the last column in neither half
    EXPECT_EQ(probe(form()).rasters().right.width(), 1821);
    EXPECT_EQ(probe(form()).imageHeight(), 1574);
    EXPECT_TRUE(probe(form()).rasters().left.sharesPixelsWith(probe(form()).rasters().right));
    EXPECT_EQ(probe(form()).zoomPosition(), 0);
    EXPECT_EQ(probe(form()).horizontalPosition(), 50);
    EXPECT_EQ(probe(form()).verticalPosition(), 50);
    EXPECT_TRUE(probe(form()).redrawGateOpen());
}

TEST_F(ViewLoading, CrossingFilePutsItsRightHalfLeft) {
    nextTo(PairKind::Crossing);
    EXPECT_EQ(probe(form()).imageWidth(), 522);
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Duoptic - mario - (Parallel)"));
}

TEST_F(ViewLoading, TwoFilePairFollowsTheViewerMode) {
    nextTo(PairKind::TwoFiles);
    const Raster parallelLeft = probe(form()).rasters().left;
    window->state.settings.viewerMode = "(Crossing)";
    nextTo(PairKind::TwoFiles);
    // The same pictures, exchanged by the mode.
    EXPECT_EQ(probe(form()).rasters().left.width(), 640);
    EXPECT_FALSE(probe(form()).rasters().left.sharesPixelsWith(parallelLeft));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Duoptic - aloe - (Crossing)"));
}

TEST_F(ViewLoading, MissingRightEyeFileKeepsThePicturesAndTheLoadingCaption) {
    std::filesystem::remove(pairs.folder.file("aloe_DUR.jpg"));
    const PairRasters before = probe(form()).rasters();
    int number = 0;
    findEntry(window->navigator.list(), PairKind::TwoFiles, &number);
    window->setCursor(number - 1);
    try {
        form().next();
        FAIL() << "the load should fail";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "ファイル " + pairs.folder.file("aloe_DUR.jpg") + " は開けません");
    }
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Loading files ..."));
    EXPECT_EQ(window->navigator.cursor(), number);
    EXPECT_TRUE(probe(form()).rasters().left.sharesPixelsWith(before.left));
    EXPECT_EQ(probe(form()).imageWidth(), 623);
    EXPECT_TRUE(probe(form()).redrawGateOpen());
}

TEST_F(ViewLoading, CorruptPictureDataFailsAtItsFirstCopy) {
    const std::vector<std::uint8_t> bytes = duoptic::testing::jpegFailingInItsData(80, 40);
    pairs.folder.write("card_DUP.jpg", std::string(bytes.begin(), bytes.end()));
    const int widthBefore = probe(form()).imageWidth();
    EXPECT_THROW(nextTo(PairKind::Parallel), Error);
    EXPECT_EQ(probe(form()).imageWidth(), widthBefore);
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Loading files ..."));
}

TEST_F(ViewLoading, TitleShowsABaseNameExactlyAsItIs) {
    pairs.folder.copyIn(testData("jpeg/testorig.jpg"), "a[*]_DUP.jpg");
    window->replaceList({{pairs.folder.file("a[*]"), "a[*]", PairKind::Parallel}});
    form().next();
    const QString expected = QStringLiteral("Duoptic - a[*] - (Parallel)");
    EXPECT_EQ(form().caption(), expected);
    EXPECT_EQ(form().windowHandle()->title(), expected); // what the window manager is given
}

TEST_F(ViewLoading, NextWithAnEmptyListDoesNothing) {
    window->replaceList({});
    const QString title = form().windowTitle();
    form().next();
    EXPECT_EQ(window->navigator.cursor(), 0);
    EXPECT_EQ(form().windowTitle(), title);
}

TEST_F(ViewLoading, ReverseTwiceGivesBackRastersAndMode) {
    const PairRasters before = probe(form()).rasters();
    form().ViewReversExecute();
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Duoptic - STEREO PHOTO - (Crossing)"));
    EXPECT_TRUE(probe(form()).rasters().left.sharesPixelsWith(before.right));
    form().ViewReversExecute();
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Duoptic - STEREO PHOTO - (Parallel)"));
    EXPECT_TRUE(probe(form()).rasters().left.sharesPixelsWith(before.left));
    EXPECT_TRUE(probe(form()).rasters().right.sharesPixelsWith(before.right));
}

TEST_F(ViewLoading, OnePixelWideSideBySideFileShowsNothingAndBlocksReverse) {
    QImage strip(1, 40, QImage::Format_RGB32);
    strip.fill(Qt::red);
    ASSERT_TRUE(strip.save(QString::fromStdString(pairs.folder.file("card_DUP.jpg")), "JPG"));
    nextTo(PairKind::Parallel);
    EXPECT_EQ(probe(form()).imageWidth(), 0);
    const ViewerMode mode = window->state.settings.viewerMode;
    form().ViewReversExecute();
    EXPECT_EQ(window->state.settings.viewerMode, mode);
}

} // namespace
} // namespace duoptic::test
