#include "NumberedPicture.h"
#include "imaging/Anaglyph.h"
#include "imaging/Stretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace duoptic {
namespace {

// Pixel for pixel (each pixel of the eyes a different one), the anaglyph mixes what each eye's own
// panel shows, or is the background where neither shows anything: for rows shrunk a little and a
// lot, enlarged, shifted against each other and cut by the raster's edges, wide enough for every
// way the pixels are fetched.
TEST(Anaglyph, MixesWhatEachEyesPanelShows) {
    constexpr std::uint32_t kFace = 0xFF3A5F0B;
    std::mt19937 random(5);
    const auto number = [&](int lo, int hi) {
        return std::uniform_int_distribution(lo, hi)(random);
    };
    const SplitHalves eyes = splitSideBySide(testing::numberedPicture(2400, 6));
    for (int round = 0; round < 400; ++round) {
        const int w = number(1, 300), h = number(1, 4);
        const auto width = [&] { return std::max(1, w * number(2, 60) / 10 + number(-2, 2)); };
        const Rect l{number(-30, 200), number(-2, 3), width(), number(1, 6)};
        const Rect r{l.left + number(-40, 40), l.top + number(-1, 1),
                     round % 4 == 0 ? width() : l.width, l.height};
        const auto kind = AnaglyphKind(round % (int(AnaglyphKind::RedCyanHalfColour) + 1));
        std::vector<std::uint32_t> lp(std::size_t(w) * h), rp(lp.size()), out(lp.size());
        composeRaster(eyes.left, l, kFace, lp.data(), w, h, w * 4);
        composeRaster(eyes.right, r, kFace, rp.data(), w, h, w * 4);
        composeAnaglyph(kind, {&eyes.left, l}, {&eyes.right, r}, kFace, {out.data(), w, h, w * 4});
        for (std::size_t i = 0; i < out.size(); ++i) {
            std::uint32_t want = kFace;
            if (lp[i] != kFace || rp[i] != kFace) {
                mixAnaglyph(kind, &lp[i], &rp[i], &want, 1);
            }
            ASSERT_EQ(out[i], want) << round << ": pixel " << i;
        }
    }
}

} // namespace
} // namespace duoptic
