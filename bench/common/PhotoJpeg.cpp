#include "PhotoJpeg.h"

#include "JpegWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace duoptic::bench {

namespace {

struct Circle {
    double cx, cy, radius; // fractions of the view's width and height
    std::uint8_t r, g, b;
    double depth; // fraction of the width by which the right eye sees it shifted
};

const Circle kCircles[] = {
    {0.30, 0.40, 0.18, 190, 60, 40, 0.010},  {0.65, 0.55, 0.22, 50, 140, 70, 0.004},
    {0.50, 0.80, 0.10, 230, 210, 90, 0.015}, {0.82, 0.25, 0.08, 40, 70, 180, 0.002},
    {0.15, 0.75, 0.12, 120, 90, 160, 0.008},
};

class Scene {
public:
    Scene(int viewWidth, int height) : viewWidth_(viewWidth), height_(height) {}

    // One eye's view of row y into out, 3 bytes (R, G, B) a pixel.
    void fillView(int y, bool rightEye, std::uint8_t* out) {
        const double v = double(y) / height_;
        for (int x = 0; x < viewWidth_; ++x) {
            const double u = double(x) / viewWidth_;
            double r = 120 + 70 * u + 30 * v, g = 100 + 60 * v, b = 160 - 80 * u * v;
            for (const Circle& c : kCircles) {
                const double dx = (u - c.cx - (rightEye ? c.depth : 0)) * viewWidth_;
                const double dy = (v - c.cy) * height_;
                const double rr = c.radius * height_;
                if (dx * dx + dy * dy < rr * rr) {
                    const double shade = 0.75 + 0.25 * (dy / rr);
                    r = c.r * shade, g = c.g * shade, b = c.b * shade;
                }
            }
            out[3 * x] = grain(r);
            out[3 * x + 1] = grain(g);
            out[3 * x + 2] = grain(b);
        }
    }

private:
    std::uint8_t grain(double value) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        const double noisy = value + double(int(state_ & 31) - 16) * 1.1;
        return static_cast<std::uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, noisy))));
    }

    int viewWidth_;
    int height_;
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

std::uint8_t scaled(std::uint8_t value, double factor) {
    return static_cast<std::uint8_t>(std::lround(std::fmin(255.0, value * factor)));
}

} // namespace

std::vector<std::uint8_t> photoJpeg(const PhotoOptions& o) {
    const int view = o.sideBySide ? o.width / 2 : o.width;
    Scene scene(view, o.height);
    std::vector<std::uint8_t> rgb(3 * static_cast<std::size_t>(o.width));
    const bool tinted = o.red != 1.0 || o.green != 1.0 || o.blue != 1.0;
    const testing::JpegOptions jpeg{o.width, o.height,
                                    o.grey ? testing::JpegKind::Grey : testing::JpegKind::Colour,
                                    o.quality, o.progressive};
    return testing::writeJpeg(jpeg, [&](int y, std::uint8_t* row) {
        std::uint8_t* out = o.grey ? rgb.data() : row;
        scene.fillView(y, o.sideBySide ? false : o.rightEye, out);
        if (o.sideBySide) {
            scene.fillView(y, true, out + 3 * view);
        }
        for (int x = 0; tinted && x < o.width; ++x) {
            out[3 * x] = scaled(out[3 * x], o.red);
            out[3 * x + 1] = scaled(out[3 * x + 1], o.green);
            out[3 * x + 2] = scaled(out[3 * x + 2], o.blue);
        }
        for (int x = 0; o.grey && x < o.width; ++x) {
            const std::uint8_t* p = rgb.data() + 3 * x;
            row[x] = static_cast<std::uint8_t>((77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8);
        }
    });
}

void fillPhotoXrgb(int width, int height, std::uint32_t* pixels, std::ptrdiff_t strideBytes) {
    Scene scene(width, height);
    std::vector<std::uint8_t> rgb(3 * static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        scene.fillView(y, false, rgb.data());
        auto* out = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(pixels) +
                                                     y * strideBytes);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = rgb.data() + 3 * x;
            out[x] = 0xFF000000u | std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
        }
    }
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

} // namespace duoptic::bench
