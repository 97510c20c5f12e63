#include "imaging/CommonArea.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace duoptic {

namespace {

// Far below a pixel, far above the rounding of the turn's sine and cosine.
constexpr double kSlack = 1e-9;

struct Point {
    double x;
    double y;
};

// A convex polygon: a quadrilateral cut by four lines has at most eight corners.
struct Polygon {
    std::array<Point, 8> corners;
    std::size_t size = 0;

    bool empty() const { return size == 0; }
    const Point& operator[](std::size_t i) const { return corners[i]; }
    void add(Point p) { corners[size++] = p; }
};

// Both pictures in the left one's coordinates, pixel (x, y) covering [x, x + 1) x [y, y + 1).
class Overlap {
public:
    Overlap(PictureSize left, PictureSize right, const RightEyePlace& place)
        : width_(left.width), height_(left.height), halfW_(right.width / 2.0),
          halfH_(right.height / 2.0), centre_{halfW_ + place.dx, halfH_ + place.dy} {
        const double turn = place.rollDegrees * std::numbers::pi / 180.0;
        u_ = {std::cos(turn), std::sin(turn)}; // the right picture's x axis once turned
        v_ = {-u_.y, u_.x};                    // and its y axis
    }

    // An upright rectangle lies in a convex area when its corners do.
    bool holds(const Rect& r) const {
        if (r.left < 0 || r.top < 0 || r.left + r.width > width_ || r.top + r.height > height_) {
            return false;
        }
        for (const int x : {r.left, r.left + r.width}) {
            for (const int y : {r.top, r.top + r.height}) {
                const Point d{x - centre_.x, y - centre_.y};
                if (std::abs(u_.x * d.x + u_.y * d.y) > halfW_ + kSlack ||
                    std::abs(v_.x * d.x + v_.y * d.y) > halfH_ + kSlack) {
                    return false;
                }
            }
        }
        return true;
    }

    // Where a rectangle of half sizes (a, b) may be centred, a convex polygon (empty: nowhere):
    // in the turned right picture, a box turned alike about its centre, cut to the upright box
    // of centres that the left picture allows.
    Polygon centres(double a, double b) const {
        const double p = halfW_ - std::abs(u_.x) * a - std::abs(u_.y) * b;
        const double q = halfH_ - std::abs(u_.y) * a - std::abs(u_.x) * b;
        if (p < -kSlack || q < -kSlack) {
            return {};
        }
        Polygon shape;
        for (const auto& [i, j] : {std::pair{1, 1}, {1, -1}, {-1, -1}, {-1, 1}}) {
            shape.add(
                {centre_.x + i * p * u_.x + j * q * v_.x, centre_.y + i * p * u_.y + j * q * v_.y});
        }
        clip(shape, true, a, 1);
        clip(shape, true, width_ - a, -1);
        clip(shape, false, b, 1);
        clip(shape, false, height_ - b, -1);
        return shape;
    }

    // A w x h rectangle of whole pixels that holds, where there is one.
    std::optional<Rect> placed(int w, int h) const {
        const Polygon shape = centres(w / 2.0, h / 2.0);
        if (shape.empty()) {
            return std::nullopt;
        }
        const auto [low, high] =
            std::minmax_element(shape.corners.begin(), shape.corners.begin() + shape.size,
                                [](Point m, Point n) { return m.x < n.x; });
        for (int x0 = static_cast<int>(std::ceil(low->x - w / 2.0 - kSlack));
             x0 + w / 2.0 <= high->x + kSlack; ++x0) {
            // The polygon's extent on the vertical line of this centre.
            const double x = x0 + w / 2.0;
            double top = std::numeric_limits<double>::max();
            double bottom = std::numeric_limits<double>::lowest();
            for (std::size_t k = 0; k < shape.size; ++k) {
                const Point m = shape[k];
                const Point n = shape[(k + 1) % shape.size];
                if (std::min(m.x, n.x) - kSlack <= x && x <= std::max(m.x, n.x) + kSlack) {
                    const double t = m.x == n.x ? 0.0 : std::clamp((x - m.x) / (n.x - m.x), 0., 1.);
                    const double y = m.y + t * (n.y - m.y);
                    top = std::min({top, y, m.x == n.x ? n.y : y});
                    bottom = std::max({bottom, y, m.x == n.x ? n.y : y});
                }
            }
            for (int y0 = static_cast<int>(std::ceil(top - h / 2.0 - kSlack));
                 y0 + h / 2.0 <= bottom + kSlack; ++y0) {
                if (holds({x0, y0, w, h})) {
                    return Rect{x0, y0, w, h};
                }
            }
        }
        return std::nullopt;
    }

    int width() const { return width_; }
    int height() const { return height_; }

private:
    // Keeps the part of a convex polygon on the `side` (+1 above, -1 below) of the line x = at
    // (y = at when not vertical).
    static void clip(Polygon& shape, bool vertical, double at, double side) {
        const auto inside = [&](Point p) { return side * ((vertical ? p.x : p.y) - at) + kSlack; };
        Polygon kept;
        for (std::size_t i = 0; i < shape.size; ++i) {
            const Point p = shape[i];
            const Point q = shape[(i + 1) % shape.size];
            const double dp = inside(p);
            const double dq = inside(q);
            if (dp >= 0) {
                kept.add(p);
            }
            if ((dp < 0) != (dq < 0)) {
                const double t = dp / (dp - dq);
                kept.add({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
            }
        }
        shape = kept;
    }

    int width_;
    int height_;
    double halfW_;
    double halfH_;
    Point centre_; // of the right picture, placed
    Point u_{1, 0};
    Point v_{0, 1};
};

// The largest value in [0, top] for which `ok` holds, `ok` holding for all below it.
template <typename Ok> double largest(double top, Ok ok) {
    double low = 0;
    double high = top;
    for (int step = 0; step < 42; ++step) {
        const double middle = (low + high) / 2;
        (ok(middle) ? low : high) = middle;
    }
    return low;
}

Rect upright(PictureSize left, PictureSize right, int dx, int dy) {
    const int x0 = std::max(dx, 0);
    const int y0 = std::max(dy, 0);
    const int x1 = std::min(left.width, dx + right.width);
    const int y1 = std::min(left.height, dy + right.height);
    if (x1 <= x0 || y1 <= y0) {
        return {};
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

} // namespace

Rect commonRectangle(PictureSize left, PictureSize right, const RightEyePlace& place) {
    if (left.width <= 0 || left.height <= 0 || right.width <= 0 || right.height <= 0) {
        return {};
    }
    // Turned by a multiple of half a turn, the right picture covers what it did unturned.
    if (!std::isfinite(place.rollDegrees) || std::fmod(place.rollDegrees, 180.0) == 0.0) {
        return upright(left, right, place.dx, place.dy);
    }
    const Overlap overlap(left, right, place);
    const auto fits = [&](double a, double b) { return !overlap.centres(a, b).empty(); };
    // The tallest fit of a width, twice the half sizes. The fits form a convex set (linear
    // bounds on the centre and the half sizes), so it is concave and width x tallest unimodal.
    const auto tallest = [&](double w) {
        return 2 * largest(overlap.height() / 2.0, [&](double b) { return fits(w / 2, b); });
    };
    const double widest = 2 * largest(overlap.width() / 2.0, [&](double a) { return fits(a, 0); });
    double low = 0;
    double high = widest;
    for (int step = 0; step < 60; ++step) {
        const double a = low + (high - low) / 3;
        const double b = high - (high - low) / 3;
        if (a * tallest(a) < b * tallest(b)) {
            low = a;
        } else {
            high = b;
        }
    }
    // Whole pixels: widths outwards from the best one while their bound can still beat the
    // best rectangle found, each with the tallest height that has a place.
    Rect best{};
    const auto tryWidth = [&](int w) {
        const double h0 = tallest(w);
        for (int h = static_cast<int>(std::floor(h0 + kSlack));
             h > 0 && w * h > best.width * best.height; --h) {
            if (const std::optional<Rect> r = overlap.placed(w, h)) {
                best = *r;
            }
        }
        return w * h0 > best.width * best.height;
    };
    // The bound falls away from the best width on either side.
    const int above = std::max(static_cast<int>(std::ceil((low + high) / 2)), 1);
    for (int w = above; w <= widest + kSlack && tryWidth(w); ++w) {
    }
    for (int w = above - 1; w > 0 && tryWidth(w); --w) {
    }
    return best;
}

} // namespace duoptic
