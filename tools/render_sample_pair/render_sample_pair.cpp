// Renders the sample stereo pair that the viewer shows before anything is loaded: an ammonite
// lying on a limestone slab, seen by two parallel cameras a short horizontal base apart. Both
// views are ray-cast through the same height field, so the parallax is horizontal and true.
//
// Usage: render_sample_pair OUTPUT_FOLDER   (writes sample_left.jpg and sample_right.jpg)

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio> // before jpeglib.h, which uses FILE and size_t
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 623;
constexpr int kHeight = 648;
constexpr int kSuper = 2; // samples per pixel along each axis
constexpr int kQuality = 90;
constexpr double kTwoPi = 6.283185307179586;

// Scene units are about 10 cm; z is up and the slab lies near z = 0.
constexpr double kExtent = 1.8; // the height grid covers [-kExtent, kExtent] on x and y
constexpr int kGrid = 2048;
constexpr double kCell = 2 * kExtent / kGrid;
constexpr double kMaxHeight = 0.25; // no surface point is higher (rays start here)
constexpr double kMinHeight = -0.08;

// Camera: looks down at the slab, tilted a little so the far edge is at the top of the image.
constexpr double kDistance = 4.0;   // from the convergence point, the centre of the slab
constexpr double kTilt = 0.14;      // radians away from straight down
constexpr double kViewWidth = 2.35; // slab width seen at the convergence distance
constexpr double kBase = 0.7;       // stereo base; the slab centre gets zero disparity

// The ammonite: a logarithmic spiral whose whorls grow by kExpansion per turn.
constexpr double kShellX = 0.04, kShellY = 0.06;
constexpr double kShellRadius = 0.62;
constexpr double kShellTurn = 2.2;             // where the aperture lies
constexpr double kExpansion = 1.72;            // whorl radius ratio per turn
constexpr double kThickness = 0.21;            // whorl height per unit of radius
constexpr double kFirstWhorl = -5.5 * kTwoPi;  // spiral angle of the innermost whorl
constexpr double kBodyChamber = -0.8 * kTwoPi; // sutures stop where the living chamber starts
const double kGrowth = std::log(kExpansion) / kTwoPi;

struct Vec {
    double x, y, z;
    Vec operator+(Vec b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vec operator-(Vec b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vec operator*(double s) const { return {x * s, y * s, z * s}; }
    Vec operator*(Vec b) const { return {x * b.x, y * b.y, z * b.z}; } // per channel
};
double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec normalized(Vec a) {
    return a * (1.0 / std::sqrt(dot(a, a)));
}

double smoothstep(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Integer hash: the same scene on every machine, with no library random generator involved.
uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9e3779b9u ^ static_cast<uint32_t>(x) * 0x85ebca6bu ^
                 static_cast<uint32_t>(y) * 0xc2b2ae35u;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    return h ^ (h >> 16);
}
double unitHash(int x, int y, uint32_t seed) {
    return hash(x, y, seed) / 4294967296.0;
}

// Gradient noise in about [-0.7, 0.7].
double noise(double x, double y, uint32_t seed) {
    static const double kDirs[8][2] = {{1, 0},  {0.707, 0.707},   {0, 1},  {-0.707, 0.707},
                                       {-1, 0}, {-0.707, -0.707}, {0, -1}, {0.707, -0.707}};
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    auto corner = [&](int cx, int cy) {
        const double* g = kDirs[hash(ix + cx, iy + cy, seed) & 7];
        return g[0] * (fx - cx) + g[1] * (fy - cy);
    };
    const double ux = fx * fx * fx * (fx * (fx * 6 - 15) + 10);
    const double uy = fy * fy * fy * (fy * (fy * 6 - 15) + 10);
    const double a = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * ux;
    const double b = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * ux;
    return a + (b - a) * uy;
}

double fbm(double x, double y, int octaves, uint32_t seed) {
    double sum = 0, amplitude = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * noise(x, y, seed + i);
        x = x * 2.03 + 17.1;
        y = y * 2.03 - 9.7;
        amplitude *= 0.5;
    }
    return sum;
}

// Cracks run where a warped noise field crosses zero, only where a second field allows them.
double crackDepth(double x, double y) {
    const double wx = x + 0.15 * fbm(x * 3, y * 3, 3, 40), wy = y + 0.15 * fbm(x * 3, y * 3, 3, 41);
    const double line = 1 - std::min(1.0, std::abs(noise(wx * 0.9, wy * 0.9, 42)) / 0.006);
    return line * line * smoothstep(0.05, 0.25, noise(x * 0.6 + 3, y * 0.6, 43));
}

// Small grains and pebbles set into the limestone, one chance per cell of a jittered grid.
struct Pebble {
    double height = -1;
    uint32_t id = 0;
};
Pebble pebbleAt(double x, double y) {
    constexpr double kSize = 0.09;
    Pebble best;
    const int cx = static_cast<int>(std::floor(x / kSize)),
              cy = static_cast<int>(std::floor(y / kSize));
    for (int j = cy - 1; j <= cy + 1; ++j) {
        for (int i = cx - 1; i <= cx + 1; ++i) {
            if (unitHash(i, j, 50) > 0.22)
                continue;
            const double px = (i + unitHash(i, j, 51)) * kSize,
                         py = (j + unitHash(i, j, 52)) * kSize;
            const double radius = 0.005 + 0.03 * std::pow(unitHash(i, j, 53), 3);
            const double angle = unitHash(i, j, 54) * kTwoPi,
                         squash = 0.55 + 0.45 * unitHash(i, j, 55);
            const double dx = x - px, dy = y - py;
            const double u = (dx * std::cos(angle) + dy * std::sin(angle)) / radius;
            const double v = (dy * std::cos(angle) - dx * std::sin(angle)) / (radius * squash);
            const double d2 = u * u + v * v;
            if (d2 >= 1)
                continue;
            const double h = 0.3 * radius * std::sqrt(1 - d2) - 0.1 * radius;
            if (h > best.height)
                best = {h, hash(i, j, 56)};
        }
    }
    return best;
}

double stoneHeight(double x, double y) {
    double h = 0.03 * fbm(x * 0.8, y * 0.8, 3, 10) + 0.008 * fbm(x * 5, y * 5, 5, 20) +
               0.0025 * fbm(x * 45, y * 45, 3, 30);
    // Layers of the slab flaking off leave low steps.
    h += 0.014 * smoothstep(0.12, 0.2, fbm(x * 0.7 + 1.3, y * 0.7, 4, 35));
    h -= 0.004 * smoothstep(0.25, 0.5, noise(x * 160, y * 160, 36)); // pores
    h -= 0.012 * crackDepth(x, y);
    return std::max(h, pebbleAt(x, y).height);
}

// Where a point falls on the spiral: u runs across a whorl from the umbilical seam (0) to the
// venter (1); phi is the spiral angle of that whorl's venter, 0 at the aperture.
struct ShellPoint {
    bool on = false;
    double height = 0;
    double u = 0;
    double phi = 0;
};
// Ribs cross each whorl with a forward swing, about 34 to a turn, a little irregular.
double ribPhase(const ShellPoint& p) {
    return 34 * p.phi + 2.2 * p.u * p.u + 0.5 * noise(p.phi * 3, 0.5, 62);
}

ShellPoint shellAt(double x, double y) {
    ShellPoint p;
    const double dx = x - kShellX, dy = y - kShellY;
    const double r = std::max(1e-6, std::hypot(dx, dy));
    const double theta = std::atan2(dy, dx) + kShellTurn;
    const double s = std::log(r / kShellRadius) / kGrowth;
    const double phiIn = theta + std::floor((s - theta) / kTwoPi) * kTwoPi;
    p.u = (s - phiIn) / kTwoPi;
    p.phi = phiIn + kTwoPi;
    if (p.phi > 0.25 * fbm(p.u * 1.5, 0.3, 2, 61) || p.phi < kFirstWhorl)
        return p; // beyond the broken aperture, or the matrix-filled centre
    p.on = true;
    // The body chamber sank into the mud towards the aperture.
    const double thickness = kThickness * kShellRadius * std::exp(kGrowth * p.phi) *
                             (0.6 + 0.4 * smoothstep(0, 2.5, -p.phi));
    const double across = 2 * p.u - 1;
    const double round = std::sqrt(std::max(0.0, 1 - across * across));
    // Whorls rest on their neighbours, so only the outermost venter comes down to the stone.
    const bool outermost = p.phi + kTwoPi > 0 && p.u > 0.5;
    const double floorLevel = outermost ? 0.0 : 0.4;
    double profile = floorLevel + (1 - floorLevel) * std::pow(round, 0.7);
    const double rib = std::pow(0.5 + 0.5 * std::cos(ribPhase(p)), 3);
    profile += 0.16 * rib * std::sqrt(round) * smoothstep(kFirstWhorl, kFirstWhorl + 3, p.phi);
    p.height = thickness * profile - 0.01 + 0.002 * fbm(x * 40, y * 40, 3, 60);
    return p;
}

double sceneHeight(double x, double y) {
    const double stone = stoneHeight(x, y);
    const ShellPoint shell = shellAt(x, y);
    if (!shell.on)
        return stone;
    // A smooth maximum leaves a fillet of matrix around the shell, as if it were embedded.
    constexpr double kBlend = 0.008;
    const double h = std::clamp(0.5 + 0.5 * (shell.height - stone) / kBlend, 0.0, 1.0);
    return stone + (shell.height - stone) * h + kBlend * h * (1 - h);
}

struct HeightGrid {
    std::vector<float> cells = std::vector<float>(static_cast<size_t>(kGrid) * kGrid);
    float& at(int i, int j) { return cells[static_cast<size_t>(j) * kGrid + i]; }
    double sample(double x, double y) const {
        const double gx = std::clamp((x + kExtent) / kCell - 0.5, 0.0, kGrid - 1.001);
        const double gy = std::clamp((y + kExtent) / kCell - 0.5, 0.0, kGrid - 1.001);
        const int i = static_cast<int>(gx), j = static_cast<int>(gy);
        const double fx = gx - i, fy = gy - j;
        const float* c = &cells[static_cast<size_t>(j) * kGrid + i];
        const double a = c[0] + (c[1] - c[0]) * fx, b = c[kGrid] + (c[kGrid + 1] - c[kGrid]) * fx;
        return a + (b - a) * fy;
    }
};

HeightGrid buildHeights() {
    HeightGrid grid;
    for (int j = 0; j < kGrid; ++j)
        for (int i = 0; i < kGrid; ++i)
            grid.at(i, j) = static_cast<float>(
                sceneHeight(-kExtent + (i + 0.5) * kCell, -kExtent + (j + 0.5) * kCell));
    return grid;
}

// Separable box blur, run twice: the local mean height that ambient occlusion compares with.
HeightGrid blurred(const HeightGrid& source, int radius) {
    HeightGrid out = source;
    std::vector<float> line(kGrid);
    for (int pass = 0; pass < 4; ++pass) {
        for (int j = 0; j < kGrid; ++j) {
            const bool rows = pass % 2 == 0;
            auto ref = [&](int k) -> float& { return rows ? out.at(k, j) : out.at(j, k); };
            double sum = 0;
            for (int k = -radius; k <= radius; ++k)
                sum += ref(std::clamp(k, 0, kGrid - 1));
            for (int k = 0; k < kGrid; ++k) {
                line[k] = static_cast<float>(sum / (2 * radius + 1));
                sum += ref(std::min(k + radius + 1, kGrid - 1)) - ref(std::max(k - radius, 0));
            }
            for (int k = 0; k < kGrid; ++k)
                ref(k) = line[k];
        }
    }
    return out;
}

Vec srgbToLinear(double r, double g, double b) {
    return {std::pow(r, 2.2), std::pow(g, 2.2), std::pow(b, 2.2)};
}

Vec shellColour(double x, double y, const ShellPoint& p) {
    const double stain = smoothstep(-0.3, 0.4, fbm(x * 3, y * 3, 5, 70));
    Vec c = srgbToLinear(0.66, 0.53, 0.38) +
            (srgbToLinear(0.45, 0.32, 0.22) - srgbToLinear(0.66, 0.53, 0.38)) * stain;
    c = c * (0.92 + 0.16 * fbm(x * 30, y * 30, 3, 71));
    // Worn rib crests show the paler calcite beneath.
    const double crest = std::pow(0.5 + 0.5 * std::cos(ribPhase(p)), 6);
    c = c + (srgbToLinear(0.80, 0.72, 0.60) - c) * (0.45 * crest);
    // Suture lines of the chamber walls, frilled, on the phragmocone only.
    const double wobble = 0.07 * std::sin(p.u * 19) + 0.04 * std::sin(p.u * 53 + 1);
    const double suture = std::abs(std::remainder(11 * p.phi / kTwoPi + wobble, 1.0));
    if (p.phi < kBodyChamber)
        c = c * (1 - 0.4 * (1 - smoothstep(0.012, 0.03, suture)));
    return c;
}

Vec stoneColour(double x, double y) {
    // Pale limestone, yellowed by iron where water stood, with a fine sand-like grain.
    const double stain = 0.7 * smoothstep(0.0, 0.6, fbm(x * 1.5 + 5, y * 1.5, 5, 84));
    Vec c = srgbToLinear(0.74, 0.72, 0.68) +
            (srgbToLinear(0.76, 0.66, 0.52) - srgbToLinear(0.74, 0.72, 0.68)) * stain;
    c = c * (0.9 + 0.2 * fbm(x * 4, y * 4, 5, 80));
    c = c * (0.86 + 0.28 * unitHash(static_cast<int>(std::floor(x * 300)),
                                    static_cast<int>(std::floor(y * 300)), 81));
    if (unitHash(static_cast<int>(std::floor(x * 250)), static_cast<int>(std::floor(y * 250)), 82) >
        0.99)
        c = c * 0.5; // dark flecks of iron
    c = c * (1 - 0.55 * crackDepth(x, y));
    const Pebble pebble = pebbleAt(x, y);
    if (pebble.height >= stoneHeight(x, y) - 1e-9) {
        static const Vec kPebbles[4] = {
            srgbToLinear(0.60, 0.58, 0.55), srgbToLinear(0.72, 0.62, 0.50),
            srgbToLinear(0.84, 0.82, 0.78), srgbToLinear(0.50, 0.47, 0.43)};
        c = kPebbles[pebble.id % 4] * (0.85 + 0.3 * fbm(x * 60, y * 60, 2, 83));
    }
    return c;
}

struct Scene {
    HeightGrid height, nearMean, farMean;
};

// Marches a ray down through the height slab and returns the ray parameter of the hit. Every
// camera ray points downwards (dir.z < 0): tilt plus half the field of view is far below 90
// degrees.
double intersect(const Scene& scene, Vec origin, Vec dir) {
    double t = (kMaxHeight - origin.z) / dir.z;
    const double tEnd = (kMinHeight - origin.z) / dir.z;
    const double step =
        std::min(0.6 * kCell / std::max(1e-9, std::hypot(dir.x, dir.y)), 0.002 / -dir.z);
    double previous = t;
    for (; t < tEnd; previous = t, t += step) {
        const Vec p = origin + dir * t;
        if (p.z <= scene.height.sample(p.x, p.y))
            break;
    }
    for (int i = 0; i < 10; ++i) {
        const double mid = 0.5 * (previous + t);
        const Vec p = origin + dir * mid;
        (p.z <= scene.height.sample(p.x, p.y) ? t : previous) = mid;
    }
    return t;
}

// Penumbra estimate along the ray towards the light: the closer the ray grazes the surface
// relative to the distance travelled, the darker.
double softShadow(const Scene& scene, Vec p, Vec light) {
    double lit = 1, t = 0.004;
    while (t < 2.0) {
        const Vec q = p + light * t;
        if (q.z > kMaxHeight)
            break;
        const double clearance = q.z - scene.height.sample(q.x, q.y);
        lit = std::min(lit, 14 * clearance / t);
        if (lit <= 0)
            return 0;
        t += std::max(0.6 * kCell, 0.3 * clearance);
    }
    return smoothstep(0, 1, lit);
}

Vec shade(const Scene& scene, Vec p, Vec view) {
    const double e = kCell;
    const Vec n =
        normalized({scene.height.sample(p.x - e, p.y) - scene.height.sample(p.x + e, p.y),
                    scene.height.sample(p.x, p.y - e) - scene.height.sample(p.x, p.y + e), 2 * e});
    const ShellPoint shell = shellAt(p.x, p.y);
    const bool onShell = shell.on && shell.height >= stoneHeight(p.x, p.y);
    const Vec albedo = onShell ? shellColour(p.x, p.y, shell) : stoneColour(p.x, p.y);
    const Vec light = normalized({-0.6, 0.55, 0.58});
    const double diffuse = std::max(0.0, dot(n, light)) * softShadow(scene, p + n * 0.002, light);
    const double h = scene.height.sample(p.x, p.y);
    const double occlusion = std::clamp(1 - 9 * (scene.nearMean.sample(p.x, p.y) - h), 0.3, 1.0) *
                             std::clamp(1 - 2.5 * (scene.farMean.sample(p.x, p.y) - h), 0.5, 1.0);
    const Vec sky = Vec{0.30, 0.33, 0.38} * (occlusion * (0.6 + 0.4 * n.z));
    Vec colour = albedo * (Vec{2.0, 1.9, 1.72} * diffuse + sky);
    if (onShell) {
        const Vec half = normalized(light - view);
        colour =
            colour + Vec{1, 1, 1} * (0.10 * diffuse * std::pow(std::max(0.0, dot(n, half)), 40));
    }
    return colour;
}

struct Camera {
    Vec position, forward, right, up;
    double focal;     // pixels of the supersampled image
    double principal; // horizontal principal point shift, pixels
};

// side = -1 for the left eye, +1 for the right. The principal point is shifted rather than the
// camera turned, so both image planes stay parallel and the parallax stays horizontal.
Camera makeCamera(int side) {
    Camera c;
    c.forward = {0, std::sin(kTilt), -std::cos(kTilt)};
    c.right = {1, 0, 0};
    c.up = {0, std::cos(kTilt), std::sin(kTilt)};
    c.focal = kWidth * kSuper * kDistance / kViewWidth;
    c.position = c.forward * -kDistance + c.right * (side * kBase / 2);
    c.principal = -side * c.focal * kBase / (2 * kDistance);
    return c;
}

std::vector<Vec> render(const Scene& scene, const Camera& cam, double& minDisp, double& maxDisp) {
    constexpr int w = kWidth * kSuper, h = kHeight * kSuper;
    std::vector<Vec> image(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double u = x + 0.5 - w / 2.0 + cam.principal, v = h / 2.0 - y - 0.5;
            const Vec dir =
                normalized(cam.forward + cam.right * (u / cam.focal) + cam.up * (v / cam.focal));
            const double t = intersect(scene, cam.position, dir);
            const Vec p = cam.position + dir * t;
            image[static_cast<size_t>(y) * w + x] = shade(scene, p, dir);
            const double depth = dot(p - cam.position, cam.forward);
            const double disparity = cam.focal / kSuper * kBase * (1 / depth - 1 / kDistance);
            minDisp = std::min(minDisp, disparity);
            maxDisp = std::max(maxDisp, disparity);
        }
    }
    return image;
}

// Averages the samples, then adds what a camera adds: lens fall-off, tone curve and grain.
std::vector<unsigned char> develop(const std::vector<Vec>& image, uint32_t grainSeed) {
    std::vector<unsigned char> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            Vec sum{0, 0, 0};
            for (int sy = 0; sy < kSuper; ++sy)
                for (int sx = 0; sx < kSuper; ++sx)
                    sum = sum + image[static_cast<size_t>(y * kSuper + sy) * kWidth * kSuper +
                                      x * kSuper + sx];
            const double dx = (x - kWidth / 2.0) / kWidth, dy = (y - kHeight / 2.0) / kWidth;
            const double vignette = 1 - 0.5 * (dx * dx + dy * dy);
            const double grain = 0.018 * (unitHash(x, y, grainSeed) - 0.5);
            const double c[3] = {sum.x, sum.y, sum.z};
            for (int k = 0; k < 3; ++k) {
                const double exposed = 1 - std::exp(-1.6 * c[k] / (kSuper * kSuper) * vignette);
                const double out = std::pow(exposed, 1 / 2.2) + grain;
                rgb[(static_cast<size_t>(y) * kWidth + x) * 3 + k] =
                    static_cast<unsigned char>(std::clamp(std::lround(out * 255), 0L, 255L));
            }
        }
    }
    return rgb;
}

bool writeJpeg(const std::string& path, const std::vector<unsigned char>& rgb) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = kWidth;
    info.image_height = kHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kQuality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(&rgb[info.next_scanline * kWidth * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    Scene scene;
    scene.height = buildHeights();
    scene.nearMean = blurred(scene.height, 10);
    scene.farMean = blurred(scene.height, 50);
    const struct {
        int side;
        const char* name;
    } views[] = {{-1, "sample_left.jpg"}, {1, "sample_right.jpg"}};
    for (const auto& view : views) {
        double minDisp = 1e9, maxDisp = -1e9;
        const std::vector<Vec> image = render(scene, makeCamera(view.side), minDisp, maxDisp);
        const std::string path = std::string(argv[1]) + "/" + view.name;
        if (!writeJpeg(path, develop(image, 90 + view.side))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: disparity %.1f to %.1f px\n", path.c_str(), minDisp, maxDisp);
    }
    return 0;
}
