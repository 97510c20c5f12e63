#include "imaging/VerticalAlignment.h"
#include "TextureScene.h"
#include "imaging/JpegDecoder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>

namespace duoptic {
namespace {

constexpr int kWidth = 3000;
constexpr int kHeight = 2000;
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

// The scene as seen by an eye turned clockwise by `roll` degrees about the picture's centre and
// then moved by (dx, dy): its pixel q shows the scene's point p where q = turn(p - c) + c + d.
Raster view(std::uint32_t seed, double dy = 0, double roll = 0, double dx = 0,
            PixelFormat format = PixelFormat::Xrgb32) {
    auto picture = std::make_shared<Picture>(format, kWidth, kHeight);
    for (int i = 0; i < 256; ++i) {
        picture->palette()[std::size_t(i)] = 0xFF000000u | std::uint32_t(255 - i) * 0x010101u;
    }
    const double c = std::cos(roll * kRadiansPerDegree), s = std::sin(roll * kRadiansPerDegree);
    const double cx = (kWidth - 1) / 2.0, cy = (kHeight - 1) / 2.0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double u = x - cx - dx, v = y - cy - dy;
            const auto g = std::uint32_t(std::clamp(
                testing::textureScene(c * u + s * v + cx, c * v - s * u + cy, seed), 0.0, 255.0));
            if (format == PixelFormat::Xrgb32) {
                reinterpret_cast<std::uint32_t*>(picture->row(y))[x] = 0xFF000000u | g * 0x010101u;
            } else {
                picture->row(y)[x] = std::uint8_t(255 - g); // an inverted palette
            }
        }
    }
    return Raster::whole(std::move(picture));
}

const Raster& leftView() {
    static const Raster left = view(1);
    return left;
}

struct Misalignment {
    double dy, roll, dx;
    PixelFormat format;
};

// Corners of a width x height picture, from its centre: the right eye shows the left eye's point
// p at turn(m.roll)(p) + (m.dx, m.dy); the estimate turns that by its roll and moves it by its dy.
// What is left of each corner's vertical offset must be half a pixel at most.
void expectCornersAligned(const Misalignment& m, const AlignmentEstimate& e, int width,
                          int height) {
    const double a = m.roll * kRadiansPerDegree, b = e.rollDegrees * kRadiansPerDegree;
    for (const double px : {-width / 2.0, width / 2.0}) {
        for (const double py : {-height / 2.0, height / 2.0}) {
            const double qx = std::cos(a) * px - std::sin(a) * py + m.dx;
            const double qy = std::sin(a) * px + std::cos(a) * py + m.dy;
            EXPECT_NEAR(std::sin(b) * qx + std::cos(b) * qy + e.dy, py, 0.5)
                << m.roll << "\u00b0 at " << px << "," << py;
        }
    }
}

class Synthetic : public ::testing::TestWithParam<Misalignment> {};

// Turning the right eye's points by the estimated roll and moving them by dy must bring every
// corner back onto the row it has in the left eye.
TEST_P(Synthetic, CorrectionLeavesHalfAPixelAtMost) {
    const Misalignment m = GetParam();
    const AlignmentEstimate e = measureAlignment(leftView(), view(1, m.dy, m.roll, m.dx, m.format));
    ASSERT_TRUE(e.confident);
    EXPECT_NEAR(e.rollDegrees, -m.roll, 0.05);
    expectCornersAligned(m, e, kWidth, kHeight);
}

INSTANTIATE_TEST_SUITE_P(Pairs, Synthetic,
                         ::testing::Values(Misalignment{6, 0.4, 0, PixelFormat::Xrgb32},
                                           Misalignment{-6, -0.4, 25, PixelFormat::Xrgb32},
                                           Misalignment{0, 0, 40, PixelFormat::Indexed8},
                                           Misalignment{-13.7, 0.15, -30, PixelFormat::Xrgb32}));

// A photograph against itself turned and moved (bilinear), as a tilted second shot sees it.
TEST(Alignment, TurnedPhotographIsBroughtBackWithinHalfAPixel) {
    JpegDecoder decoder;
    decoder.readFile(testing::testData("stereo/aloeL.jpg"));
    const Raster left = Raster::whole(decoder.picture());
    const int w = left.width(), h = left.height();
    for (const Misalignment m : {Misalignment{3, 0.2, 4, {}}, Misalignment{-2, -0.5, -3, {}},
                                 Misalignment{4, 1, 2, {}}, Misalignment{-3, -2, 5, {}}}) {
        auto turned = std::make_shared<Picture>(PixelFormat::Xrgb32, w, h);
        const double a = m.roll * kRadiansPerDegree, c = std::cos(a), s = std::sin(a);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                // Pixel centres at +0.5; the left eye's point that lands on this pixel.
                const double u = x + 0.5 - w / 2.0 - m.dx, v = y + 0.5 - h / 2.0 - m.dy;
                const double px = c * u + s * v + w / 2.0 - 0.5,
                             py = -s * u + c * v + h / 2.0 - 0.5;
                const int x0 = std::clamp(int(std::floor(px)), 0, w - 2);
                const int y0 = std::clamp(int(std::floor(py)), 0, h - 2);
                const double fx = std::clamp(px - x0, 0.0, 1.0), fy = std::clamp(py - y0, 0.0, 1.0);
                std::uint32_t out = 0xFF000000u;
                for (int shift = 0; shift < 24; shift += 8) {
                    const auto at = [&](int i, int j) { return left.pixel(i, j) >> shift & 0xFF; };
                    const double top = at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx;
                    const double bottom = at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx;
                    out |= std::uint32_t(std::lround(top * (1 - fy) + bottom * fy)) << shift;
                }
                reinterpret_cast<std::uint32_t*>(turned->row(y))[x] = out;
            }
        }
        const AlignmentEstimate e = measureAlignment(left, Raster::whole(turned));
        EXPECT_TRUE(e.confident) << m.roll;
        expectCornersAligned(m, e, w, h);
    }
}

TEST(Alignment, IsNotConfidentWithoutACommonScene) {
    auto grey = std::make_shared<Picture>(PixelFormat::Xrgb32, kWidth, kHeight);
    std::fill_n(reinterpret_cast<std::uint32_t*>(grey->bits()), grey->stride() / 4 * kHeight,
                0xFF808080u);
    const Raster flat = Raster::whole(grey);
    EXPECT_FALSE(measureAlignment(flat, flat).confident);
    EXPECT_FALSE(measureAlignment(leftView(), view(2)).confident);
    EXPECT_FALSE(measureAlignment(leftView(), leftView().columns(0, kWidth - 1)).confident);
}

TEST(Alignment, FindsTheRectifiedPairAligned) {
    JpegDecoder left, right;
    left.readFile(testing::testData("stereo/aloeL.jpg"));
    right.readFile(testing::testData("stereo/aloeR.jpg"));
    const AlignmentEstimate e =
        measureAlignment(Raster::whole(left.picture()), Raster::whole(right.picture()));
    EXPECT_TRUE(e.confident);
    EXPECT_NEAR(e.dy, 0, 0.25);
    EXPECT_NEAR(e.rollDegrees, 0, 0.05);
}

TEST(Alignment, StopsWhenCancelled) {
    const std::atomic<bool> cancel{true};
    EXPECT_THROW(measureAlignment(leftView(), leftView(), &cancel), DecodeCancelled);
}

} // namespace
} // namespace duoptic
