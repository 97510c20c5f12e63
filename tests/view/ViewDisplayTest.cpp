// The output modes in the real window: the mode key, the one image area, and which eye lands
// where, with a pair whose left eye is white and right eye black.
#include "JpegWriter.h"
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include "ViewFrm/PaintBox.h"

#include <QTest>

#include <gtest/gtest.h>

namespace duoptic::test {
namespace {

QWidget* child(TViewForm& form, const char* name) {
    return form.findChild<QWidget*>(QString::fromLatin1(name));
}

TEST(ViewDisplay, TheKeyStepsThroughEveryModeBackToTheSamePanels) {
    TempFolder folder;
    ShownWindow window(folder.slashed());
    TViewForm& form = *window.form;
    form.drawPanel(1);
    form.drawPanel(2);
    const QImage left = probe(form).panelBuffer(1), right = probe(form).panelBuffer(2);
    const QRect twoPanels =
        child(form, "pnPct1")->geometry().united(child(form, "pnPct2")->geometry());
    for (std::size_t step = 1; step <= kDisplayModes.size(); ++step) {
        QTest::keyClick(&form, Qt::Key_D);
        const DisplayMode mode = kDisplayModes[step % kDisplayModes.size()].mode;
        ASSERT_EQ(form.displayMode(), mode);
        EXPECT_TRUE(probe(form).displayModeItem(mode)->isChecked());
        form.drawPanel(1);
        form.drawPanel(2);
        EXPECT_EQ(child(form, "pnPct2")->isVisible(), !fillsOneArea(mode));
        if (fillsOneArea(mode)) {
            EXPECT_EQ(child(form, "pnPct1")->geometry(), twoPanels);
            EXPECT_EQ(probe(form).panelBuffer(1).deviceIndependentSize().toSize(),
                      child(form, "PaintBox1")->size());
        } else if (mode == DisplayMode::Mirror) {
            EXPECT_EQ(probe(form).panelBuffer(1), left);
            EXPECT_EQ(probe(form).panelBuffer(2), right.mirrored(true, false));
        }
    }
    EXPECT_EQ(probe(form).panelBuffer(1), left);
    EXPECT_EQ(probe(form).panelBuffer(2), right);
    EXPECT_EQ(window.state.settings.displayMode, "");
}

// Channels above half strength: 4 red, 2 green, 1 blue.
int lit(QRgb pixel) {
    return (qRed(pixel) > 128 ? 4 : 0) | (qGreen(pixel) > 128 ? 2 : 0) |
           (qBlue(pixel) > 128 ? 1 : 0);
}

class ViewDisplayEyes : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<ShownWindow>(program.slashed());
        writeFile(pictures.file("w_DUP.jpg"),
                  duoptic::testing::writeJpeg(
                      {96, 32}, [](int, std::uint8_t* row) { std::fill(row, row + 3 * 48, 255); }));
        window->state.pairs.list.append({pictures.file("w"), "w", PairKind::Parallel});
        window->state.pairs.cursor = 0;
        window->form->next();
    }
    int litAt(double x, double y) {
        const QImage& shown = probe(*window->form).panelBuffer(1);
        return lit(shown.pixel(int(x * shown.width()), int(y * shown.height())));
    }
    TempFolder program, pictures;
    std::unique_ptr<ShownWindow> window;
};

struct EyeRow {
    const char* name;
    DisplayMode mode;
    double x, y;           // where in the image area, as fractions of its size
    int litLeft, litRight; // lit() there with the white eye on the left, then on the right
};

class ViewDisplayEyeRows : public ViewDisplayEyes, public ::testing::WithParamInterface<EyeRow> {};

void PrintTo(const EyeRow& row, std::ostream* out) {
    *out << row.name;
}

// Light that only the left eye gets passes only the left filter, or lands in the left eye's half;
// Reverse gives it to the other eye.
TEST_P(ViewDisplayEyeRows, EachEyeLandsWhereItsModeSays) {
    window->form->setDisplayMode(GetParam().mode);
    window->form->drawPanel(1);
    EXPECT_EQ(litAt(GetParam().x, GetParam().y), GetParam().litLeft);
    window->form->ViewReversExecute();
    window->form->drawPanel(1);
    EXPECT_EQ(litAt(GetParam().x, GetParam().y), GetParam().litRight);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ViewDisplayEyeRows,
    ::testing::Values(EyeRow{"RedCyan", DisplayMode::AnaglyphRedCyan, 0.5, 0.5, 4, 3},
                      EyeRow{"GreenMagenta", DisplayMode::AnaglyphGreenMagenta, 0.5, 0.5, 2, 5},
                      EyeRow{"AmberBlue", DisplayMode::AnaglyphAmberBlue, 0.5, 0.5, 6, 1},
                      EyeRow{"RedCyanGrey", DisplayMode::AnaglyphRedCyanGrey, 0.5, 0.5, 4, 3},
                      EyeRow{"RedCyanHalf", DisplayMode::AnaglyphRedCyanHalfColour, 0.5, 0.5, 4, 3},
                      EyeRow{"HalfSideBySideLeft", DisplayMode::HalfSideBySide, 0.25, 0.5, 7, 0},
                      EyeRow{"HalfSideBySideRight", DisplayMode::HalfSideBySide, 0.75, 0.5, 0, 7},
                      EyeRow{"HalfTopBottomTop", DisplayMode::HalfTopBottom, 0.5, 0.25, 7, 0},
                      EyeRow{"HalfTopBottomBottom", DisplayMode::HalfTopBottom, 0.5, 0.75, 0, 7}),
    [](const auto& info) { return std::string(info.param.name); });

// The screen's even lines show the left eye, odd ones the right; the swap turns that round.
TEST_F(ViewDisplayEyes, InterlacedLinesFollowTheirParityOnTheScreen) {
    const QPoint origin =
        window->form->findChild<PaintBox*>(QStringLiteral("PaintBox1"))->deviceOriginOnScreen();
    for (const bool swap : {false, true}) {
        window->form->setInterlaceSwap(swap);
        for (const DisplayMode mode : {DisplayMode::RowInterlaced, DisplayMode::ColumnInterlaced}) {
            window->form->setDisplayMode(mode);
            window->form->drawPanel(1);
            const QImage& shown = probe(*window->form).panelBuffer(1);
            for (int step = 0; step < 4; ++step) {
                const bool rows = mode == DisplayMode::RowInterlaced;
                const int x = shown.width() / 2 + (rows ? 0 : step),
                          y = shown.height() / 2 + (rows ? step : 0);
                const bool even = ((rows ? origin.y() + y : origin.x() + x) & 1) == 0;
                EXPECT_EQ(lit(shown.pixel(x, y)), even != swap ? 7 : 0) << step;
            }
        }
    }
}

} // namespace
} // namespace duoptic::test
