// Which picture lands in which panel, what a half-failed load leaves, and how often each panel
// is drawn: with pictures whose sides differ in colour and size, so that a swap shows.
#include "JpegWriter.h"
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include "base/Error.h"

#include <QAction>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace duoptic::test {
namespace {

using duoptic::testing::writeJpeg;

constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kBlue = 0xFF0000FFu;

// A picture whose columns below `split` are red and the rest blue.
std::vector<std::uint8_t> twoColourJpeg(int width, int height, int split) {
    return writeJpeg({width, height}, [=](int, std::uint8_t* row) {
        for (int x = 0; x < width; ++x) {
            row[3 * x] = x < split ? 255 : 0;
            row[3 * x + 2] = x < split ? 0 : 255;
        }
    });
}

// Red or blue as JPEG delivers them, a little off; anything else as it is.
QRgb colourOf(QRgb pixel) {
    return qRed(pixel) > 200 && qBlue(pixel) < 60   ? kRed
           : qBlue(pixel) > 200 && qRed(pixel) < 60 ? kBlue
                                                    : pixel;
}

// The colour a raster mostly is, far from JPEG's ringing at its edges.
QRgb centreColour(const Raster& raster) {
    return colourOf(raster.pixel(raster.width() / 2, raster.height() / 2));
}

class ViewPairSides : public ::testing::Test {
protected:
    void SetUp() override { window = std::make_unique<ShownWindow>(program.slashed()); }
    TViewForm& form() { return *window->form; }

    void load(const std::string& base, PairKind kind) {
        window->replaceList({{pictures.file(base), base, kind}});
        form().next();
    }

    TempFolder program;
    TempFolder pictures;
    std::unique_ptr<ShownWindow> window;
};

TEST_F(ViewPairSides, CrossingFileShowsItsRightHalfOnTheLeft) {
    writeFile(pictures.file("c_DUC.jpg"), twoColourJpeg(96, 32, 48));
    load("c", PairKind::Crossing);
    EXPECT_EQ(centreColour(probe(form()).rasters().left), kBlue);
    EXPECT_EQ(centreColour(probe(form()).rasters().right), kRed);
}

struct ModeRow {
    const char* name;
    const char* mode;
    QRgb left;
    int imageWidth, imageHeight;
};

class ViewTwoFileModes : public ViewPairSides, public ::testing::WithParamInterface<ModeRow> {};

// The left-eye file is red and 48 x 32, the right-eye file blue and 64 x 24.
TEST_P(ViewTwoFileModes, ViewerModeDecidesTheSidesAndTheImageSize) {
    writeFile(pictures.file("t_DUL.jpg"), twoColourJpeg(48, 32, 48));
    writeFile(pictures.file("t_DUR.jpg"), twoColourJpeg(64, 24, 0));
    window->state.settings.viewerMode = GetParam().mode;
    load("t", PairKind::TwoFiles);
    EXPECT_EQ(centreColour(probe(form()).rasters().left), GetParam().left);
    EXPECT_EQ(centreColour(probe(form()).rasters().right), GetParam().left == kRed ? kBlue : kRed);
    EXPECT_EQ(probe(form()).imageWidth(), GetParam().imageWidth);
    EXPECT_EQ(probe(form()).imageHeight(), GetParam().imageHeight);
}

INSTANTIATE_TEST_SUITE_P(Modes, ViewTwoFileModes,
                         ::testing::Values(ModeRow{"Parallel", "(Parallel)", kRed, 48, 32},
                                           ModeRow{"Crossing", "(Crossing)", kBlue, 64, 24},
                                           ModeRow{"OtherText", "(crossing)", kRed, 48, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

// A right-eye file whose header is sound but whose second scan is not: the left-eye picture is
// already in its raster when the right one fails; nothing else moves.
TEST_F(ViewPairSides, DecodeFailingAfterTheFirstCopyKeepsThatCopyOnly) {
    writeFile(pictures.file("h_DUL.jpg"), twoColourJpeg(48, 32, 48));
    const std::vector<std::uint8_t> right = duoptic::testing::jpegFailingInItsData(64, 24);
    writeFile(pictures.file("h_DUR.jpg"), right);

    form().findChild<QScrollBar*>(QStringLiteral("ScrollBarH"))->setValue(20);
    const Raster rightBefore = probe(form()).rasters().right;
    EXPECT_THROW(load("h", PairKind::TwoFiles), Error);
    EXPECT_EQ(centreColour(probe(form()).rasters().left), kRed);
    EXPECT_TRUE(probe(form()).rasters().right.sharesPixelsWith(rightBefore));
    EXPECT_EQ(probe(form()).imageWidth(), 623); // still the sample's
    EXPECT_EQ(probe(form()).horizontalPosition(), 20);
    EXPECT_TRUE(probe(form()).redrawGateOpen());
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Loading files ..."));
}

// A load sets three positions and a drag two, all behind the closed gate: one drawing each.
TEST_F(ViewPairSides, ALoadAndADragDrawEachPanelOnce) {
    writeFile(pictures.file("c_DUC.jpg"), twoColourJpeg(96, 32, 48));
    QCoreApplication::processEvents();
    const int left = probe(form()).drawCount(1), right = probe(form()).drawCount(2);
    load("c", PairKind::Crossing);
    EXPECT_EQ(probe(form()).drawCount(1), left + 1);
    EXPECT_EQ(probe(form()).drawCount(2), right + 1);

    QWidget* box = form().findChild<QWidget*>(QStringLiteral("PaintBox2"));
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(90, 10));
    EXPECT_EQ(probe(form()).drawCount(1), left + 2);
    EXPECT_EQ(probe(form()).drawCount(2), right + 2);
}

// Drawing one panel alone while the other waits for a repaint must leave each showing its own
// picture on screen.
TEST_F(ViewPairSides, DrawingOnePanelNeverShowsTheOtherPanelsPicture) {
    writeFile(pictures.file("c_DUC.jpg"), twoColourJpeg(96, 32, 48));
    load("c", PairKind::Crossing);
    QWidget* left = form().findChild<QWidget*>(QStringLiteral("PaintBox1"));
    QWidget* right = form().findChild<QWidget*>(QStringLiteral("PaintBox2"));
    left->update();
    form().drawPanel(2);
    QCoreApplication::processEvents();
    const QImage screen = form().screen()->grabWindow(form().winId()).toImage();
    const QPoint leftCentre = left->mapTo(&form(), left->rect().center());
    const QPoint rightCentre = right->mapTo(&form(), right->rect().center());
    EXPECT_EQ(colourOf(screen.pixel(leftCentre)), kBlue);
    EXPECT_EQ(colourOf(screen.pixel(rightCentre)), kRed);
}

struct MpoRow {
    const char* name;
    const char* file; // from the test data
    const char* mode;
    bool loads;
    const char* says = ""; // what the error holds beside the file's name, when it fails
};

class ViewMpoPairs : public ViewPairSides, public ::testing::WithParamInterface<MpoRow> {};

// Both views of an MPO file go to the panels as the two files of a pair would; a file without a
// second image fails as any broken pair does, naming itself, with the panels left as they were.
TEST_P(ViewMpoPairs, LoadsBothViewsOrFailsNamingTheFile) {
    const MpoRow& row = GetParam();
    pictures.copyIn(testData(row.file), "shack.mpo");
    window->state.settings.viewerMode = row.mode;
    const PairRasters before = probe(form()).rasters();
    window->replaceList(
        {{pictures.file("shack"), "shack", PairKind::Multi, pictures.file("shack.mpo")}});
    if (!row.loads) {
        try {
            form().next();
            FAIL() << "the load should fail";
        } catch (const Error& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(row.says), std::string::npos) << message;
        }
        EXPECT_TRUE(probe(form()).rasters().left.sharesPixelsWith(before.left));
        EXPECT_TRUE(probe(form()).rasters().right.sharesPixelsWith(before.right));
        return;
    }
    form().next();
    EXPECT_EQ(form().caption(),
              QStringLiteral("Duoptic - shack - ") + QString::fromLatin1(row.mode));
    EXPECT_EQ(probe(form()).imageWidth(), 640);
    EXPECT_FALSE(probe(form()).rasters().left.sharesPixelsWith(probe(form()).rasters().right));
    // The two views differ by their parallax; Reverse and the crossing mode swap them.
    const PairRasters parallel = probe(form()).rasters();
    window->state.settings.viewerMode =
        std::string(row.mode) == "(Crossing)" ? "(Parallel)" : "(Crossing)";
    window->setCursor(0);
    form().next();
    EXPECT_EQ(probe(form()).rasters().left.pixel(320, 240), parallel.right.pixel(320, 240));
    EXPECT_EQ(probe(form()).rasters().right.pixel(100, 100), parallel.left.pixel(100, 100));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ViewMpoPairs,
    ::testing::Values(MpoRow{"Camera", "stereo/sugarshack.mpo", "(Parallel)", true},
                      MpoRow{"CameraCrossing", "stereo/sugarshack.mpo", "(Crossing)", true},
                      MpoRow{"IndexPastTheEnd", "stereo/sugarshack_no_data.mpo", "(Parallel)",
                             true},
                      MpoRow{"OneImageOnly", "jpeg/testorig.jpg", "(Parallel)", false, "shack.mpo"},
                      MpoRow{"Empty", "jpeg/empty.jpg", "(Parallel)", false, "JPEG エラー #"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace duoptic::test
