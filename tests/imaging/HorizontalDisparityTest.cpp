#include "imaging/HorizontalDisparity.h"
#include "TextureScene.h"
#include "ViewFrm/logic/DepthBudget.h"
#include "imaging/StereoWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace duoptic {
namespace {

constexpr double kNear = -20; // disparities of the two planes, full-size pixels
constexpr double kFar = 10;

// Where the near plane covers the left eye, in shares of the picture; the far one is behind it.
struct Layout {
    int width, height;
    double left, top, right, bottom;
};

// An eye of two textured planes: the right eye sees each point of a plane `disparity` pixels
// further right than the left eye does, the near plane hiding the far one. The right camera is
// turned so that the eye drawn turned by `roll` degrees, clockwise on screen, is level again.
Raster eye(const Layout& l, bool rightEye, std::uint32_t farSeed = 2, double roll = 0) {
    auto picture = std::make_shared<Picture>(PixelFormat::Xrgb32, l.width, l.height);
    const double a = rightEye ? roll * std::acos(-1.0) / 180 : 0, c = std::cos(a), s = std::sin(a);
    const double cx = (l.width - 1) / 2.0, cy = (l.height - 1) / 2.0;
    for (int y0 = 0; y0 < l.height; ++y0) {
        for (int x0 = 0; x0 < l.width; ++x0) {
            // The point of the level view that the turn brings under this pixel.
            const double x = cx + (x0 - cx) * c - (y0 - cy) * s;
            const double y = cy + (x0 - cx) * s + (y0 - cy) * c;
            const double nearX = rightEye ? x - kNear : x, farX = rightEye ? x - kFar : x;
            const bool near = nearX >= l.left * l.width && nearX < l.right * l.width &&
                              y >= l.top * l.height && y < l.bottom * l.height;
            const double grey =
                near ? testing::textureScene(nearX, y, 1) : testing::textureScene(farX, y, farSeed);
            reinterpret_cast<std::uint32_t*>(picture->row(y0))[x0] =
                0xFF000000u | std::uint32_t(std::clamp(grey, 0.0, 255.0)) * 0x010101u;
        }
    }
    return Raster::whole(std::move(picture));
}

DisparityEstimate measured(const Layout& l) {
    return measureDisparity(eye(l, false), eye(l, true), AlignmentEstimate{});
}

// One sampled pixel's worth, in full-size pixels.
double sample(const Layout& l) {
    return std::max(1.0, std::round(std::max(l.width, l.height) / 1500.0));
}

class Planes : public ::testing::TestWithParam<Layout> {};

TEST_P(Planes, NearAndFarAreThePlanes) {
    const Layout l = GetParam();
    const DisparityEstimate e = measured(l);
    ASSERT_TRUE(e.confident);
    EXPECT_NEAR(e.farthest, kFar, sample(l));
    // A near plane over less than a twentieth of the picture is not the near percentile.
    const double nearShare = (l.right - l.left) * (l.bottom - l.top);
    const double nearest = nearShare > 0.05 ? kNear : kFar;
    EXPECT_NEAR(e.nearest, nearest, sample(l));
    // Read out with the right eye 5 pixels to the right, drawn at half size on 0.25 mm pixels.
    const DepthReadout r = depthReadout(e.nearest, e.farthest, {l.width, 5, 0.5, 0.25, 500, 65});
    EXPECT_NEAR(r.nearPercent, 100 * (nearest + 5) / l.width, 100 * sample(l) / l.width);
    EXPECT_NEAR(r.farMm.value(), (kFar + 5) * 0.5 * 0.25, sample(l) * 0.5 * 0.25);
}

// The window puts the nearest matched point in the screen plane, and none at a side edge in
// front of it.
TEST_P(Planes, WindowLeavesNothingInFrontAtTheSides) {
    const Layout l = GetParam();
    const DisparityEstimate e = measured(l);
    const int shift = automaticWindowShift(e).value();
    double nearest = e.points.at(0).disparity + double(shift);
    for (const DisparityPoint& p : e.points) {
        nearest = std::min(nearest, double(p.disparity + float(shift)));
        if (p.x < kEdgeShare * l.width || p.x > (1 - kEdgeShare) * l.width) {
            EXPECT_GE(p.disparity + shift, -sample(l)) << "at " << p.x << "," << p.y;
        }
    }
    EXPECT_NEAR(nearest, 0, sample(l));
}

INSTANTIATE_TEST_SUITE_P(Pairs, Planes,
                         ::testing::Values(Layout{1200, 800, 0.3, 0.3, 0.7, 0.7},
                                           Layout{3000, 2000, 0.4, 0.2, 0.6, 0.9},
                                           Layout{1200, 800, 0.96, 0, 1, 1},
                                           Layout{1200, 800, 0, 0.2, 0.1, 0.5}));

// With the right eye drawn turned by the roll the alignment measures, the depths are those of
// the planes again, all over the picture.
TEST(Disparity, FollowsTheTurnOfTheRightEye) {
    const Layout l{1500, 1000, 0.3, 0.3, 0.7, 0.7};
    for (const double roll : {1.0, -2.0}) {
        const Raster left = eye(l, false), right = eye(l, true, 2, roll);
        const AlignmentEstimate vertical = measureAlignment(left, right);
        ASSERT_TRUE(vertical.confident);
        const DisparityEstimate e =
            turnedDisparity(measureDisparity(left, right, vertical), vertical.rollDegrees);
        ASSERT_TRUE(e.confident);
        EXPECT_NEAR(e.nearest, kNear, sample(l)) << roll;
        EXPECT_NEAR(e.farthest, kFar, sample(l)) << roll;
    }
}

TEST(Disparity, IsNotConfidentWithoutACommonScene) {
    const Layout l{1200, 800, 0, 0, 0, 0};
    EXPECT_FALSE(measureDisparity(eye(l, false), eye(l, true, 3), AlignmentEstimate{}).confident);
    EXPECT_FALSE(automaticWindowShift(DisparityEstimate{}));
}

} // namespace
} // namespace duoptic
