#include "imaging/CommonArea.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace duoptic {
namespace {

struct Case {
    PictureSize left, right;
    RightEyePlace place;
};

// From the definition: every pixel corner of the rectangle lies in the left picture and, with
// the shift taken off and turned back about the right picture's centre, in the right one.
bool inBoth(const Case& c, const Rect& r) {
    const double t = c.place.rollDegrees * std::numbers::pi / 180, cx = c.right.width / 2.0,
                 cy = c.right.height / 2.0;
    const auto in = [](double v, int size) { return v >= -1e-9 && v <= size + 1e-9; };
    bool all = true;
    for (int y = r.top; all && y <= r.top + r.height; ++y) {
        for (int x = r.left; all && x <= r.left + r.width; ++x) {
            const double wx = x - c.place.dx - cx, wy = y - c.place.dy - cy;
            all = in(x, c.left.width) && in(y, c.left.height) &&
                  in(std::cos(t) * wx + std::sin(t) * wy + cx, c.right.width) &&
                  in(-std::sin(t) * wx + std::cos(t) * wy + cy, c.right.height);
        }
    }
    return all;
}

constexpr Case kCases[] = {
    {{640, 480}, {600, 500}, {17, -9, 0}},  {{640, 480}, {640, 480}, {-30, 12, 1.5}},
    {{500, 500}, {400, 300}, {40, 60, 90}}, {{640, 480}, {640, 480}, {9, -7, 180}},
    {{28, 30}, {30, 22}, {-3, 2, -15}},     {{5, 24}, {31, 13}, {0, 0, -27.6}}};

// In both eyes, no side can move out, and none larger where every rectangle can be tried.
TEST(CommonRectangle, IsTheLargestInBothEyes) {
    for (const Case& c : kCases) {
        const Rect r = commonRectangle(c.left, c.right, c.place);
        EXPECT_TRUE(inBoth(c, r) && r.width > 0) << c.place.dx << " " << c.place.rollDegrees;
        for (const auto& [l, t, w, h] :
             {std::array{-1, 0, 1, 0}, {0, -1, 0, 1}, {0, 0, 1, 0}, {0, 0, 0, 1}}) {
            EXPECT_FALSE(inBoth(c, {r.left + l, r.top + t, r.width + w, r.height + h}));
        }
        int largest = 0, n = c.left.width, m = c.left.height;
        for (int i = 0; n * m < 1000 && i < n * m * n * m; ++i) { // x0, y0, x1 - 1, y1 - 1
            const Rect tried{i % n, i / n % m, i / (n * m) % n + 1 - i % n,
                             i / (n * m * n) + 1 - i / n % m};
            const int area = tried.width > 0 && tried.height > 0 ? tried.width * tried.height : 0;
            largest = area > largest && inBoth(c, tried) ? area : largest;
        }
        EXPECT_GE(r.width * r.height, largest) << c.place.dx << " " << c.place.rollDegrees;
    }
}

} // namespace
} // namespace duoptic
