// A folder or a file of a pair handed to the window: on the command line or by a drop.
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include "JpegWriter.h"

#include "base/Error.h"
#include "base/FileDescriptor.h"

#include <QAction>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/inotify.h>
#include <sys/stat.h>

namespace duoptic::test {
namespace {

class ViewEntryPoints : public ::testing::Test {
protected:
    void SetUp() override {
        pictures.copyIn(testData("stereo/aloeL.jpg"), "aloe_DUL.jpg");
        pictures.copyIn(testData("stereo/aloeR.jpg"), "aloe_DUR.jpg");
        pictures.copyIn(testData("stereo/sugarshack.mpo"), "shack.MPO");
        pictures.copyIn(testData("stereo/02-super-mario.jps"), "mario.jps");
        pictures.copyIn(testData("jpeg/testorig.jpg"), "lonely_DUL.jpg");
        window = std::make_unique<ShownWindow>(program.slashed());
    }
    TViewForm& form() { return *window->form; }
    std::string folder() const { return pictures.path(); }

    TempFolder program;
    TempFolder pictures;
    std::unique_ptr<ShownWindow> window;
};

struct FileRow {
    const char* name;
    const char* file;
    const char* title;
};

class ViewOpenFile : public ViewEntryPoints, public ::testing::WithParamInterface<FileRow> {};

TEST_P(ViewOpenFile, ShowsThePairOfTheFileAndKeepsItsFolder) {
    form().openPath(pictures.file(GetParam().file));
    EXPECT_EQ(form().caption(), QString::fromUtf8(GetParam().title));
    EXPECT_EQ(window->state.settings.latestPath, folder());
    EXPECT_EQ(window->navigator.count(), 3);
    const PairEntry& shown = window->navigator.list().entry(window->navigator.cursor());
    EXPECT_EQ(shown.baseName + " ",
              std::string(GetParam().title).substr(10, shown.baseName.size() + 1));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ViewOpenFile,
    ::testing::Values(FileRow{"LeftEye", "aloe_DUL.jpg", "Duoptic - aloe - (Parallel)"},
                      FileRow{"RightEye", "aloe_DUR.jpg", "Duoptic - aloe - (Parallel)"},
                      FileRow{"Mpo", "shack.MPO", "Duoptic - shack - (Parallel)"},
                      FileRow{"Jps", "mario.jps", "Duoptic - mario - (Parallel)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewEntryPoints, AFolderIsScannedAndBecomesTheLastFolder) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(program.path());
    ::mkdir(program.file("sub").c_str(), 0755);
    std::filesystem::copy_file(pictures.file("mario.jps"), program.file("sub/m.jps"));
    form().openPath("sub/"); // relative to the current directory
    std::filesystem::current_path(before);
    EXPECT_EQ(window->state.settings.latestPath, program.file("sub"));
    EXPECT_EQ(window->navigator.count(), 1);
    EXPECT_EQ(window->navigator.cursor(), 0);
    EXPECT_EQ(form().caption(), QStringLiteral("Duoptic - STEREO PHOTO - (Parallel)"));
}

// Two two-file pairs whose names differ only in letter case each show their own two files, whether
// a path names either file of one or Next reaches it.
TEST_F(ViewEntryPoints, PairsWhoseNamesDifferInCaseShowTheirOwnEyes) {
    const char* files[] = {"b_DUL.jpg", "b_DUR.jpg", "b_dul.JPG", "b_dur.JPG"};
    const TempFolder cases;
    for (int i = 0; i < 4; ++i) { // each right eye 50 levels lighter than its own left one
        const auto grey = std::uint8_t(40 + 50 * i);
        writeFile(cases.file(files[i]),
                  duoptic::testing::writeSolidJpeg({32, 16}, {grey, grey, grey}));
    }
    const auto shows = [this](int left) {
        const PairRasters& shown = probe(form()).rasters();
        return std::abs(qRed(shown.left.pixel(1, 1)) - left) < 4 &&
               std::abs(qRed(shown.right.pixel(1, 1)) - left - 50) < 4;
    };
    for (int i = 0; i < 4; ++i) {
        form().openPath(cases.file(files[i]));
        EXPECT_TRUE(shows(i < 2 ? 40 : 140)) << files[i];
        form().next(); // onto the other spelling's pair
        EXPECT_TRUE(shows(i < 2 ? 140 : 40)) << files[i] << " then Next";
    }
}

struct BadRow {
    const char* name;
    const char* file; // in the pictures folder
    const char* message;
};

class ViewOpenBad : public ViewEntryPoints, public ::testing::WithParamInterface<BadRow> {};

// Nothing changes but the report: the list, the last folder and the pictures stay.
TEST_P(ViewOpenBad, ReportsThePathAndChangesNothing) {
    ::mkfifo(pictures.file("fifo_DUP.jpg").c_str(), 0644);
    const std::string path = pictures.file(GetParam().file);
    const std::string lastFolder = window->state.settings.latestPath;
    const PairRasters before = probe(form()).rasters();
    try {
        form().openPath(path);
        FAIL() << "opening should fail";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + path + GetParam().message);
    }
    EXPECT_EQ(window->state.settings.latestPath, lastFolder);
    EXPECT_EQ(window->navigator.count(), 0);
    EXPECT_TRUE(probe(form()).rasters().left.sharesPixelsWith(before.left));
}

INSTANTIATE_TEST_SUITE_P(Paths, ViewOpenBad,
                         ::testing::Values(BadRow{"Missing", "nothing.jpg", " は開けません"},
                                           BadRow{"Fifo", "fifo_DUP.jpg", " は開けません"},
                                           BadRow{"LeftEyeWithoutPartner", "lonely_DUL.jpg",
                                                  " はステレオペアの画像ではありません"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewEntryPoints, ADropStopsTheSlideShowAndOpensWhatWasDropped) {
    window->state.settings.slideInterval = 30;
    form().ViewSlideShowExecute();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(pictures.file("shack.MPO"))),
                  QUrl::fromLocalFile(QString::fromStdString(pictures.file("mario.jps")))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form(), &drop);
    EXPECT_FALSE(probe(form()).slideShowRunning());
    EXPECT_FALSE(probe(form()).command(ViewCommand::ViewSlideShow)->isChecked());
    // The drop is answered first: a report opened within it would keep the dropping side waiting.
    EXPECT_EQ(window->navigator.count(), 0);
    QTRY_COMPARE(form().caption(), QStringLiteral("Duoptic - shack - (Parallel)"));
}

// A pair from the command line shows what opening its path in the running window shows; no sample
// pair is decoded ahead of it, and its decode, begun before the window, is taken over.
TEST(ViewStartPath, AStartPathShowsWhatOpeningItLaterShows) {
    TempFolder program;
    TempFolder pictures;
    pictures.copyIn(testData("stereo/aloeL.jpg"), "aloe_DUL.jpg");
    pictures.copyIn(testData("stereo/aloeR.jpg"), "aloe_DUR.jpg");
    program.write("duoptic.ini", "[Viewer]\r\nViewerMode=(Crossing)\r\n");
    const std::string path = pictures.file("aloe_DUR.jpg");
    std::vector<QString> captions;
    std::vector<QImage> panels;
    for (const bool early : {false, true}) {
        ProgramState state = readProgramState(program.slashed());
        PairNavigator navigator;
        navigator.startWith(early ? std::optional(path) : std::nullopt,
                            state.settings.viewerMode.sides());
        TViewForm form(state, navigator);
        form.show();
        EXPECT_EQ(probe(form).imageWidth() == 0, early);
        if (!early) {
            form.openPath(path);
        }
        QTRY_VERIFY(form.caption().contains("aloe"));
        EXPECT_EQ(probe(form).preloadsTaken(), early ? 1 : 0);
        captions.push_back(form.caption());
        panels.insert(panels.end(), {probe(form).panelBuffer(1), probe(form).panelBuffer(2)});
    }
    EXPECT_EQ(captions[0], captions[1]);
    EXPECT_TRUE(panels[0] == panels[2] && panels[1] == panels[3]);
}

// Without a path, the sample pair decoded before the window is the one the window decodes.
TEST(ViewStartPath, AnEarlySampleShowsWhatTheWindowsOwnDecodeShows) {
    TempFolder program;
    std::vector<QImage> panels;
    for (const bool early : {false, true}) {
        ProgramState state = readProgramState(program.slashed());
        PairNavigator navigator;
        if (early) {
            navigator.startWith(std::nullopt, ViewerSides::Parallel);
        }
        TViewForm form(state, navigator);
        form.show();
        QTRY_VERIFY(probe(form).drawCount() > 0);
        panels.insert(panels.end(), {probe(form).panelBuffer(1), probe(form).panelBuffer(2)});
    }
    EXPECT_TRUE(panels[0] == panels[2] && panels[1] == panels[3]);
    EXPECT_FALSE(panels[0].isNull());
}

// A path from the command line takes the last folder's place: with a path that leads to a pair,
// nothing of the last folder is read; with one that leads nowhere, the viewer starts without it.
TEST(ViewStartPath, ReadsTheLastFolderOnlyWhenThePathLeadsNowhere) {
    for (const bool leadsNowhere : {false, true}) {
        ReportRecorder reports;
        TempFolder program;
        TempFolder last;
        TempFolder pictures;
        last.copyIn(testData("jpeg/testorig.jpg"), "old_DUP.jpg");
        pictures.copyIn(testData("jpeg/testorig.jpg"), "new_DUP.jpg");
        program.write("duoptic.ini", "[File]\r\nLatestPath=" + last.path() + "\r\n");
        const FileDescriptor watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
        ASSERT_GE(::inotify_add_watch(watch.get(), last.path().c_str(), IN_OPEN), 0);
        ProgramState state = readProgramState(program.slashed());
        PairNavigator navigator;
        navigator.startWith(pictures.file(leadsNowhere ? "gone_DUP.jpg" : "new_DUP.jpg"),
                            ViewerSides::Parallel);
        TViewForm form(state, navigator);
        form.show();
        QTRY_VERIFY(leadsNowhere ? !reports.shown().empty() : form.caption().contains("new"));
        QTest::qWait(100); // and the preload that follows
        char event[4096];
        EXPECT_EQ(::read(watch.get(), event, sizeof event) > 0, leadsNowhere);
        EXPECT_EQ(navigator.list().entry(1).baseName, leadsNowhere ? "old" : "new");
    }
}

} // namespace
} // namespace duoptic::test
