// Hostile pair files loaded the way a user meets them: a scan of their folder, then Next in the
// real main window. Every load ends in time with the picture or a clear error, a failed load
// leaves the previous pictures on screen, and the settings file survives the run.
#include "HostileCases.h"
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"
#include "Watchdog.h"

#include "base/Error.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <QScrollBar>
#include <QSlider>

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <regex>
#include <thread>

namespace duoptic::test {
namespace {

namespace fs = std::filesystem;

constexpr std::chrono::seconds kLoadLimit{20};

// What a decoder alone makes of some bytes.
struct Decoded {
    std::string headerError; // empty when the header was accepted
    std::string pictureError;
    std::shared_ptr<const Picture> picture;
};

Decoded decodeAlone(const std::vector<std::uint8_t>& bytes) {
    Decoded d;
    JpegDecoder decoder;
    try {
        decoder.readMemory(bytes);
    } catch (const Error& e) {
        d.headerError = e.what();
        return d;
    }
    try {
        d.picture = decoder.picture();
    } catch (const Error& e) {
        d.pictureError = e.what();
    }
    return d;
}

// Compares on a grid of at most 40 x 40 samples: enough to tell pictures and halves apart.
void expectSamePixels(const Raster& shown, const Raster& expected, const char* which) {
    ASSERT_EQ(shown.width(), expected.width()) << which;
    ASSERT_EQ(shown.height(), expected.height()) << which;
    const int stepX = std::max(1, shown.width() / 40);
    const int stepY = std::max(1, shown.height() / 40);
    for (int y = 0; y < shown.height(); y += stepY) {
        for (int x = 0; x < shown.width(); x += stepX) {
            ASSERT_EQ(shown.pixel(x, y), expected.pixel(x, y)) << which << " at " << x << "," << y;
        }
    }
}

std::uint64_t sampledChecksum(const Raster& r) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (int y = 0; y < r.height(); y += std::max(1, r.height() / 40)) {
        for (int x = 0; x < r.width(); x += std::max(1, r.width() / 40)) {
            hash = (hash ^ r.pixel(x, y)) * 1099511628211ULL;
        }
    }
    return hash;
}

// What must survive a failed load.
struct ScreenState {
    PairRasters rasters;
    std::uint64_t leftPixels = 0;
    std::uint64_t rightPixels = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    int zoom = 0;
    int horizontal = 0;
    int vertical = 0;
};

ScreenState screenState(const TViewForm& form) {
    return {probe(form).rasters(),
            sampledChecksum(probe(form).rasters().left),
            sampledChecksum(probe(form).rasters().right),
            probe(form).imageWidth(),
            probe(form).imageHeight(),
            probe(form).zoomPosition(),
            probe(form).horizontalPosition(),
            probe(form).verticalPosition()};
}

struct Outcome {
    bool failed = false;
    std::string error;
};

class HostileLoad : public ::testing::TestWithParam<HostileCase> {
protected:
    void SetUp() override {
        programFolder = root.slashed() + "program/";
        pairFolder = root.slashed() + "pairs/";
        fs::create_directory(programFolder);
        fs::create_directory(pairFolder);
        pair = GetParam().make(pairFolder);
        if (!pair.skip.empty()) {
            GTEST_SKIP() << pair.skip;
        }
        viewerMode = pair.kind == PairKind::TwoFiles ? "(Crossing)" : "(Parallel)";
        writeFile(programFolder + "duoptic.ini",
                  "[Viewer]\r\nViewerMode=" + viewerMode +
                      "\r\nFittingMode=10\r\nBorderWidth=7\r\nSlideInterval=3\r\n\r\n[File]\r\n"
                      "LatestPath=" +
                      pairFolder + "\r\n\r\n[Extra]\r\nKeep=me\r\n");
        window = std::make_unique<ShownWindow>(programFolder);
    }

    void TearDown() override {
        std::error_code ignored;
        fs::permissions(pairFolder, fs::perms::owner_all, ignored);
        if (window) {
            window.reset(); // writes the settings file
            expectSettingsFileIntact();
        }
        EXPECT_TRUE(ReportRecorder::shown().isEmpty())
            << ReportRecorder::shown().join('\n').toStdString();
    }

    TViewForm& form() { return *window->form; }

    // Positions a load would reset, so that a failed load can show that they stayed.
    void moveAwayFromLoadPositions() {
        form().findChild<QSlider*>(QStringLiteral("TrackBar1"))->setValue(30);
        form().findChild<QScrollBar*>(QStringLiteral("ScrollBarH"))->setValue(20);
        form().findChild<QScrollBar*>(QStringLiteral("ScrollBarV"))->setValue(70);
    }

    Outcome loadNext() {
        std::jthread during;
        if (pair.duringLoad) {
            during = std::jthread(pair.duringLoad);
        }
        const Watchdog watchdog("loading " + GetParam().name, kLoadLimit);
        try {
            form().next();
        } catch (const Error& e) {
            return {true, e.what()};
        } catch (const std::exception& e) {
            ADD_FAILURE() << "an error the report would show without its message: " << e.what();
            return {true, e.what()};
        }
        return {};
    }

    void expectStillShown(const ScreenState& before, bool samePictures) {
        EXPECT_EQ(form().windowTitle(), QStringLiteral("Loading files ..."));
        EXPECT_TRUE(probe(form()).redrawGateOpen());
        EXPECT_EQ(probe(form()).imageWidth(), before.imageWidth);
        EXPECT_EQ(probe(form()).imageHeight(), before.imageHeight);
        EXPECT_EQ(probe(form()).zoomPosition(), before.zoom);
        EXPECT_EQ(probe(form()).horizontalPosition(), before.horizontal);
        EXPECT_EQ(probe(form()).verticalPosition(), before.vertical);
        if (samePictures) {
            EXPECT_TRUE(probe(form()).rasters().left.sharesPixelsWith(before.rasters.left));
            EXPECT_TRUE(probe(form()).rasters().right.sharesPixelsWith(before.rasters.right));
            EXPECT_EQ(sampledChecksum(probe(form()).rasters().left), before.leftPixels);
            EXPECT_EQ(sampledChecksum(probe(form()).rasters().right), before.rightPixels);
        }
    }

    void expectLoaded(const std::shared_ptr<const Picture>& hostile) {
        EXPECT_EQ(form().windowTitle(), QString::fromStdString("Duoptic - x - " + viewerMode));
        const PairRasters& shown = probe(form()).rasters();
        if (pair.kind == PairKind::TwoFiles) {
            // Viewed crossed: the right-eye file in the left panel.
            expectSamePixels(shown.left, Raster::whole(hostile), "left");
            expectSamePixels(shown.right, Raster::whole(decodeAlone(goodPairFile()).picture),
                             "right");
        } else {
            const SplitHalves halves = splitSideBySide(hostile);
            expectSamePixels(shown.left, halves.left, "left");
            expectSamePixels(shown.right, halves.right, "right");
        }
        EXPECT_EQ(probe(form()).imageWidth(), shown.left.width());
        EXPECT_EQ(probe(form()).imageHeight(), shown.left.height());
        EXPECT_EQ(probe(form()).zoomPosition(), 0);
        EXPECT_EQ(probe(form()).horizontalPosition(), 50);
        EXPECT_EQ(probe(form()).verticalPosition(), 50);
        EXPECT_TRUE(probe(form()).redrawGateOpen());
    }

    void expectAsDecoded(const Outcome& outcome, const ScreenState& before) {
        const Decoded expected = decodeAlone(pair.bytes);
        if (!expected.headerError.empty()) {
            EXPECT_EQ(outcome.error, expected.headerError);
            expectStillShown(before, true);
        } else if (!expected.pictureError.empty()) {
            EXPECT_EQ(outcome.error, expected.pictureError);
            expectStillShown(before, false);
        } else {
            ASSERT_FALSE(outcome.failed) << outcome.error;
            expectLoaded(expected.picture);
        }
    }

    void expectSettingsFileIntact() {
        const std::string path = programFolder + "duoptic.ini";
        const IniFile file = IniFile::load(path);
        for (const auto& [section, key] : {std::pair{"Viewer", "ViewerMode"},
                                           {"Viewer", "FittingMode"},
                                           {"Viewer", "BorderWidth"},
                                           {"Viewer", "SlideInterval"},
                                           {"File", "LatestPath"},
                                           {"Window", "WinTop"},
                                           {"Window", "WinLeft"},
                                           {"Window", "WinWidth"},
                                           {"Window", "WinHeight"},
                                           {"Window", "WinState"}}) {
            EXPECT_TRUE(file.read(section, key).has_value()) << key;
        }
        EXPECT_EQ(file.read("Extra", "Keep"), "me");
        const SettingsRecord record = readSettings(path, programFolder);
        EXPECT_EQ(record.viewerMode, viewerMode);
        EXPECT_EQ(record.fittingMode, 10);
        EXPECT_EQ(record.borderWidth, 7);
        EXPECT_EQ(record.slideInterval, 3);
        EXPECT_EQ(record.latestPath, pairFolder);
    }

    ReportRecorder reports; // an error box would wait for a click that never comes
    TempFolder root;
    std::string programFolder;
    std::string pairFolder;
    std::string viewerMode;
    HostilePair pair;
    std::unique_ptr<ShownWindow> window;
};

TEST_P(HostileLoad, ShowsThePictureOrAClearErrorInTime) {
    window->listFolder(pairFolder);
    const PairNavigator& pairs = window->navigator;
    if (!pair.listed) {
        EXPECT_EQ(pairs.count(), 0);
        const ScreenState before = screenState(form());
        loadNext();
        EXPECT_EQ(pairs.cursor(), 0);
        EXPECT_TRUE(probe(form()).rasters().left.sharesPixelsWith(before.rasters.left));
        return;
    }
    ASSERT_EQ(pairs.count(), 1);
    moveAwayFromLoadPositions();
    const ScreenState before = screenState(form());
    if (pair.afterScan) {
        pair.afterScan();
    }

    const Outcome outcome = loadNext();
    // What each file gave, for the XML report (--gtest_output=xml).
    RecordProperty("outcome", outcome.failed ? outcome.error
                                             : std::to_string(probe(form()).imageWidth()) + " x " +
                                                   std::to_string(probe(form()).imageHeight()));
    EXPECT_EQ(pairs.cursor(), 1);
    switch (pair.expect) {
    case Expect::AsDecoded:
        expectAsDecoded(outcome, before);
        break;
    case Expect::CannotOpen:
        EXPECT_EQ(outcome.error, "ファイル " + pairFolder + pair.hostileName + " は開けません");
        expectStillShown(before, true);
        break;
    case Expect::PictureOrJpegError:
        if (outcome.failed) {
            EXPECT_TRUE(std::regex_match(outcome.error, std::regex("JPEG エラー #[0-9]+")))
                << outcome.error;
            expectStillShown(before, false);
        } else {
            const Decoded whole = decodeAlone(pair.bytes);
            EXPECT_EQ(probe(form()).imageWidth(), whole.picture->width() / 2);
            EXPECT_EQ(probe(form()).imageHeight(), whole.picture->height());
        }
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, HostileLoad, ::testing::ValuesIn(hostileCases()),
                         [](const ::testing::TestParamInfo<HostileCase>& info) {
                             return info.param.name;
                         });

} // namespace
} // namespace duoptic::test
