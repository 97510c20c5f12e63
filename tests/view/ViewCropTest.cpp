#include "JpegWriter.h"
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"
#include "support/ScopedEnv.h"

#include <QTest>
#include <gtest/gtest.h>

namespace duoptic::test {
namespace {

// Each eye white where the other, moved by (kDx, kDy), covers it, black elsewhere.
constexpr int kW = 120, kH = 90, kDx = 10, kDy = -6;

// Fitted to the width like a whole picture, the eyes make rows all white, the rest face colour.
bool whiteRowsOnly(const QImage& image) {
    int shown = 0;
    for (int y = 0, white = 0, grey = 0; y < image.height();
         ++y, shown += !grey, white = grey = 0) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            grey += isGrey(p), white += qRed(p) > 128 && qGreen(p) > 128 && qBlue(p) > 128;
        }
        if (grey != image.width() && (white != image.width() || grey > 0)) {
            return false;
        }
    }
    return shown > 0;
}

TEST(ViewCrop, ShowsOnlyWhatBothEyesCoverInEveryMode) {
    TempFolder program, pictures, data;
    testing::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()}; // where the shift is kept
    for (const bool left : {true, false}) {
        writeFile(pictures.file(left ? "c_DUL.jpg" : "c_DUR.jpg"),
                  duoptic::testing::writeJpeg({kW, kH}, [left](int y, std::uint8_t* row) {
                      for (int x = 0; x < kW; ++x) {
                          const QRect both(left ? kDx : 0, left ? 0 : -kDy, kW - kDx, kH + kDy);
                          std::fill_n(row + 3 * x, 3, both.contains(x, y) ? 255 : 0);
                      }
                  }));
    }
    ShownWindow window{program.slashed()};
    window.form->openPath(pictures.file("c_DUL.jpg"));
    window.form->moveRightEye(kDx, kDy);
    QTest::keyClick(window.form.get(), Qt::Key_C);
    for (const DisplayModeNames& row : kDisplayModes) {
        window.form->setDisplayMode(row.mode);
        for (int panel = 1; panel <= (fillsOneArea(row.mode) ? 1 : 2); ++panel) {
            window.form->drawPanel(panel);
            EXPECT_TRUE(whiteRowsOnly(probe(*window.form).panelBuffer(panel)))
                << row.caption << " panel " << panel;
        }
    }
}

} // namespace
} // namespace duoptic::test
