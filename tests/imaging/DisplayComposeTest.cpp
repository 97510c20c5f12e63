#include "imaging/DisplayCompose.h"
#include "NumberedPicture.h"
#include "imaging/Stretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace duoptic {
namespace {

constexpr std::uint32_t kFace = 0xFF3A5F0B; // never a pixel of the small numbered pictures

// A frame with a padded stride; given an eye, what that eye's own panel shows.
struct Canvas {
    Canvas(int w, int h, const EyeView* eye = nullptr)
        : w(w), h(h), pixels(std::size_t(w + 2) * h, 1) {
        if (eye != nullptr) {
            composeEye(*eye, kFace, frame());
        }
    }
    Frame frame() { return {pixels.data(), w, h, (w + 2) * 4}; }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * (w + 2) + x]; }
    int w, h;
    std::vector<std::uint32_t> pixels;
};

// E. Dubois' published least-squares matrices (red-cyan, green-magenta, amber-blue): each row an
// output channel from the left eye's red, green and blue, then the right eye's.
const double kDubois[3][3][6] = {
    {{0.4561, 0.500484, 0.176381, -0.0434706, -0.0879388, -0.00155529},
     {-0.0400822, -0.0378246, -0.0157589, 0.378476, 0.73364, -0.0184503},
     {-0.0152161, -0.0205971, -0.00546856, -0.0721527, -0.112961, 1.2264}},
    {{-0.062, -0.158, -0.039, 0.529, 0.705, 0.024},
     {0.284, 0.668, 0.143, -0.016, -0.015, -0.065},
     {-0.015, -0.027, 0.021, 0.009, 0.075, 0.937}},
    {{1.062, -0.205, 0.299, -0.016, -0.123, -0.017},
     {-0.026, 0.908, 0.068, 0.006, 0.062, -0.017},
     {-0.038, -0.173, 0.022, 0.094, 0.185, 0.911}}};

// Expects got to be the anaglyph of the two pixels within a level; grey is Rec. 601 luma.
void expectAnaglyph(AnaglyphKind kind, std::uint32_t left, std::uint32_t right, std::uint32_t got) {
    double e[6]; // red, green and blue of the left eye, then of the right
    for (int k = 0; k < 6; ++k) {
        e[k] = (k < 3 ? left : right) >> (16 - 8 * (k % 3)) & 0xFF;
    }
    const auto luma = [&](int o) { return 0.299 * e[o] + 0.587 * e[o + 1] + 0.114 * e[o + 2]; };
    ASSERT_EQ(got >> 24, 0xFFu);
    for (int c = 0; c < 3; ++c) {
        double want = kind == AnaglyphKind::RedCyanGrey         ? luma(c == 0 ? 0 : 3)
                      : kind == AnaglyphKind::RedCyanHalfColour ? (c == 0 ? luma(0) : e[3 + c])
                                                                : 0;
        for (int k = 0; k < 6 && int(kind) < 3; ++k) {
            want += kDubois[int(kind)][c][k] * e[k];
        }
        ASSERT_NEAR(double(got >> (16 - 8 * c) & 0xFF), std::clamp(want, 0.0, 255.0), 1.0)
            << int(kind) << ": " << std::hex << left << " " << right;
    }
}

constexpr int kKinds = int(AnaglyphKind::RedCyanHalfColour) + 1;

// Random pixel pairs at 1:1, the first 64 of them every pair of the colour cube's corners.
TEST(Anaglyph, FollowsThePublishedDefinitions) {
    std::mt19937 random(7);
    Raster eyes[2];
    for (int side = 0; side < 2; ++side) {
        auto p = std::make_shared<Picture>(PixelFormat::Xrgb32, 4096, 1);
        for (int i = 0; i < 4096; ++i) {
            const unsigned k = side == 0 ? i / 8 : i % 8;
            reinterpret_cast<std::uint32_t*>(p->row(0))[i] =
                0xFF000000u |
                (i < 64 ? (k & 4) * 0x3FC000u | (k & 2) * 0x7F80u | (k & 1) * 0xFFu : random());
        }
        eyes[side] = Raster::whole(std::move(p));
    }
    for (int kind = 0; kind < kKinds; ++kind) {
        Canvas out(4096, 1);
        composeAnaglyph(AnaglyphKind(kind), {&eyes[0], {0, 0, 4096, 1}},
                        {&eyes[1], {0, 0, 4096, 1}}, kFace, out.frame());
        for (int i = 0; i < 4096; ++i) {
            expectAnaglyph(AnaglyphKind(kind), eyes[0].pixel(i, 0), eyes[1].pixel(i, 0),
                           out.at(i, 0));
        }
    }
}

// Each mode shows at every pixel what the panel of the eye placed there shows, for rectangles
// that shrink, enlarge and reach beyond the rasters, at screen positions left of and above 0 too.
TEST(DisplayCompose, EveryModeShowsEachEyeAsItsPanelWould) {
    std::mt19937 random(11);
    const auto number = [&](int lo, int hi) {
        return std::uniform_int_distribution(lo, hi)(random);
    };
    const SplitHalves eyes = splitSideBySide(testing::numberedPicture(46, 19));
    auto indexed = std::make_shared<Picture>(PixelFormat::Indexed8, 23, 19); // as grey JPEGs decode
    for (int i = 0; i < 23 * 19; ++i) {
        indexed->palette()[std::size_t(i % 256)] = 0xFF000000u | std::uint32_t(i % 256) * 0x10101u;
        indexed->row(i / 23)[i % 23] = std::uint8_t(i * 7);
    }
    const Raster grey = Raster::whole(indexed);
    for (int round = 0; round < 200; ++round) {
        const int w = number(1, 40), h = number(1, 40), sx = number(-5, 5), sy = number(-5, 5);
        const auto rect = [&] {
            return Rect{number(-10, 20), number(-10, 15), number(1, 40), number(1, 30)};
        };
        const EyeView left{round % 3 == 1 ? &grey : &eyes.left, rect()};
        EyeView right{&eyes.right, rect(), round % 4 == 3 ? number(-40, 40) / 4.0 : 0.0};
        if (round % 2 == 0) { // both eyes at one scale, one shifted against the other
            right.source = {left.source.left + number(-3, 3), right.source.top, left.source.width,
                            right.source.height};
        }
        const Canvas l(w, h, &left), r(w, h, &right), lw(w / 2, h, &left), rw(w - w / 2, h, &right);
        const Canvas lh(w, h / 2, &left), rh(w, h - h / 2, &right);
        const AnaglyphKind kind = AnaglyphKind(round % kKinds);
        Canvas anaglyph(w, h), sbs(w, h), tb(w, h), rows(w, h), columns(w, h), mirror(w, h);
        composeAnaglyph(kind, left, right, kFace, anaglyph.frame());
        composeHalf(HalfLayout::SideBySide, left, right, kFace, sbs.frame());
        composeHalf(HalfLayout::TopBottom, left, right, kFace, tb.frame());
        composeInterlaced(InterlaceAxis::Rows, left, right, sx, sy, kFace, rows.frame());
        composeInterlaced(InterlaceAxis::Columns, left, right, sx, sy, kFace, columns.frame());
        composeMirrored(left, kFace, mirror.frame());
        // The same in two bands that meet at any row: together they make the whole.
        Canvas banded[3] = {Canvas(w, h), Canvas(w, h), Canvas(w, h)};
        const int cut = number(0, h);
        for (const RowBand band : {RowBand{cut, h}, RowBand{0, cut}}) { // the lower band first
            composeAnaglyph(kind, left, right, kFace, banded[0].frame(), band);
            composeInterlaced(InterlaceAxis::Rows, left, right, sx, sy, kFace, banded[1].frame(),
                              band);
            composeInterlaced(InterlaceAxis::Columns, left, right, sx, sy, kFace, banded[2].frame(),
                              band);
        }
        ASSERT_EQ(banded[0].pixels, anaglyph.pixels) << round;
        ASSERT_EQ(banded[1].pixels, rows.pixels) << round;
        ASSERT_EQ(banded[2].pixels, columns.pixels) << round;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                SCOPED_TRACE(::testing::Message() << round << ": " << x << "," << y);
                ASSERT_EQ(sbs.at(x, y), x < w / 2 ? lw.at(x, y) : rw.at(x - w / 2, y));
                ASSERT_EQ(tb.at(x, y), y < h / 2 ? lh.at(x, y) : rh.at(x, y - h / 2));
                ASSERT_EQ(rows.at(x, y), ((sy + y) % 2 + 2) % 2 == 0 ? l.at(x, y) : r.at(x, y));
                ASSERT_EQ(columns.at(x, y), ((sx + x) % 2 + 2) % 2 == 0 ? l.at(x, y) : r.at(x, y));
                ASSERT_EQ(mirror.at(x, y), l.at(w - 1 - x, y));
                const bool neither = l.at(x, y) == kFace && r.at(x, y) == kFace;
                ASSERT_TRUE(!neither || anaglyph.at(x, y) == kFace);
                if (!neither) {
                    expectAnaglyph(kind, l.at(x, y), r.at(x, y), anaglyph.at(x, y));
                }
            }
        }
    }
}

// A turned eye's pixels land where the turn about the raster's centre puts them: each destination
// pixel shows the raster pixel under the point that the turn back brings under its centre.
TEST(DisplayCompose, ATurnedEyeShowsThePixelsTheTurnBringsUnderEachCentre) {
    const Raster raster = Raster::whole(testing::numberedPicture(60, 40));
    struct Row {
        double roll;
        Rect source;
        int w, h;
    };
    for (const Row row :
         {Row{1, {0, 0, 60, 40}, 60, 40}, Row{-2.5, {10, 5, 20, 15}, 57, 43},
          Row{0.3, {-30, -20, 120, 80}, 31, 29}, Row{35, {-5, 3, 70, 41}, 64, 37}}) {
        Canvas out(row.w, row.h);
        composeEye({&raster, row.source, row.roll}, kFace, out.frame());
        const double a = row.roll * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
        for (int y = 0; y < row.h; ++y) {
            for (int x = 0; x < row.w; ++x) {
                const double u = row.source.left + (x + 0.5) * row.source.width / row.w - 30;
                const double v = row.source.top + (y + 0.5) * row.source.height / row.h - 20;
                const double qx = c * u + s * v + 30, qy = -s * u + c * v + 20;
                const auto onEdge = [](double q) { return std::abs(q - std::round(q)) < 1e-6; };
                if (onEdge(qx) || onEdge(qy)) {
                    continue; // a centre on a pixel's edge may go either way
                }
                const bool inside = qx >= 0 && qx < 60 && qy >= 0 && qy < 40;
                EXPECT_EQ(out.at(x, y), inside ? raster.pixel(int(qx), int(qy)) : kFace)
                    << row.roll << " at " << x << "," << y;
            }
        }
    }
}

} // namespace
} // namespace duoptic
