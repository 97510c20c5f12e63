// Start-up and shutdown of the main window: title, sample pair, placement, settings file.
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include <QAction>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace duoptic::test {
namespace {

TEST(ViewStartup, FirstRunShowsSamplePairAndWritesTheTenKeys) {
    TempFolder folder;
    {
        ShownWindow window(folder.slashed());
        TViewForm& form = *window.form;
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Duoptic - STEREO PHOTO - (Parallel)"));
        EXPECT_EQ(probe(form).imageWidth(), 623);
        EXPECT_EQ(probe(form).imageHeight(), 648);
        EXPECT_TRUE(probe(form).redrawGateOpen());
        EXPECT_EQ(window.navigator.count(), 0);
        EXPECT_EQ(window.state.settings.latestPath, folder.slashed());
    }
    const std::string ini = readFile(folder.file("duoptic.ini"));
    const std::string expectedStart = "[Viewer]\r\nViewerMode=(Parallel)\r\nFittingMode=0\r\n"
                                      "BorderWidth=4\r\nSlideInterval=10\r\n";
    EXPECT_EQ(ini.substr(0, expectedStart.size()), expectedStart);
    const auto file = ini.find("[File]\r\nLatestPath=" + folder.slashed() + "\r\n");
    const auto window = ini.find("[Window]\r\nWinTop=");
    ASSERT_NE(file, std::string::npos);
    ASSERT_NE(window, std::string::npos);
    EXPECT_LT(file, window);
    for (const char* key : {"WinTop=", "WinLeft=", "WinWidth=", "WinHeight=", "WinState=0"}) {
        EXPECT_NE(ini.find(key, window), std::string::npos) << key;
    }
}

TEST(ViewStartup, StoredCrossingModeShowsInTitleButSampleStaysInPlace) {
    TempFolder folder;
    folder.write("duoptic.ini", "[Viewer]\r\nViewerMode=(Crossing)\r\n");
    ShownWindow window(folder.slashed());
    EXPECT_EQ(window.form->windowTitle(), QStringLiteral("Duoptic - STEREO PHOTO - (Crossing)"));
    // Sample left image is the left raster whatever the mode: decoded from the left resource.
    EXPECT_EQ(probe(*window.form).rasters().left.width(), 623);
    EXPECT_FALSE(
        probe(*window.form).rasters().left.sharesPixelsWith(probe(*window.form).rasters().right));
}

TEST(ViewStartup, StartupScanFillsThePairListFromTheLastFolder) {
    TempFolder program;
    TempFolder pictures;
    pictures.copyIn(testData("jpeg/testorig.jpg"), "one_DUP.jpg");
    pictures.copyIn(testData("jpeg/testorig.jpg"), "two_DUL.jpg");
    pictures.copyIn(testData("jpeg/testorig.jpg"), "two_DUR.jpg");
    program.write("duoptic.ini", "[File]\r\nLatestPath=" + pictures.slashed() + "\r\n");
    ShownWindow window(program.slashed());
    EXPECT_EQ(window.navigator.count(), 2);
    EXPECT_EQ(window.navigator.cursor(), 0);
}

TEST(ViewStartup, UnwritableSettingsReportAndKeepTheOldFile) {
    ReportRecorder recorder;
    TempFolder folder;
    const std::string before = "[Viewer]\r\nBorderWidth=7\r\n";
    folder.write("duoptic.ini", before);
    ::chmod(folder.file("duoptic.ini").c_str(), 0444);
    {
        ShownWindow window(folder.slashed());
        EXPECT_EQ(window.state.settings.borderWidth, 7);
    }
    ASSERT_EQ(recorder.shown().size(), 1);
    EXPECT_EQ(recorder.shown().front(),
              QString::fromStdString(folder.file("duoptic.ini") + " に書き込めません."));
    EXPECT_EQ(readFile(folder.file("duoptic.ini")), before);
}

TEST(ViewStartup, OpenKeepsALastFolderWhoseNameIsNotUtf8) {
    TempFolder program;
    const std::string odd = program.slashed() + "caf\xe9 \xff";
    ASSERT_EQ(::mkdir(odd.c_str(), 0755), 0);
    program.write("duoptic.ini", "[File]\r\nLatestPath=" + odd + "\r\n");
    ShownWindow window(program.slashed());
    std::string folderSeen;
    window.form->runFiler = [&] {
        folderSeen = window.state.settings.latestPath;
        return std::optional<PairNavigator::Listing>();
    };
    window.form->FileOpenExecute();
    EXPECT_EQ(folderSeen, odd);
    EXPECT_EQ(window.state.settings.latestPath, odd);
}

// The minimum is an outer size: the client's minimum is smaller by the frame. (After a maximised
// start too, which only a real window manager shows: the end-to-end run checks that.)
TEST(ViewStartup, MinimumIsTheOuterSize) {
    TempFolder folder;
    ShownWindow window(folder.slashed());
    QWindow* native = window.form->windowHandle();
    QTRY_VERIFY(!native->frameMargins().isNull());
    QTRY_COMPARE(window.form->minimumSize().grownBy(native->frameMargins()), QSize(200, 120));
}

class ViewEndDuringSlideShow : public ::testing::TestWithParam<const char*> {};

// The close box and Exit end the run the same way, also with a slide show running.
TEST_P(ViewEndDuringSlideShow, WritesTheSettings) {
    TempFolder folder;
    {
        ShownWindow window(folder.slashed());
        window.state.settings.slideInterval = 1;
        window.state.settings.borderWidth = 9;
        window.form->ViewSlideShowExecute();
        if (std::string(GetParam()) == "Exit") {
            probe(*window.form).command(ViewCommand::FileExit)->trigger();
        } else {
            window.form->close();
        }
        EXPECT_FALSE(window.form->isVisible());
    }
    EXPECT_NE(readFile(folder.file("duoptic.ini")).find("BorderWidth=9\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Ways, ViewEndDuringSlideShow, ::testing::Values("Exit", "CloseBox"));

} // namespace
} // namespace duoptic::test
