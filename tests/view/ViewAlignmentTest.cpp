// The right eye moved against the left in the real window.
#include "JpegWriter.h"
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include "support/ScopedEnv.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace duoptic::test {
namespace {

// A pair exactly the size of a panel, so that one image pixel is one device pixel, with two
// colours in a pattern that no shift maps onto itself.
class ViewAlignment : public ::testing::Test {
protected:
    void SetUp() override {
        const QSize area = form.findChild<QWidget*>(QStringLiteral("PaintBox1"))->size();
        const auto pattern = [w = area.width()](int y, std::uint8_t* row) {
            for (int x = 0; x < w; ++x) {
                std::fill_n(row + 3 * x, 3, (x * 7 + y * 13) % 11 < 5 ? 0 : 255);
            }
        };
        const duoptic::testing::JpegOptions size{area.width(), area.height()};
        for (const char* eye : {"p_DUL.jpg", "p_DUR.jpg"}) {
            writeFile(pictures.file(eye), duoptic::testing::writeJpeg(size, pattern));
        }
        form.openPath(pictures.file("p_DUL.jpg"));
    }

    // Pixels other than the right eye's raster pixel (x - dx, y - dy), or grey outside it.
    static int misplaced(TViewForm& form, int panel, const Raster& rightEye, int dx, int dy) {
        form.drawPanel(panel);
        const QImage& drawn = probe(form).panelBuffer(panel);
        int wrong = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                const int sx = x - dx, sy = y - dy;
                wrong += QRect(0, 0, rightEye.width(), rightEye.height()).contains(sx, sy)
                             ? drawn.pixel(x, y) != rightEye.pixel(sx, sy)
                             : !isGrey(drawn.pixel(x, y));
            }
        }
        return wrong;
    }

    TempFolder program, pictures, data;
    testing::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
    ShownWindow window{program.slashed()};
    TViewForm& form = *window.form;
};

TEST_F(ViewAlignment, TheRightEyeMovesByWholeImagePixelsAndStaysWithThePair) {
    const int w = probe(form).imageWidth(), h = probe(form).imageHeight();
    ASSERT_EQ(QSize(w, h), probe(form).panelBuffer(1).size()) << "not one to one";
    const Raster& left = probe(form).rasters().left;
    const Raster& right = probe(form).rasters().right;
    for (const auto& [dx, dy] : {std::pair{3, -2}, {-w / 10, h / 10}, {w / 10, -h / 10}}) {
        form.resetRightEye();
        form.moveRightEye(dx, dy);
        EXPECT_EQ(misplaced(form, 2, right, dx, dy), 0) << dx << "," << dy;
        EXPECT_EQ(misplaced(form, 1, left, 0, 0), 0) << "the left eye stays";
    }
    // A restart on a copy of the pair in another folder finds the shift it was left with, once the
    // store has written it a moment after the last change.
    const PairOffset last{w / 10, -h / 10, 0};
    const std::optional<PairKey> key = probe(form).rasters().facts.key;
    ASSERT_TRUE(key);
    EXPECT_TRUE(QTest::qWaitFor([&] { return PairOffsetStore::open().find(*key) == last; }, 10000));
    TempFolder moved;
    std::filesystem::copy(pictures.path(), moved.path(), std::filesystem::copy_options::recursive);
    ShownWindow again{program.slashed()};
    again.form->openPath(moved.file("p_DUL.jpg"));
    EXPECT_EQ(misplaced(*again.form, 2, right, w / 10, -h / 10), 0);
    // Crossed, the right eye is in the left panel and takes its shift along.
    form.ViewReversExecute();
    EXPECT_EQ(misplaced(form, 1, right, w / 10, -h / 10), 0);
    // Turned, it is drawn otherwise wherever it is; the left eye stays.
    form.turnRightEye(20);
    EXPECT_GT(misplaced(form, 1, right, w / 10, -h / 10), 0);
    EXPECT_EQ(misplaced(form, 2, left, 0, 0), 0);
}

// Shrunk, a turned eye is drawn from a copy turned once in the background, as soon as it is
// made: it looks as the eye drawn turned does, and follows every turn. The pictures are smooth,
// so that a neighbouring pixel differs little and a misplaced one much.
TEST(TurnedCopy, LooksAsTheEyeDrawnTurnedAndFollowsTheTurn) {
    TempFolder program, pictures, data;
    testing::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
    ShownWindow window{program.slashed()};
    TViewForm& form = *window.form;
    const QSize area = form.findChild<QWidget*>(QStringLiteral("PaintBox1"))->size();
    const auto wave = [](int v) { return std::uint8_t(std::abs(v % 510 - 255)); };
    const auto smooth = [&](int y, std::uint8_t* row) {
        for (int x = 0; x < 6 * area.width(); ++x) {
            row[3 * x] = wave(x), row[3 * x + 1] = wave(y), row[3 * x + 2] = wave(x + y);
        }
    };
    duoptic::testing::JpegOptions size{6 * area.width(), 6 * area.height()};
    size.quality = 100;
    size.fullChroma = true;
    for (const char* eye : {"s_DUL.jpg", "s_DUR.jpg"}) {
        writeFile(pictures.file(eye), duoptic::testing::writeJpeg(size, smooth));
    }
    form.openPath(pictures.file("s_DUL.jpg"));
    for (const int steps : {20, -40}) {
        form.turnRightEye(steps); // drawn at once, turned: the copy is not made yet
        const QImage turned = probe(form).panelBuffer(2).copy();
        const int before = probe(form).drawCount(2);
        ASSERT_TRUE(QTest::qWaitFor([&] { return probe(form).drawCount(2) > before; }, 10000))
            << "not drawn again once the copy was made";
        const QImage& copied = probe(form).panelBuffer(2);
        int apart = 0; // pixels of another place
        for (int y = 0; y < turned.height(); ++y) {
            for (int x = 0; x < turned.width(); ++x) {
                const QRgb a = turned.pixel(x, y), b = copied.pixel(x, y);
                apart += std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                   std::abs(qBlue(a) - qBlue(b))}) > 6;
            }
        }
        // Where the turned edges cross the rows and columns, a pixel either way may be covered.
        EXPECT_LT(apart, turned.width() + turned.height()) << steps;
    }
}

} // namespace
} // namespace duoptic::test
