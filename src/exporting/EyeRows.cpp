#include "exporting/EyeRows.h"

#include "imaging/Anaglyph.h"

#include <cstring>
#include <vector>

namespace duoptic {

namespace {

// The mean of two pixels, channel by channel, rounded half up.
std::uint32_t mean(std::uint32_t a, std::uint32_t b) {
    // Per-byte sums cannot carry into the next byte once halved: (a & b) + ((a ^ b) >> 1) is the
    // floor; the rounding adds the lost low bit.
    const std::uint32_t floor = (a & b) + (((a ^ b) & 0xFEFEFEFEu) >> 1);
    return floor + ((a ^ b) & 0x01010101u);
}

} // namespace

void eyeRow(const EyePixels& eye, int y, std::uint32_t* out) {
    const Raster& raster = *eye.raster;
    const std::uint8_t* row = raster.row(eye.rect.top + y);
    if (raster.format() == PixelFormat::Xrgb32) {
        std::memcpy(out, row + 4 * static_cast<std::size_t>(eye.rect.left),
                    4 * static_cast<std::size_t>(eye.rect.width));
        return;
    }
    const Picture::Palette& palette = raster.palette();
    for (int x = 0; x < eye.rect.width; ++x) {
        out[x] = palette[row[eye.rect.left + x]];
    }
}

RowSource oneEye(EyePixels eye) {
    return {eye.rect.width, eye.rect.height,
            [eye](int y, std::uint32_t* out) { eyeRow(eye, y, out); }};
}

RowSource sideBySide(EyePixels first, EyePixels second) {
    return {first.rect.width + second.rect.width, first.rect.height,
            [first, second](int y, std::uint32_t* out) {
                eyeRow(first, y, out);
                eyeRow(second, y, out + first.rect.width);
            }};
}

RowSource anaglyph(AnaglyphKind kind, EyePixels left, EyePixels right) {
    const int width = left.rect.width;
    return {width, left.rect.height,
            [kind, left, right, l = std::vector<std::uint32_t>(width),
             r = std::vector<std::uint32_t>(width)](int y, std::uint32_t* out) mutable {
                eyeRow(left, y, l.data());
                eyeRow(right, y, r.data());
                mixAnaglyph(kind, l.data(), r.data(), out, static_cast<int>(l.size()));
            }};
}

RowSource halfSideBySide(EyePixels left, EyePixels right) {
    const int half = left.rect.width / 2;
    return {2 * half, left.rect.height,
            [left, right, half,
             row = std::vector<std::uint32_t>(left.rect.width)](int y, std::uint32_t* out) mutable {
                for (const EyePixels& eye : {left, right}) {
                    eyeRow(eye, y, row.data());
                    for (int x = 0; x < half; ++x) {
                        out[x] = mean(row[2 * x], row[2 * x + 1]);
                    }
                    out += half;
                }
            }};
}

RowSource halfTopBottom(EyePixels left, EyePixels right) {
    const int half = left.rect.height / 2;
    const int width = left.rect.width;
    return {width, 2 * half,
            [left, right, half, a = std::vector<std::uint32_t>(width),
             b = std::vector<std::uint32_t>(width)](int y, std::uint32_t* out) mutable {
                const EyePixels& eye = y < half ? left : right;
                const int row = 2 * (y % half);
                eyeRow(eye, row, a.data());
                eyeRow(eye, row + 1, b.data());
                for (std::size_t x = 0; x < a.size(); ++x) {
                    out[x] = mean(a[x], b[x]);
                }
            }};
}

} // namespace duoptic
