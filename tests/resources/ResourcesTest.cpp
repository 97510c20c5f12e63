#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <QtCore/QFile>
#include <QtGui/QImage>

#include <cstdint>
#include <limits>

namespace duoptic::resources {
namespace {

struct PictureCase {
    const char* name;
    const char* path;
    int width;
    int height;
    bool alpha;
    bool greysOnly;
};

class CarriedPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(CarriedPicture, IsCompiledInAndDecodesToItsSize) {
    const PictureCase& c = GetParam();
    ASSERT_TRUE(QFile::exists(c.path)) << c.path;
    const QImage image(c.path);
    ASSERT_FALSE(image.isNull()) << c.path;
    EXPECT_EQ(image.width(), c.width);
    EXPECT_EQ(image.height(), c.height);
    EXPECT_EQ(image.hasAlphaChannel(), c.alpha);
    EXPECT_EQ(image.allGray(), c.greysOnly);
}

INSTANTIATE_TEST_SUITE_P(
    All, CarriedPicture,
    ::testing::Values(PictureCase{"SampleLeft", kSampleLeft, 623, 648, false, false},
                      PictureCase{"SampleRight", kSampleRight, 623, 648, false, false},
                      PictureCase{"Icon", kIcon, 32, 32, true, true},
                      PictureCase{"TipsFigure", kTipsFigure, 256, 164, false, false}),
    [](const ::testing::TestParamInfo<PictureCase>& info) { return info.param.name; });

TEST(Icon, StandsOnATransparentBackground) {
    const QImage icon = QImage(kIcon).convertToFormat(QImage::Format_ARGB32);
    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
        EXPECT_EQ(qAlpha(icon.pixel(corner)), 0) << corner.x() << "," << corner.y();
    EXPECT_EQ(qAlpha(icon.pixel(16, 12)), 255); // the binoculars' bridge
}

// Sum of squared grey differences between a block of the left view and the right view shifted.
std::int64_t blockDifference(const QImage& left, const QImage& right, QPoint origin, int size,
                             int dx, int dy) {
    std::int64_t sum = 0;
    for (int y = origin.y(); y < origin.y() + size; ++y) {
        for (int x = origin.x(); x < origin.x() + size; ++x) {
            const int d = qGray(left.pixel(x, y)) - qGray(right.pixel(x + dx, y + dy));
            sum += d * d;
        }
    }
    return sum;
}

TEST(SamplePair, IsAStereoPairNotOnePictureTwice) {
    const QImage left(kSampleLeft), right(kSampleRight);
    ASSERT_EQ(left.size(), right.size());
    EXPECT_NE(left, right);
}

// A pair only fuses when corresponding points lie on the same row: at several places the best
// match of a left block in the right view must be a purely horizontal shift of a few pixels.
TEST(SamplePair, HasHorizontalParallaxOnly) {
    const QImage left(kSampleLeft), right(kSampleRight);
    ASSERT_EQ(left.size(), right.size());
    constexpr int kBlock = 48, kMaxDx = 20, kMaxDy = 4;
    for (const QPoint origin : {QPoint(120, 100), QPoint(290, 300), QPoint(450, 500)}) {
        std::int64_t best = std::numeric_limits<std::int64_t>::max();
        QPoint bestShift;
        for (int dy = -kMaxDy; dy <= kMaxDy; ++dy) {
            for (int dx = -kMaxDx; dx <= kMaxDx; ++dx) {
                const std::int64_t d = blockDifference(left, right, origin, kBlock, dx, dy);
                if (d < best) {
                    best = d;
                    bestShift = QPoint(dx, dy);
                }
            }
        }
        EXPECT_EQ(bestShift.y(), 0) << "at " << origin.x() << "," << origin.y();
        EXPECT_LT(std::abs(bestShift.x()), kMaxDx) << "at " << origin.x() << "," << origin.y();
    }
}

} // namespace
} // namespace duoptic::resources
