// The automatic window and the overlays in the real window: the depth on a rectified pair whose
// eyes all see the scene in front of the screen plane, the camera's data on a camera's pair.
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace duoptic::test {
namespace {

class ViewDepth : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* eye : {"L", "R"}) {
            std::filesystem::copy_file(testing::testData(std::string("stereo/aloe") + eye + ".jpg"),
                                       pictures.file(std::string("p_DU") + eye + ".jpg"));
        }
        form.openPath(pictures.file("p_DUL.jpg"));
        form.setShowDepth(true);
    }

    // The near and far parallax the overlay reads out, in % of the picture's width.
    std::pair<double, double> percents() {
        form.drawPanel(1);
        const TextOverlay::Text text = probe(form).depthText();
        double near = 0, far = 0;
        EXPECT_EQ(text.lines.size() > 1 &&
                      std::sscanf(text.lines[0].c_str(), "Near %lf", &near) == 1 &&
                      std::sscanf(text.lines[1].c_str(), "Far %lf", &far) == 1,
                  true)
            << (text.lines.empty() ? "" : text.lines[0]);
        return {near, far};
    }

    TempFolder program, pictures, data;
    testing::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
    ShownWindow window{program.slashed()};
    TViewForm& form = *window.form;
};

TEST_F(ViewDepth, WindowPutsTheNearestInTheScreenPlaneUnlessTheUserMovedTheEye) {
    const auto [near, far] = percents();
    ASSERT_LT(near, 0) << "all in front, as taken";
    const double pixel = 100.0 / probe(form).imageWidth();
    form.setAutoWindow(true);
    EXPECT_NEAR(percents().first, 0, pixel);
    EXPECT_NEAR(percents().second - percents().first, far - near, pixel) << "depth kept";
    form.moveRightEye(-3, 0); // kept for the pair, and wins over the window
    form.setAutoWindow(false);
    form.setAutoWindow(true);
    EXPECT_NEAR(percents().first, -3 * pixel, pixel);
    form.resetRightEye();
    EXPECT_NEAR(percents().first, 0, pixel);
}

// E shows what the camera recorded (its Make) over the picture, E again leaves the picture as it
// was, and the mouse reaches the panel under the overlay.
TEST(ViewCameraData, EShowsTheCameraOverThePictureAndLetsTheMouseThrough) {
    TempFolder program, pictures, data;
    testing::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
    std::filesystem::copy_file(testData("stereo/02-super-mario.jps"), pictures.file("m.jps"));
    ShownWindow window{program.slashed()};
    TViewForm& form = *window.form;
    form.openPath(pictures.file("m.jps"));
    auto* box = form.findChild<QWidget*>(QStringLiteral("PaintBox1"));
    const QImage plain = box->grab().toImage();
    QTest::keyClick(&form, Qt::Key_E);
    const auto lines = probe(form).cameraDataText().lines;
    EXPECT_TRUE(std::ranges::any_of(lines, [](auto& l) { return l.find("Panasonic") != l.npos; }));
    EXPECT_NE(box->grab().toImage(), plain);
    QTest::keyClick(&form, Qt::Key_E);
    EXPECT_EQ(box->grab().toImage(), plain);

    QTest::keyClick(&form, Qt::Key_E);
    const QPoint corner(box->width() / 20, box->height() * 19 / 20); // within the overlay's box
    EXPECT_EQ(form.childAt(box->mapTo(&form, corner)), box) << "presses go to the panel";
}

} // namespace
} // namespace duoptic::test
