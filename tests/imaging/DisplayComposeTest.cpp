#include "imaging/DisplayCompose.h"
#include "NumberedPicture.h"
#include "imaging/Stretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace duoptic {
namespace {

constexpr std::uint32_t kFace = 0xFF3A5F0B; // never a pixel of the small numbered pictures

struct Canvas {
    Canvas(int w, int h) : width(w), height(h), pixels(std::size_t(w + 2) * h, 0xFF000001u) {}
    Frame frame() { return {pixels.data(), width, height, (width + 2) * 4}; }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * (width + 2) + x]; }
    int width, height;
    std::vector<std::uint32_t> pixels;
};

// An eye as a panel of its own would show it.
Canvas panel(EyeView eye, int w, int h) {
    Canvas c(w, h);
    composeRaster(*eye.raster, eye.source, kFace, c.pixels.data(), w, h, (w + 2) * 4);
    return c;
}

// The published least-squares matrices of E. Dubois (red-cyan, green-magenta, amber-blue), each
// row an output channel from the left eye's red, green, blue and then the right eye's.
using Matrix = std::array<std::array<double, 6>, 3>;
const Matrix kDubois[] = {{{{0.4561, 0.500484, 0.176381, -0.0434706, -0.0879388, -0.00155529},
                            {-0.0400822, -0.0378246, -0.0157589, 0.378476, 0.73364, -0.0184503},
                            {-0.0152161, -0.0205971, -0.00546856, -0.0721527, -0.112961, 1.2264}}},
                          {{{-0.062, -0.158, -0.039, 0.529, 0.705, 0.024},
                            {0.284, 0.668, 0.143, -0.016, -0.015, -0.065},
                            {-0.015, -0.027, 0.021, 0.009, 0.075, 0.937}}},
                          {{{1.062, -0.205, 0.299, -0.016, -0.123, -0.017},
                            {-0.026, 0.908, 0.068, 0.006, 0.062, -0.017},
                            {-0.038, -0.173, 0.022, 0.094, 0.185, 0.911}}}};

// Channel c (0 red, 1 green, 2 blue) of the anaglyph of a left and a right pixel, unrounded.
double anaglyphChannel(AnaglyphKind kind, std::uint32_t left, std::uint32_t right, int c) {
    double e[6];
    for (int k = 0; k < 3; ++k) {
        e[k] = left >> (16 - 8 * k) & 0xFF;
        e[3 + k] = right >> (16 - 8 * k) & 0xFF;
    }
    const double leftLuma = 0.299 * e[0] + 0.587 * e[1] + 0.114 * e[2];
    const double rightLuma = 0.299 * e[3] + 0.587 * e[4] + 0.114 * e[5];
    switch (kind) {
    case AnaglyphKind::RedCyanGrey:
        return c == 0 ? leftLuma : rightLuma;
    case AnaglyphKind::RedCyanHalfColour:
        return c == 0 ? leftLuma : e[3 + c];
    default:
        const Matrix& m = kDubois[int(kind)];
        double sum = 0;
        for (int k = 0; k < 6; ++k) {
            sum += m[c][k] * e[k];
        }
        return std::clamp(sum, 0.0, 255.0);
    }
}

void expectAnaglyph(AnaglyphKind kind, std::uint32_t left, std::uint32_t right, std::uint32_t got) {
    ASSERT_EQ(got >> 24, 0xFFu);
    for (int c = 0; c < 3; ++c) {
        const double want = anaglyphChannel(kind, left, right, c);
        ASSERT_LE(std::abs(double(got >> (16 - 8 * c) & 0xFF) - want), 1.0)
            << "kind " << int(kind) << " channel " << c << " of " << std::hex << left << " "
            << right;
    }
}

constexpr AnaglyphKind kKinds[] = {AnaglyphKind::RedCyanDubois, AnaglyphKind::GreenMagentaDubois,
                                   AnaglyphKind::AmberBlueDubois, AnaglyphKind::RedCyanGrey,
                                   AnaglyphKind::RedCyanHalfColour};

// Random pixel pairs at 1:1, the first 64 of them every pair of the colour cube's corners.
TEST(Anaglyph, FollowsThePublishedDefinitions) {
    std::mt19937 random(7);
    const auto corner = [](int k) {
        return 0xFF000000u | (k & 4 ? 0xFF0000u : 0) | (k & 2 ? 0xFF00u : 0) | (k & 1 ? 0xFFu : 0);
    };
    Raster eyes[2];
    for (int side = 0; side < 2; ++side) {
        auto p = std::make_shared<Picture>(PixelFormat::Xrgb32, 64, 64);
        for (int i = 0; i < 64 * 64; ++i) {
            reinterpret_cast<std::uint32_t*>(p->row(i / 64))[i % 64] =
                i < 64 ? corner(side == 0 ? i / 8 : i % 8) : 0xFF000000u | random();
        }
        eyes[side] = Raster::whole(std::move(p));
    }
    const Raster &left = eyes[0], &right = eyes[1];
    for (const AnaglyphKind kind : kKinds) {
        Canvas out(64, 64);
        composeAnaglyph(kind, {&left, {0, 0, 64, 64}}, {&right, {0, 0, 64, 64}}, kFace,
                        out.frame());
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                expectAnaglyph(kind, left.pixel(x, y), right.pixel(x, y), out.at(x, y));
            }
        }
    }
}

// Each mode shows at every pixel what the panel of the eye placed there shows, for rectangles
// that shrink, enlarge and reach beyond the rasters.
TEST(DisplayCompose, EveryModeShowsEachEyeAsItsPanelWould) {
    std::mt19937 random(11);
    const auto number = [&](int lo, int hi) {
        return std::uniform_int_distribution(lo, hi)(random);
    };
    const SplitHalves eyes = splitSideBySide(testing::numberedPicture(46, 19));
    for (int round = 0; round < 200; ++round) {
        const int w = number(1, 40), h = number(1, 40);
        const EyeView left{&eyes.left,
                           {number(-30, 30), number(-20, 20), number(1, 60), number(1, 40)}};
        const EyeView right{&eyes.right,
                            {number(-30, 30), number(-20, 20), number(1, 60), number(1, 40)}};
        const Canvas l = panel(left, w, h), r = panel(right, w, h);
        const Canvas lw = panel(left, w / 2, h), rw = panel(right, w - w / 2, h);
        const Canvas lh = panel(left, w, h / 2), rh = panel(right, w, h - h / 2);
        const int sx = number(-5, 5), sy = number(-5, 5);
        const AnaglyphKind kind = kKinds[round % 5];
        Canvas anaglyph(w, h), sbs(w, h), tb(w, h), rows(w, h), columns(w, h), mirror(w, h);
        composeAnaglyph(kind, left, right, kFace, anaglyph.frame());
        composeHalf(HalfLayout::SideBySide, left, right, kFace, sbs.frame());
        composeHalf(HalfLayout::TopBottom, left, right, kFace, tb.frame());
        composeInterlaced(InterlaceAxis::Rows, left, right, sx, sy, kFace, rows.frame());
        composeInterlaced(InterlaceAxis::Columns, left, right, sx, sy, kFace, columns.frame());
        composeMirrored(left, kFace, mirror.frame());
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                SCOPED_TRACE(::testing::Message() << "round " << round << " at " << x << "," << y);
                const bool evenRow = ((sy + y) % 2 + 2) % 2 == 0;
                const bool evenColumn = ((sx + x) % 2 + 2) % 2 == 0;
                ASSERT_EQ(sbs.at(x, y), x < w / 2 ? lw.at(x, y) : rw.at(x - w / 2, y));
                ASSERT_EQ(tb.at(x, y), y < h / 2 ? lh.at(x, y) : rh.at(x, y - h / 2));
                ASSERT_EQ(rows.at(x, y), (evenRow ? l : r).at(x, y));
                ASSERT_EQ(columns.at(x, y), (evenColumn ? l : r).at(x, y));
                ASSERT_EQ(mirror.at(x, y), l.at(w - 1 - x, y));
                if (l.at(x, y) == kFace && r.at(x, y) == kFace) {
                    ASSERT_EQ(anaglyph.at(x, y), kFace);
                } else {
                    expectAnaglyph(kind, l.at(x, y), r.at(x, y), anaglyph.at(x, y));
                }
            }
        }
    }
}

} // namespace
} // namespace duoptic
