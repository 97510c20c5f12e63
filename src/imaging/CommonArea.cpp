#include "imaging/CommonArea.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace duoptic {

namespace {

struct Point {
    double x;
    double y;
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
        cos_ = std::abs(u_.x);
        sin_ = std::abs(u_.y);
    }

    // An upright rectangle lies in a convex area when its corners do.
    bool holds(const Rect& r) const {
        if (r.width <= 0 || r.height <= 0 || r.left < 0 || r.top < 0 || r.left + r.width > width_ ||
            r.top + r.height > height_) {
            return false;
        }
        for (const int x : {r.left, r.left + r.width}) {
            for (const int y : {r.top, r.top + r.height}) {
                const double px = x - centre_.x;
                const double py = y - centre_.y;
                if (std::abs(u_.x * px + u_.y * py) > halfW_ ||
                    std::abs(v_.x * px + v_.y * py) > halfH_) {
                    return false;
                }
            }
        }
        return true;
    }

    // Where a rectangle of half sizes (a, b) may be centred: within the left picture, a box of
    // centres; within the turned right one, a turned box about its centre (halves p, q).
    struct Centres {
        double p;
        double q;
        double x0, x1, y0, y1;
    };
    Centres centres(double a, double b) const {
        return {halfW_ - cos_ * a - sin_ * b,
                halfH_ - sin_ * a - cos_ * b,
                a,
                width_ - a,
                b,
                height_ - b};
    }

    // Whether a rectangle of half sizes (a, b) fits somewhere: the two boxes of centres meet,
    // which for convex shapes holds when no axis of either separates them.
    bool fits(double a, double b) const {
        const Centres c = centres(a, b);
        if (c.p < 0 || c.q < 0 || c.x1 < c.x0 || c.y1 < c.y0) {
            return false;
        }
        const double hx = (c.x1 - c.x0) / 2;
        const double hy = (c.y1 - c.y0) / 2;
        const Point gap{(c.x0 + c.x1) / 2 - centre_.x, (c.y0 + c.y1) / 2 - centre_.y};
        return std::abs(gap.x) <= hx + cos_ * c.p + sin_ * c.q &&
               std::abs(gap.y) <= hy + sin_ * c.p + cos_ * c.q &&
               std::abs(u_.x * gap.x + u_.y * gap.y) <= c.p + cos_ * hx + sin_ * hy &&
               std::abs(v_.x * gap.x + v_.y * gap.y) <= c.q + sin_ * hx + cos_ * hy;
    }

    // A centre for half sizes that fit: the mean of the corners of the turned box clipped to
    // the upright one, which lies inside their common part.
    Point centreFor(double a, double b) const {
        const Centres c = centres(a, b);
        std::vector<Point> shape;
        for (const auto& [i, j] : {std::pair{1, 1}, {1, -1}, {-1, -1}, {-1, 1}}) {
            shape.push_back({centre_.x + i * c.p * u_.x + j * c.q * v_.x,
                             centre_.y + i * c.p * u_.y + j * c.q * v_.y});
        }
        clip(shape, true, c.x0, 1);
        clip(shape, true, c.x1, -1);
        clip(shape, false, c.y0, 1);
        clip(shape, false, c.y1, -1);
        if (shape.empty()) {
            return {std::clamp(centre_.x, c.x0, c.x1), std::clamp(centre_.y, c.y0, c.y1)};
        }
        Point mean{0, 0};
        for (const Point& p : shape) {
            mean.x += p.x / static_cast<double>(shape.size());
            mean.y += p.y / static_cast<double>(shape.size());
        }
        return mean;
    }

    double width() const { return width_; }
    double height() const { return height_; }

private:
    // Keeps the part of a convex polygon on the `side` (+1 above, -1 below) of the line x = at
    // (y = at when not vertical).
    static void clip(std::vector<Point>& shape, bool vertical, double at, double side) {
        const auto inside = [&](Point p) { return side * ((vertical ? p.x : p.y) - at); };
        std::vector<Point> kept;
        for (std::size_t i = 0; i < shape.size(); ++i) {
            const Point p = shape[i];
            const Point q = shape[(i + 1) % shape.size()];
            const double dp = inside(p);
            const double dq = inside(q);
            if (dp >= 0) {
                kept.push_back(p);
            }
            if ((dp < 0) != (dq < 0)) {
                const double t = dp / (dp - dq);
                const Point cut{p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)};
                kept.push_back(vertical ? Point{at, cut.y} : Point{cut.x, at});
            }
        }
        shape = std::move(kept);
    }

    int width_;
    int height_;
    double halfW_;
    double halfH_;
    Point centre_; // of the right picture, placed
    Point u_{1, 0};
    Point v_{0, 1};
    double cos_ = 1;
    double sin_ = 0;
};

// The largest value in [0, top] for which `ok` holds, `ok` holding for all below it.
template <typename Ok> double largest(double top, Ok ok) {
    double low = 0;
    double high = top;
    for (int step = 0; step < 60; ++step) {
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

// Moves each side out by whole pixels while the rectangle stays in both pictures.
void grow(const Overlap& overlap, Rect& r) {
    for (bool moved = true; moved;) {
        moved = false;
        for (const Rect& step :
             {Rect{-1, 0, 1, 0}, Rect{0, 0, 1, 0}, Rect{0, -1, 0, 1}, Rect{0, 0, 0, 1}}) {
            const Rect bigger{r.left + step.left, r.top + step.top, r.width + step.width,
                              r.height + step.height};
            if (overlap.holds(bigger)) {
                r = bigger;
                moved = true;
            }
        }
    }
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
    const double widest =
        largest(overlap.width() / 2, [&](double a) { return overlap.fits(a, 0); });
    const auto tallest = [&](double a) {
        return largest(overlap.height() / 2, [&](double b) { return overlap.fits(a, b); });
    };
    // The tallest fit for a width is concave in it (the fits form a convex set), so the area is
    // unimodal in the width.
    double low = 0;
    double high = widest;
    for (int step = 0; step < 100; ++step) {
        const double a = low + (high - low) / 3;
        const double b = high - (high - low) / 3;
        if (a * tallest(a) < b * tallest(b)) {
            low = a;
        } else {
            high = b;
        }
    }
    const double a = (low + high) / 2;
    const double b = tallest(a);
    const Point centre = overlap.centreFor(a, b);
    Rect r{static_cast<int>(std::ceil(centre.x - a)), static_cast<int>(std::ceil(centre.y - b)), 0,
           0};
    r.width = static_cast<int>(std::floor(centre.x + a)) - r.left;
    r.height = static_cast<int>(std::floor(centre.y + b)) - r.top;
    // Rounding may leave a corner a hair outside: shrink until it is inside, then grow back.
    while (r.width > 0 && r.height > 0 && !overlap.holds(r)) {
        r = {r.left + 1, r.top + 1, r.width - 2, r.height - 2};
    }
    if (r.width <= 0 || r.height <= 0) {
        return {};
    }
    grow(overlap, r);
    return r;
}

} // namespace duoptic
