#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <QtGui/QImage>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

// The icons that launchers and file managers take from the icon theme. They are not compiled
// in; they must all show the window icon's picture at their own size.
namespace duoptic::resources {
namespace {

const std::string kThemedFolder = DUOPTIC_RESOURCES_DIR "/icons/";

QImage premultiplied(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Mean absolute difference of the alpha and of the premultiplied grey, 0 to 255.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage pa = premultiplied(a), pb = premultiplied(b);
    double sum = 0;
    for (int y = 0; y < pa.height(); ++y) {
        for (int x = 0; x < pa.width(); ++x) {
            const QRgb p = pa.pixel(x, y), q = pb.pixel(x, y);
            sum += std::abs(qAlpha(p) - qAlpha(q)) + std::abs(qGreen(p) - qGreen(q));
        }
    }
    return sum / (2.0 * pa.width() * pa.height());
}

class ThemedIcon : public ::testing::TestWithParam<int> {};

TEST_P(ThemedIcon, ShowsTheWindowIconAtItsSize) {
    const int size = GetParam();
    const std::string path = kThemedFolder + "duoptic-" + std::to_string(size) + ".png";
    const QImage themed(QString::fromStdString(path));
    ASSERT_FALSE(themed.isNull()) << path;
    ASSERT_EQ(themed.size(), QSize(size, size));
    EXPECT_TRUE(themed.hasAlphaChannel());
    EXPECT_TRUE(themed.allGray());
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
        EXPECT_EQ(qAlpha(themed.pixel(corner)), 0) << corner.x() << "," << corner.y();

    // Compared at the smaller of the two sizes, so that only the resampling differs.
    const QImage window(kIcon);
    const int common = std::min(size, window.width());
    const auto scaled = [common](const QImage& image) {
        return image.scaled(common, common, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    EXPECT_LT(meanDifference(scaled(themed), scaled(window)), 6.0);
}

INSTANTIATE_TEST_SUITE_P(Resources, ThemedIcon, ::testing::Values(16, 24, 48, 64, 128, 256));

// The scalable icon draws each pixel of the window icon as a square of its grey, one path of
// "Mx yhWv1h-Wz" runs per grey; read back, it must give the window icon's pixels exactly.
TEST(ScalableIcon, DrawsTheWindowIconsPixels) {
    std::ifstream file(kThemedFolder + "duoptic.svg");
    ASSERT_TRUE(file) << kThemedFolder << "duoptic.svg";
    std::stringstream text;
    text << file.rdbuf();
    const std::string svg = text.str();
    ASSERT_NE(svg.find("viewBox=\"0 0 32 32\""), std::string::npos);

    QImage drawn(32, 32, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    const std::regex pathPattern("<path fill=\"#([0-9a-f]{6})\" d=\"([^\"]*)\"/>");
    const std::regex runPattern("M(\\d+) (\\d+)h(\\d+)v1h-(\\d+)z");
    int runs = 0;
    for (auto p = std::sregex_iterator(svg.begin(), svg.end(), pathPattern);
         p != std::sregex_iterator(); ++p) {
        const QRgb colour = 0xff000000u | std::stoul((*p)[1].str(), nullptr, 16);
        const std::string d = (*p)[2].str();
        for (auto r = std::sregex_iterator(d.begin(), d.end(), runPattern);
             r != std::sregex_iterator(); ++r, ++runs) {
            const int x = std::stoi((*r)[1]), y = std::stoi((*r)[2]), width = std::stoi((*r)[3]);
            ASSERT_EQ(width, std::stoi((*r)[4]));
            for (int i = 0; i < width; ++i)
                drawn.setPixel(x + i, y, colour);
        }
    }
    ASSERT_GT(runs, 0);
    const QImage window = QImage(kIcon).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(drawn.pixel(x, y), qAlpha(window.pixel(x, y)) ? window.pixel(x, y) : 0u)
                << x << "," << y;
}

} // namespace
} // namespace duoptic::resources
