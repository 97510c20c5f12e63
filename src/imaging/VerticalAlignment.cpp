// The vertical offset between two eyes is measured on row profiles: the sums of grey along the
// rows of a narrow strip of columns. Moving a picture up or down moves its profiles by as much,
// while the horizontal offsets that differ with depth only exchange a few columns at the strip's
// edges, and a search over where the strip lies in the right eye finds the part that saw the same
// things. Each strip of each band of rows of the left eye gives one offset where its profile
// matches clearly; a straight line through these offsets across the picture, fitted with the
// outliers left out, gives the offset at the centre and, from its slope, the roll. This needs no
// corners or features to be found, costs a few passes over a sampled copy, and holds up on
// pictures whose detail is texture rather than corners.
#include "imaging/VerticalAlignment.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace duoptic {
namespace {

constexpr int kWorkingSize = 1500;     // sampled pixels along the longer side, about
constexpr int kCells = 96;             // bands of columns across the picture, a profile each
constexpr int kStripCells = 8;         // a strip's width: a twelfth of the picture's width
constexpr int kLeftStripStep = 4;      // cells between the strips measured in the left eye
constexpr int kParallaxStep = 2;       // cells between the right eye's strips compared with one
constexpr int kMaxParallaxCells = 32;  // how far to the side the right eye's strip may lie: a third
constexpr int kBands = 5;              // of rows, each a third of the picture's height, overlapping
constexpr int kCoarse = 4;             // rows summed into one for the first, wide search
constexpr double kSearchHeight = 0.06; // largest offset looked for, of the picture's height

// A strip matches when its profile correlates at least this well with the right eye's, and
// clearly better there than at any other offset.
constexpr double kMinCorrelation = 0.7;
constexpr double kMinMargin = 0.1;
// The fit: at least this many strips and half of those that matched, covering at least this
// share of the width, within the residual allowed.
constexpr int kMinMatches = 6;
constexpr double kMinSpread = 0.4;
constexpr double kMaxResidual = 1.0; // full-size pixels, or half a sampled row if that is more

void checkCancel(const std::atomic<bool>* cancel) {
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
        throw DecodeCancelled();
    }
}

// Which pixels are sampled: rows and columns every `step`, in kCells cells of `cellWidth`
// sampled columns, centred across the picture.
struct Grid {
    int step = 1;
    int cellWidth = 1;
    int firstColumn = 0;
    int rows = 0;
};

Grid gridFor(int width, int height) {
    Grid g;
    g.step = std::max(1, int(std::lround(double(std::max(width, height)) / kWorkingSize)));
    g.cellWidth = width / g.step / kCells;
    const int used = (kCells * g.cellWidth - 1) * g.step + 1;
    g.firstColumn = (width - used) / 2;
    g.rows = height / g.step;
    return g;
}

// Profiles of equal length, one after the other, with prefix sums of their values and squares
// for the mean and spread of any window.
class Profiles {
public:
    Profiles(int count, int length)
        : count_(count), length_(length), values_(std::size_t(count) * length),
          sums_(std::size_t(count) * (length + 1)), squares_(sums_.size()) {}

    int count() const { return count_; }
    int length() const { return length_; }
    float* operator[](int k) { return values_.data() + std::size_t(k) * length_; }
    const float* operator[](int k) const { return values_.data() + std::size_t(k) * length_; }

    void sumUp() {
        for (int k = 0; k < count_; ++k) {
            const float* v = (*this)[k];
            double* s = sums_.data() + std::size_t(k) * (length_ + 1);
            double* q = squares_.data() + std::size_t(k) * (length_ + 1);
            s[0] = q[0] = 0.0;
            for (int y = 0; y < length_; ++y) {
                s[y + 1] = s[y] + v[y];
                q[y + 1] = q[y] + double(v[y]) * v[y];
            }
        }
    }

    // Sum of the squared differences from the mean of the window [start, start + n) of profile k.
    double spread(int k, int start, int n) const {
        const double* s = sums_.data() + std::size_t(k) * (length_ + 1);
        const double* q = squares_.data() + std::size_t(k) * (length_ + 1);
        const double sum = s[start + n] - s[start];
        return q[start + n] - q[start] - sum * sum / n;
    }

private:
    int count_;
    int length_;
    std::vector<float> values_;
    std::vector<double> sums_;
    std::vector<double> squares_;
};

// Grey (red + 2 green + blue) summed over each cell's sampled columns, row by row.
Profiles cellSums(const Raster& raster, const Grid& g, const std::atomic<bool>* cancel) {
    Profiles cells(kCells, g.rows);
    std::array<int, 256> grey{};
    if (raster.format() == PixelFormat::Indexed8) {
        for (int i = 0; i < 256; ++i) {
            const std::uint32_t c = raster.palette()[std::size_t(i)];
            grey[std::size_t(i)] = int((c >> 16) & 0xFF) + 2 * int((c >> 8) & 0xFF) + int(c & 0xFF);
        }
    }
    const int half = g.step / 2;
    for (int y = 0; y < g.rows; ++y) {
        if (y % 64 == 0) {
            checkCancel(cancel);
        }
        const std::uint8_t* row = raster.row(y * g.step + half);
        int x = g.firstColumn;
        for (int c = 0; c < kCells; ++c) {
            int sum = 0;
            if (raster.format() == PixelFormat::Xrgb32) {
                const auto* pixels = reinterpret_cast<const std::uint32_t*>(row);
                for (int i = 0; i < g.cellWidth; ++i, x += g.step) {
                    const std::uint32_t p = pixels[x];
                    sum += int((p >> 16) & 0xFF) + 2 * int((p >> 8) & 0xFF) + int(p & 0xFF);
                }
            } else {
                for (int i = 0; i < g.cellWidth; ++i, x += g.step) {
                    sum += grey[row[x]];
                }
            }
            cells[c][y] = float(sum);
        }
    }
    return cells;
}

// The vertical change of each strip's grey, from two rows above each row to two rows below it:
// what an offset moves, without the slow changes of brightness that differ between two cameras,
// and less noisy than the change between neighbouring rows. Strip k covers the cells k ..
// k + kStripCells - 1. Rows are summed in groups of `rows`; the first and last two have no change.
Profiles stripChanges(const Profiles& cells, int rows) {
    const int strips = kCells - kStripCells + 1;
    const int length = cells.length();
    Profiles out(strips, length / rows);
    std::vector<float> strip(static_cast<std::size_t>(length));
    for (int k = 0; k < strips; ++k) {
        std::fill(strip.begin(), strip.end(), 0.0f);
        for (int c = k; c < k + kStripCells; ++c) {
            for (int y = 0; y < length; ++y) {
                strip[std::size_t(y)] += cells[c][y];
            }
        }
        float* o = out[k];
        for (int y = 0; y < out.length(); ++y) {
            float sum = 0.0f;
            for (int i = y * rows; i < (y + 1) * rows; ++i) {
                if (i >= 2 && i + 2 < length) {
                    const auto at = [&](int r) { return strip[std::size_t(r)]; };
                    sum += at(i + 2) + at(i + 1) - at(i - 1) - at(i - 2);
                }
            }
            o[y] = sum;
        }
    }
    out.sumUp();
    return out;
}

// The window [start, start + n) of a profile less its mean, scaled to unit length; false when
// it is flat.
bool normalisedWindow(const Profiles& p, int k, int start, int n, std::vector<float>& out) {
    const double spread = p.spread(k, start, n);
    if (!(spread > 1e-6 * n)) {
        return false;
    }
    const float* v = p[k] + start;
    double mean = 0.0;
    for (int i = 0; i < n; ++i) {
        mean += v[i];
    }
    mean /= n;
    const double scale = 1.0 / std::sqrt(spread);
    out.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        out[std::size_t(i)] = float((v[i] - mean) * scale);
    }
    return true;
}

// Correlation of a normalised window with the window of profile k that starts at `start`.
double correlation(const std::vector<float>& window, const Profiles& p, int k, int start) {
    const int n = int(window.size());
    const float* v = p[k] + start;
    float a0 = 0, a1 = 0, a2 = 0, a3 = 0;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        a0 += window[std::size_t(i)] * v[i];
        a1 += window[std::size_t(i + 1)] * v[i + 1];
        a2 += window[std::size_t(i + 2)] * v[i + 2];
        a3 += window[std::size_t(i + 3)] * v[i + 3];
    }
    for (; i < n; ++i) {
        a0 += window[std::size_t(i)] * v[i];
    }
    const double spread = p.spread(k, start, n);
    return spread > 1e-6 * n ? double(a0 + a1 + a2 + a3) / std::sqrt(spread) : 0.0;
}

struct Offset {
    double x;     // of the strip's centre from the picture's centre, full-size pixels
    double shift; // how far down the right eye shows it, full-size pixels
};

struct Search {
    const Profiles& leftCoarse;
    const Profiles& rightCoarse;
    const Profiles& left;
    const Profiles& right;
    int reach; // largest offset looked for, in sampled rows, a multiple of kCoarse
};

// The offset of the left strip k over the rows [top, top + n) (multiples of kCoarse) in the right
// eye, in sampled rows, when it is clear.
bool matchStrip(const Search& s, int k, int top, int n, double& shift) {
    std::vector<float> window;
    if (!normalisedWindow(s.leftCoarse, k, top / kCoarse, n / kCoarse, window)) {
        return false;
    }
    // The best correlation at each coarse offset, whichever strip of the right eye gave it.
    const int reach = s.reach / kCoarse;
    std::vector<double> best(std::size_t(2 * reach + 1), -1.0);
    std::vector<int> bestStrip(best.size(), k);
    const int first = std::max(0, k - kMaxParallaxCells);
    const int last = std::min(s.right.count() - 1, k + kMaxParallaxCells);
    for (int r = first + (k - first) % kParallaxStep; r <= last; r += kParallaxStep) {
        for (int d = -reach; d <= reach; ++d) {
            const double c = correlation(window, s.rightCoarse, r, top / kCoarse + d);
            if (c > best[std::size_t(d + reach)]) {
                best[std::size_t(d + reach)] = c;
                bestStrip[std::size_t(d + reach)] = r;
            }
        }
    }
    const auto peak = std::max_element(best.begin(), best.end()) - best.begin();
    if (peak == 0 || peak == 2 * reach) {
        return false; // at the edge of the search: the offset may lie beyond
    }
    for (std::size_t d = 1; d + 1 < best.size(); ++d) {
        const bool other = d + 1 < std::size_t(peak) || d > std::size_t(peak) + 1;
        if (other && best[d] >= best[d - 1] && best[d] >= best[d + 1] &&
            best[d] > best[std::size_t(peak)] - kMinMargin) {
            return false; // another offset fits almost as well: a repeated pattern
        }
    }
    // Row by row around the coarse offset, in the right strips next to the one found.
    if (!normalisedWindow(s.left, k, top, n, window)) {
        return false;
    }
    const int centre = (int(peak) - reach) * kCoarse;
    const int from = centre - kCoarse - 1, to = centre + kCoarse + 1;
    double top1 = -1.0;
    int topStrip = 0, topShift = 0;
    const int strip = bestStrip[std::size_t(peak)];
    for (int r = std::max(0, strip - 1); r <= std::min(s.right.count() - 1, strip + 1); ++r) {
        for (int d = from; d <= to; ++d) {
            const double c = correlation(window, s.right, r, top + d);
            if (c > top1) {
                top1 = c, topStrip = r, topShift = d;
            }
        }
    }
    if (top1 < kMinCorrelation || topShift == from || topShift == to) {
        return false;
    }
    const double below = correlation(window, s.right, topStrip, top + topShift - 1);
    const double above = correlation(window, s.right, topStrip, top + topShift + 1);
    const double curvature = below - 2 * top1 + above;
    shift = topShift + (curvature < 0 ? 0.5 * (below - above) / curvature : 0.0);
    return true;
}

struct Line {
    double a = 0.0; // at x = 0
    double b = 0.0; // slope
};

double median(std::vector<double> v) {
    const auto mid = v.begin() + std::ptrdiff_t(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

struct Fit {
    Line line;
    int inliers = 0;
    double residual = 0.0;
    double spread = 0.0; // between the leftmost and the rightmost inlier
};

// A straight line through the offsets that the outliers do not pull: a start from the median of
// the slopes between pairs, then least squares over the offsets near the line, a few times. Near
// is three times their typical distance from the line, kept between the tolerance given and three
// times that, so that many outliers cannot widen it to take in their neighbours.
Fit fitLine(const std::vector<Offset>& offsets, double minTolerance) {
    Fit fit;
    if (offsets.size() < 2) {
        return fit;
    }
    std::vector<double> slopes;
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        for (std::size_t j = i + 1; j < offsets.size(); ++j) {
            const double dx = offsets[j].x - offsets[i].x;
            if (std::abs(dx) > 1e-9) {
                slopes.push_back((offsets[j].shift - offsets[i].shift) / dx);
            }
        }
    }
    if (slopes.empty()) {
        return fit;
    }
    Line line{0.0, median(slopes)};
    std::vector<double> rest;
    for (const Offset& o : offsets) {
        rest.push_back(o.shift - line.b * o.x);
    }
    line.a = median(rest);
    std::vector<bool> inlier(offsets.size());
    for (int round = 0; round < 5; ++round) {
        std::vector<double> deviation;
        for (const Offset& o : offsets) {
            deviation.push_back(std::abs(o.shift - line.a - line.b * o.x));
        }
        const double tolerance =
            std::clamp(3.0 * 1.4826 * median(deviation), minTolerance, 3.0 * minTolerance);
        double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            inlier[i] = deviation[i] <= tolerance;
            if (inlier[i]) {
                const Offset& o = offsets[i];
                n += 1, sx += o.x, sy += o.shift, sxx += o.x * o.x, sxy += o.x * o.shift;
            }
        }
        const double det = n * sxx - sx * sx;
        if (n < 2 || det <= 0) {
            return fit;
        }
        line.b = (n * sxy - sx * sy) / det;
        line.a = (sy - line.b * sx) / n;
    }
    fit.line = line;
    double squares = 0, minX = 0, maxX = 0;
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        if (inlier[i]) {
            const Offset& o = offsets[i];
            const double r = o.shift - line.a - line.b * o.x;
            squares += r * r;
            minX = fit.inliers == 0 ? o.x : std::min(minX, o.x);
            maxX = fit.inliers == 0 ? o.x : std::max(maxX, o.x);
            ++fit.inliers;
        }
    }
    fit.residual = fit.inliers > 0 ? std::sqrt(squares / fit.inliers) : 0.0;
    fit.spread = maxX - minX;
    return fit;
}

} // namespace

AlignmentEstimate measureAlignment(const Raster& left, const Raster& right,
                                   const std::atomic<bool>* cancel) {
    AlignmentEstimate estimate;
    if (left.empty() || left.width() != right.width() || left.height() != right.height()) {
        return estimate;
    }
    const Grid g = gridFor(left.width(), left.height());
    const int reach = std::max(2, int(std::lround(g.rows * kSearchHeight / kCoarse))) * kCoarse;
    // Bands of rows whose offsets can be looked for up to the reach and a little beyond, all
    // starting and ending on a multiple of kCoarse.
    const int margin = reach + 2 * kCoarse;
    const int usable = g.rows - 2 * margin;
    const int bandRows = usable / 3 / kCoarse * kCoarse;
    if (g.cellWidth < 1 || bandRows < 8 * kCoarse) {
        return estimate;
    }
    const Profiles leftCells = cellSums(left, g, cancel);
    const Profiles rightCells = cellSums(right, g, cancel);
    const Profiles leftCoarse = stripChanges(leftCells, kCoarse);
    const Profiles rightCoarse = stripChanges(rightCells, kCoarse);
    const Profiles leftFine = stripChanges(leftCells, 1);
    const Profiles rightFine = stripChanges(rightCells, 1);
    const Search search{leftCoarse, rightCoarse, leftFine, rightFine, reach};

    std::vector<Offset> offsets;
    const double centreX = (left.width() - 1) / 2.0;
    for (int k = 0; k + kStripCells <= kCells; k += kLeftStripStep) {
        checkCancel(cancel);
        const double stripCentre =
            g.firstColumn + ((k + kStripCells / 2.0) * g.cellWidth - 0.5) * g.step;
        for (int band = 0; band < kBands; ++band) {
            const int top =
                (margin + (usable - bandRows) * band / (kBands - 1)) / kCoarse * kCoarse;
            double shift = 0.0;
            if (matchStrip(search, k, top, bandRows, shift)) {
                offsets.push_back({stripCentre - centreX, shift * g.step});
            }
        }
    }
    const Fit fit = fitLine(offsets, 0.5 * g.step);
    estimate.matches = fit.inliers;
    estimate.residual = fit.residual;
    estimate.confident = fit.inliers >= kMinMatches && 2 * fit.inliers >= int(offsets.size()) &&
                         fit.spread >= kMinSpread * left.width() &&
                         fit.residual <= std::max(kMaxResidual, g.step / 2.0);
    if (estimate.confident) {
        estimate.dy = -fit.line.a;
        estimate.rollDegrees = -std::atan(fit.line.b) * 180.0 / std::numbers::pi;
    }
    return estimate;
}

} // namespace duoptic
