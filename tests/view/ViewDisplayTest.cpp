// The output modes in the real window, with a pair whose eyes show where each of them lands.
#include "JpegWriter.h"
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include "ViewFrm/panels/PaintBox.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <tuple>

namespace duoptic::test {
namespace {

class ViewDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        // Left eye white, right eye black, but for their last 8 columns: a flipped panel differs.
        const auto columns = [](int, std::uint8_t* row) {
            std::fill_n(row, 3 * 40, 255), std::fill_n(row + 3 * 88, 3 * 8, 255);
        };
        writeFile(pictures.file("w_DUP.jpg"), duoptic::testing::writeJpeg({96, 32}, columns));
        window.replaceList({{pictures.file("w"), "w", PairKind::Parallel}});
        form.next();
    }
    // Channels above half strength: 4 red, 2 green, 1 blue.
    static int lit(QRgb p) {
        return (qRed(p) > 128) * 4 + (qGreen(p) > 128) * 2 + (qBlue(p) > 128);
    }
    const QImage& drawn(int p = 1) { return form.drawPanel(p), probe(form).panelBuffer(p); }
    QWidget* child(const char* name) { return form.findChild<QWidget*>(QString::fromLatin1(name)); }
    TempFolder program, pictures;
    ShownWindow window{program.slashed()};
    TViewForm& form = *window.form;
};

TEST_F(ViewDisplay, TheKeyStepsThroughEveryModeBackToTheSamePanels) {
    const QImage left = drawn(1), right = drawn(2);
    const QRect both = child("pnPct1")->geometry().united(child("pnPct2")->geometry());
    for (std::size_t step = 1; step <= kDisplayModes.size(); ++step) {
        const DisplayMode mode = kDisplayModes[step % kDisplayModes.size()].mode;
        if (mode == DisplayMode::TwoScreens) {
            continue; // not offered on the one screen of the test
        }
        QTest::keyClick(&form, Qt::Key_D);
        ASSERT_EQ(form.displayMode(), mode);
        EXPECT_EQ(child("pnPct2")->isVisible(), !fillsOneArea(mode));
        if (fillsOneArea(mode)) {
            EXPECT_EQ(child("pnPct1")->geometry(), both);
            EXPECT_EQ(drawn().deviceIndependentSize().toSize(), child("PaintBox1")->size());
        } else if (mode == DisplayMode::Mirror) {
            EXPECT_EQ(drawn(1), left);
            EXPECT_EQ(drawn(2), right.mirrored(true, false));
        }
    }
    EXPECT_EQ(drawn(1), left);
    EXPECT_EQ(drawn(2), right);
    EXPECT_EQ(window.state.settings.displayMode, DisplayMode::SideBySide);
    // Nor does the menu offer it, and it says why.
    const QAction* entry = form.findChild<QMenu*>(QStringLiteral("DisplayMenu"))
                               ->actions()[qsizetype(displayModeIndex(DisplayMode::TwoScreens))];
    EXPECT_FALSE(entry->isEnabled());
    EXPECT_NE(entry->toolTip(), entry->text());
}

// Where each mode shows light that only the left eye gets: passed by its filter, in its half, or
// on its lines of the screen (the odd ones, with the parity swapped). Where (in fractions of the
// area), then lit() there with the white eye on the left and on the right.
using Landing = std::tuple<DisplayMode, double, double, int, int>;
using enum DisplayMode;
constexpr Landing kLandings[] = {
    {AnaglyphRedCyan, .5, .5, 4, 3},   {AnaglyphGreenMagenta, .5, .5, 2, 5},
    {AnaglyphAmberBlue, .5, .5, 6, 1}, {HalfSideBySide, .25, .5, 7, 0},
    {HalfSideBySide, .75, .5, 0, 7},   {HalfTopBottom, .5, .25, 7, 0},
    {HalfTopBottom, .5, .75, 0, 7},    {RowInterlaced, .5, .5, 0, 7},
    {ColumnInterlaced, .5, .5, 0, 7}};

// Each eye lands where its mode says, also in crossed viewing, which arranges only the two panels;
// Reverse gives it to the other eye.
TEST_F(ViewDisplay, EachEyeLandsWhereItsModeSays) {
    writeFile(pictures.file("x_DUL.jpg"),
              duoptic::testing::writeSolidJpeg({48, 32}, {255, 255, 255}));
    writeFile(pictures.file("x_DUR.jpg"), duoptic::testing::writeSolidJpeg({48, 32}, {0, 0, 0}));
    form.setInterlaceSwap(true);
    const QPoint at = static_cast<PaintBox*>(child("PaintBox1"))->deviceOriginOnScreen();
    for (const bool crossed : {false, true}) {
        if (crossed) {
            window.state.settings.viewerMode = kCrossing;
            window.replaceList({{pictures.file("x"), "x", PairKind::TwoFiles}});
            form.next();
            ASSERT_EQ(lit(drawn(2).pixel(4, 4)), 7); // the left eye in the right panel
        }
        for (const auto& [mode, x, y, left, right] : kLandings) {
            form.setDisplayMode(mode);
            for (const int expected : {left, right}) {
                const QImage& shown = drawn();
                QPoint p(int(x * shown.width()), int(y * shown.height()));
                p += QPoint((at.x() + p.x()) % 2, (at.y() + p.y()) % 2); // even row and column
                EXPECT_EQ(lit(shown.pixel(p)), expected) << displayModeCaption(mode) << crossed;
                form.ViewReversExecute();
            }
        }
    }
}

} // namespace
} // namespace duoptic::test
