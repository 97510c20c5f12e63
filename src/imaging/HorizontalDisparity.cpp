// Horizontal disparities are measured by matching small square patches of the left eye in the
// right one along the rows where the vertical alignment says they lie. Each patch is compared by
// normalised correlation, which two cameras' different exposures do not disturb: first on a copy
// a quarter the size, over a quarter of the picture's width each way, keeping only clear and
// unique peaks; then on the samples themselves within a few pixels of it, to a fraction of a
// pixel. Each match must also be found back from the right eye and agree with a neighbour: a
// texture seen by one eye only can match some part of the other by chance, but seldom both ways
// and the same as the patch beside it.
#include "imaging/HorizontalDisparity.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace duoptic {
namespace {

constexpr int kWorkingSize = 1000; // sampled pixels along the longer side, about
constexpr int kCoarse = 4;         // sampled pixels of a coarse pixel, each way
constexpr int kColumns = 32;       // patches across the picture
constexpr int kRows = 20;          // and down it
constexpr int kHalf = 8;           // a fine patch is 2 kHalf + 1 samples square
constexpr int kCoarseHalf = 4;     // a coarse patch, in coarse pixels
constexpr double kReach = 0.25;    // largest disparity looked for, of the width
constexpr int kFineReach = kCoarse + 1;

// A coarse peak counts when it correlates this well, clearly better than any other offset; the
// fine one when it correlates at least kMinCorrelation. Patches whose grey (red + 2 green + blue)
// varies less than kMinContrast, root mean square, are flat and not matched.
constexpr double kMinCoarseCorrelation = 0.5;
constexpr double kMinMargin = 0.1;
constexpr double kMinCorrelation = 0.8;
constexpr double kMinContrast = 4.0;
constexpr int kMinPoints = 24;
constexpr double kNeighbourSamples = 6.0; // how far neighbouring patches on one surface may differ
constexpr double kNearShare = 0.05;
constexpr double kFarShare = 0.95;

void checkCancel(const std::atomic<bool>* cancel) {
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
        throw DecodeCancelled();
    }
}

// A grey picture of floats, row after row.
class Grey {
public:
    Grey(int width, int height)
        : width_(width), height_(height), values_(std::size_t(width) * height) {}

    int width() const { return width_; }
    int height() const { return height_; }
    float& at(int x, int y) { return values_[std::size_t(y) * width_ + x]; }
    float at(int x, int y) const { return values_[std::size_t(y) * width_ + x]; }
    const float* row(int y) const { return values_.data() + std::size_t(y) * width_; }

    bool holds(int x, int y, int h) const {
        return x - h >= 0 && y - h >= 0 && x + h < width_ && y + h < height_;
    }

private:
    int width_;
    int height_;
    std::vector<float> values_;
};

// Samples every `step` rows, each the mean of `step` neighbouring pixels of its row: the
// horizontal detail the disparities need, at a pass over a step-th of the rows.
Grey sampled(const Raster& raster, int step, const std::atomic<bool>* cancel) {
    Grey out(raster.width() / step, raster.height() / step);
    std::array<int, 256> grey{};
    if (raster.format() == PixelFormat::Indexed8) {
        for (int i = 0; i < 256; ++i) {
            const std::uint32_t c = raster.palette()[std::size_t(i)];
            grey[std::size_t(i)] = int((c >> 16) & 0xFF) + 2 * int((c >> 8) & 0xFF) + int(c & 0xFF);
        }
    }
    for (int y = 0; y < out.height(); ++y) {
        if (y % 64 == 0) {
            checkCancel(cancel);
        }
        const std::uint8_t* row = raster.row(y * step + step / 2);
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(row);
        for (int x = 0; x < out.width(); ++x) {
            int sum = 0;
            for (int i = x * step; i < (x + 1) * step; ++i) {
                if (raster.format() == PixelFormat::Xrgb32) {
                    const std::uint32_t p = pixels[i];
                    sum += int((p >> 16) & 0xFF) + 2 * int((p >> 8) & 0xFF) + int(p & 0xFF);
                } else {
                    sum += grey[row[i]];
                }
            }
            out.at(x, y) = float(sum) / float(step);
        }
    }
    return out;
}

Grey shrunk(const Grey& fine) {
    Grey out(fine.width() / kCoarse, fine.height() / kCoarse);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            float sum = 0.0f;
            for (int j = 0; j < kCoarse; ++j) {
                for (int i = 0; i < kCoarse; ++i) {
                    sum += fine.at(x * kCoarse + i, y * kCoarse + j);
                }
            }
            out.at(x, y) = sum / float(kCoarse * kCoarse);
        }
    }
    return out;
}

// The detail of a picture: each value less the mean of the square of half-size `radius` about it
// (as far as the picture reaches). Without it the broad shading of a patch would correlate with
// any part of a similar slope. Running sums along the rows, then down the columns row by row.
Grey detailOf(const Grey& g, int radius) {
    const int width = g.width(), height = g.height();
    Grey across(width, height);
    for (int y = 0; y < height; ++y) {
        const float* in = g.row(y);
        double sum = 0.0;
        int from = 0, to = 0; // the values summed: [from, to)
        for (int x = 0; x < width; ++x) {
            for (; to < std::min(width, x + radius + 1); ++to) {
                sum += in[to];
            }
            for (; from < x - radius; ++from) {
                sum -= in[from];
            }
            across.at(x, y) = float(sum / (to - from));
        }
    }
    Grey out(width, height);
    std::vector<float> columns(std::size_t(width), 0.0f);
    int from = 0, to = 0; // the rows summed: [from, to)
    for (int y = 0; y < height; ++y) {
        for (; to < std::min(height, y + radius + 1); ++to) {
            const float* row = across.row(to);
            for (int x = 0; x < width; ++x) {
                columns[std::size_t(x)] += row[x];
            }
        }
        for (; from < y - radius; ++from) {
            const float* row = across.row(from);
            for (int x = 0; x < width; ++x) {
                columns[std::size_t(x)] -= row[x];
            }
        }
        const float scale = 1.0f / float(to - from);
        for (int x = 0; x < width; ++x) {
            out.at(x, y) = g.at(x, y) - columns[std::size_t(x)] * scale;
        }
    }
    return out;
}

// Sums over the square of half-size h about (x, y) of g, which must hold it: of the products
// with `weights` (as many, row after row), of the values and of their squares. In four lanes,
// so that the additions need not wait for one another. The detail has a mean near zero, so
// floats hold the sums closely enough.
struct Sums {
    double product = 0.0;
    double sum = 0.0;
    double squares = 0.0;
};

Sums sumsOver(const float* weights, const Grey& g, int x, int y, int h) {
    std::array<float, 4> p{}, s{}, q{};
    const int n = 2 * h + 1;
    for (int j = -h; j <= h; ++j, weights += n) {
        const float* row = g.row(y + j) + x - h;
        int i = 0;
        for (; i + 4 <= n; i += 4) {
            for (std::size_t l = 0; l < 4; ++l) {
                const float v = row[i + int(l)];
                p[l] += weights[i + int(l)] * v;
                s[l] += v;
                q[l] += v * v;
            }
        }
        for (; i < n; ++i) {
            p[0] += weights[i] * row[i];
            s[0] += row[i];
            q[0] += row[i] * row[i];
        }
    }
    const auto total = [](const std::array<float, 4>& a) {
        return double(a[0]) + a[1] + a[2] + a[3];
    };
    return {total(p), total(s), total(q)};
}

// The square of half-size h about (x, y) less its mean, scaled to unit length; false when flat.
bool normalisedPatch(const Grey& g, int x, int y, int h, std::vector<float>& out) {
    const int n = (2 * h + 1) * (2 * h + 1);
    out.assign(std::size_t(n), 0.0f);
    const Sums sums = sumsOver(out.data(), g, x, y, h);
    const double spread = sums.squares - sums.sum * sums.sum / n;
    if (!(spread > kMinContrast * kMinContrast * n)) {
        return false;
    }
    const double mean = sums.sum / n, scale = 1.0 / std::sqrt(spread);
    std::size_t k = 0;
    for (int j = -h; j <= h; ++j) {
        for (int i = -h; i <= h; ++i) {
            out[k++] = float((g.at(x + i, y + j) - mean) * scale);
        }
    }
    return true;
}

// Correlation of a normalised patch with the square about (x, y) of g, which must hold it.
double correlation(const std::vector<float>& patch, const Grey& g, int x, int y, int h) {
    const Sums sums = sumsOver(patch.data(), g, x, y, h);
    const double spread = sums.squares - sums.sum * sums.sum / double(patch.size());
    return spread > 1e-6 ? sums.product / std::sqrt(spread) : 0.0;
}

// One eye's detail at the samples and at a quarter of their size.
struct Eye {
    Grey fine;
    Grey coarse;
};

// The coarse offset of the coarse patch at (x, y) of one eye in the other, searched along the
// rows y + row - slack .. y + row + slack, when a clear and unique peak shows it.
struct CoarseMatch {
    int dx = 0;
    int row = 0;
};

bool matchCoarse(const Grey& from, const Grey& to, int x, int y, int row, int slack, int reach,
                 CoarseMatch& match) {
    std::vector<float> patch;
    if (!from.holds(x, y, kCoarseHalf) || !normalisedPatch(from, x, y, kCoarseHalf, patch)) {
        return false;
    }
    // The best correlation at each offset, whichever of the rows gave it.
    constexpr double kUnseen = -2.0; // no correlation is that low: the offset leaves the picture
    std::vector<double> best(std::size_t(2 * reach + 1), kUnseen);
    std::vector<int> bestRow(best.size(), 0);
    for (int r = row - slack; r <= row + slack; ++r) {
        for (int d = -reach; d <= reach; ++d) {
            if (to.holds(x + d, y + r, kCoarseHalf)) {
                const double c = correlation(patch, to, x + d, y + r, kCoarseHalf);
                if (c > best[std::size_t(d + reach)]) {
                    best[std::size_t(d + reach)] = c;
                    bestRow[std::size_t(d + reach)] = r;
                }
            }
        }
    }
    const auto peak = std::size_t(std::max_element(best.begin(), best.end()) - best.begin());
    if (best[peak] < kMinCoarseCorrelation || peak == 0 || peak + 1 == best.size() ||
        best[peak - 1] == kUnseen || best[peak + 1] == kUnseen) {
        return false; // weak, or at the end of the search: it may lie beyond
    }
    for (std::size_t d = 1; d + 1 < best.size(); ++d) {
        const bool other = d + 1 < peak || d > peak + 1;
        if (other && best[d] >= best[d - 1] && best[d] >= best[d + 1] &&
            best[d] > best[peak] - kMinMargin) {
            return false; // another offset fits almost as well: a repeated pattern
        }
    }
    match = {int(peak) - reach, bestRow[peak]};
    return true;
}

// Where the fine patch at (x, y) of one eye lies in the other, to a fraction of a sample
// across, searched near (x + dx, y + dy).
struct Found {
    double dx = 0.0;
    int dy = 0;
};

bool matchFine(const Grey& from, const Grey& to, int x, int y, int dx, int dy, int rows,
               Found& found) {
    std::vector<float> patch;
    if (!from.holds(x, y, kHalf) || !normalisedPatch(from, x, y, kHalf, patch)) {
        return false;
    }
    constexpr int kWidth = 2 * kFineReach + 1;
    std::vector<double> c(std::size_t(kWidth) * (2 * rows + 1), -2.0); // -2: off the picture
    std::size_t top = 0;
    for (int j = -rows; j <= rows; ++j) {
        for (int i = -kFineReach; i <= kFineReach; ++i) {
            const std::size_t k = std::size_t(j + rows) * kWidth + std::size_t(i + kFineReach);
            if (to.holds(x + dx + i, y + dy + j, kHalf)) {
                c[k] = correlation(patch, to, x + dx + i, y + dy + j, kHalf);
                top = c[k] > c[top] ? k : top;
            }
        }
    }
    const int column = int(top % kWidth);
    if (c[top] < kMinCorrelation || column == 0 || column == kWidth - 1 || c[top - 1] < -1.0 ||
        c[top + 1] < -1.0) {
        return false; // weak, or at the end of the search: it may lie beyond
    }
    const double curvature = c[top - 1] - 2 * c[top] + c[top + 1];
    const double fraction = curvature < 0 ? 0.5 * (c[top - 1] - c[top + 1]) / curvature : 0.0;
    found = {dx + column - kFineReach + fraction, dy + int(top / kWidth) - rows};
    return true;
}

// Where to look for a patch of one eye in the other: `down` samples lower, give or take `slack`
// coarse rows, and up to `reach` coarse pixels to either side.
struct Search {
    double down = 0.0;
    int slack = 0;
    int reach = 0;
};

// The patch at sample (x, y) of one eye in the other.
bool matchPatch(const Eye& from, const Eye& to, int x, int y, const Search& search, Found& found) {
    const double down = search.down;
    const int row = int(std::lround(down / kCoarse));
    CoarseMatch coarse;
    return matchCoarse(from.coarse, to.coarse, x / kCoarse, y / kCoarse, row, search.slack,
                       search.reach, coarse) &&
           matchFine(from.fine, to.fine, x, y, coarse.dx * kCoarse,
                     int(std::lround(down)) + (coarse.row - row) * kCoarse,
                     search.slack > 0 ? kCoarse / 2 : 1, found);
}

// A match found again from the other side: a patch of a texture seen in only one eye can match
// some part of the other by chance, but seldom the way back as well.
bool matchBothWays(const Eye& left, const Eye& right, int x, int y, const Search& search,
                   double& disparity) {
    Found there, back;
    if (!matchPatch(left, right, x, y, search, there)) {
        return false;
    }
    const int rx = x + int(std::lround(there.dx));
    if (!matchPatch(right, left, rx, y + there.dy, {-double(there.dy), 0, search.reach}, back) ||
        std::abs(rx + back.dx - x) > 1.0 || back.dy != -there.dy) {
        return false;
    }
    disparity = there.dx;
    return true;
}

// The value below which `share` of the sorted values lie, between neighbouring values.
double percentile(const std::vector<double>& sorted, double share) {
    const double at = share * double(sorted.size() - 1);
    const auto i = std::size_t(at);
    const double next = sorted[std::min(i + 1, sorted.size() - 1)];
    return sorted[i] + (next - sorted[i]) * (at - double(i));
}

std::optional<double> nearestOf(std::vector<double> values) {
    if (values.empty()) {
        return std::nullopt;
    }
    std::sort(values.begin(), values.end());
    return percentile(values, kNearShare);
}

// The percentiles of the points, over all of them and at each side edge; too few points are
// no measurement.
void summarise(DisparityEstimate& estimate) {
    std::vector<double> all, leftEdge, rightEdge;
    for (const DisparityPoint& point : estimate.points) {
        all.push_back(point.disparity);
        if (point.x < kEdgeShare * estimate.width) {
            leftEdge.push_back(point.disparity);
        } else if (point.x > (1.0 - kEdgeShare) * estimate.width) {
            rightEdge.push_back(point.disparity);
        }
    }
    if (int(all.size()) < kMinPoints) {
        estimate.points.clear();
        estimate.confident = false;
        return;
    }
    std::sort(all.begin(), all.end());
    estimate.confident = true;
    estimate.nearest = percentile(all, kNearShare);
    estimate.farthest = percentile(all, kFarShare);
    estimate.nearestAtLeftEdge = nearestOf(std::move(leftEdge));
    estimate.nearestAtRightEdge = nearestOf(std::move(rightEdge));
}

} // namespace

DisparityEstimate measureDisparity(const Raster& left, const Raster& right,
                                   const AlignmentEstimate& vertical,
                                   const std::atomic<bool>* cancel) {
    DisparityEstimate estimate;
    if (left.empty() || left.width() != right.width() || left.height() != right.height()) {
        return estimate;
    }
    estimate.width = left.width();
    estimate.height = left.height();
    const int step =
        std::max(1, int(std::lround(double(std::max(left.width(), left.height())) / kWorkingSize)));
    // Room for a coarse patch about every patch's centre, and some picture to search in.
    const int margin = (kCoarseHalf + 1) * kCoarse;
    if (left.width() / step < 4 * margin || left.height() / step < 4 * margin) {
        return estimate;
    }
    const auto eyeOf = [&](const Raster& raster) {
        const Grey samples = sampled(raster, step, cancel);
        return Eye{detailOf(samples, kHalf / 2), detailOf(shrunk(samples), kCoarseHalf / 2)};
    };
    const Eye leftEye = eyeOf(left);
    const Eye rightEye = eyeOf(right);
    const int reach = std::max(2, int(std::lround(kReach * leftEye.coarse.width())));

    // How far down the right eye shows what the left one shows at full-size column x.
    const double centreX = (left.width() - 1) / 2.0;
    const double slope =
        vertical.confident ? std::tan(vertical.rollDegrees * std::acos(-1.0) / 180.0) : 0.0;
    const double dy = vertical.confident ? vertical.dy : 0.0;
    const auto lower = [&](double x) { return -dy - slope * (x - centreX); };

    // The disparity of each patch of the grid, in samples, where it matched.
    std::vector<std::optional<double>> grid(std::size_t(kRows) * kColumns);
    const auto at = [&grid](int row, int column) -> std::optional<double>& {
        return grid[std::size_t(row) * kColumns + column];
    };
    const auto xOf = [&](int column) {
        return margin + (leftEye.fine.width() - 1 - 2 * margin) * column / (kColumns - 1);
    };
    const auto yOf = [&](int row) {
        return margin + (leftEye.fine.height() - 1 - 2 * margin) * row / (kRows - 1);
    };
    for (int row = 0; row < kRows; ++row) {
        checkCancel(cancel);
        for (int column = 0; column < kColumns; ++column) {
            const int x = xOf(column);
            double disparity = 0.0;
            // Unsure of the vertical offset, the search takes in a coarse row more each way.
            const Search search{lower(x * step) / step, vertical.confident ? 0 : 1, reach};
            if (matchBothWays(leftEye, rightEye, x, yOf(row), search, disparity)) {
                at(row, column) = disparity;
            }
        }
    }
    // Surfaces are wider than a patch: a match that no neighbour agrees with is taken for one by
    // chance.
    const auto supported = [&](int row, int column) {
        for (int j = std::max(0, row - 1); j <= std::min(kRows - 1, row + 1); ++j) {
            for (int i = std::max(0, column - 1); i <= std::min(kColumns - 1, column + 1); ++i) {
                if ((j != row || i != column) && at(j, i) &&
                    std::abs(*at(j, i) - *at(row, column)) <= kNeighbourSamples) {
                    return true;
                }
            }
        }
        return false;
    };
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            if (!at(row, column) || !supported(row, column)) {
                continue;
            }
            const double x = xOf(column) * step + (step - 1) / 2.0;
            const double y = yOf(row) * step + (step - 1) / 2.0;
            estimate.points.push_back(
                {float(x), float(y), float(*at(row, column) * step), float(y + lower(x))});
        }
    }
    summarise(estimate);
    return estimate;
}

DisparityEstimate turnedDisparity(const DisparityEstimate& measured, double rollDegrees) {
    if (rollDegrees == 0.0 || measured.points.empty()) {
        return measured;
    }
    DisparityEstimate turned = measured;
    const double angle = rollDegrees * std::acos(-1.0) / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    const double centreX = (measured.width - 1) / 2.0, centreY = (measured.height - 1) / 2.0;
    for (DisparityPoint& p : turned.points) {
        // Where the right eye's point lands across once the eye is turned about its centre.
        const double rightX = p.x + p.disparity;
        const double drawnX = centreX + (rightX - centreX) * c - (p.rightY - centreY) * s;
        p.disparity = float(drawnX - p.x);
    }
    summarise(turned);
    return turned;
}

} // namespace duoptic
