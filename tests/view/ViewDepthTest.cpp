// The automatic window and the depth overlay in the real window, on a rectified pair whose
// eyes all see the scene in front of the screen plane.
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

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
        const DepthOverlay::Text text = probe(form).depthText();
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

} // namespace
} // namespace duoptic::test
