#include "imaging/DisplayCompose.h"

#include "imaging/Anaglyph.h"
#include "imaging/Stretch.h"
#include "imaging/TurnedStretch.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace duoptic {

namespace {

const Raster& rasterOf(const EyeView& eye) {
    static const Raster none;
    return eye.raster != nullptr ? *eye.raster : none;
}

StretchPlan planOf(const EyeView& eye, int width, int height) {
    return StretchPlan(rasterOf(eye), eye.source, width, height);
}

bool drawable(const Frame& frame) {
    return frame.pixels != nullptr && frame.width > 0 && frame.height > 0;
}

std::uint32_t* rowOf(const Frame& frame, int y) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(frame.pixels) +
                                            std::ptrdiff_t{y} * frame.strideBytes);
}

// The rows of `rows` that lie in the frame.
std::pair<int, int> clipped(RowBand rows, const Frame& frame) {
    return {std::max(rows.begin, 0), std::min(rows.end, frame.height)};
}

void copyRow(const Frame& frame, int from, int to) {
    std::memcpy(rowOf(frame, to), rowOf(frame, from), 4 * static_cast<std::size_t>(frame.width));
}

// Parity of a line of the screen, for positions left of or above its origin too.
bool isOddLine(std::int64_t screenPosition) {
    return screenPosition % 2 != 0;
}

// Destination columns [first, last) that an eye covers on one row; empty where it covers none.
struct Span {
    int first = 0;
    int last = 0;
};

Span coveredSpan(const StretchPlan& plan, int dy) {
    return plan.sourceRow(dy) >= 0 ? Span{plan.firstColumn(), plan.lastColumn()} : Span{};
}

// An eye row by row, turned or not; the mapping of a turned eye changes along every row, so only
// a plain one has rows that repeat one another.
struct EyeRows {
    StretchPlan plain;
    std::optional<TurnedStretch> turned;

    EyeRows(const EyeView& eye, int width, int height)
        : plain(rasterOf(eye), eye.rollDegrees == 0 ? eye.source : Rect{}, width, height) {
        if (eye.rollDegrees != 0) {
            turned.emplace(rasterOf(eye), eye.source, eye.rollDegrees, width, height);
        }
    }
    // Destination row dy into line, the background where the eye covers nothing; returns the
    // columns it covers.
    Span composeRow(int dy, std::uint32_t background, std::uint32_t* line, int step = 1) const {
        if (turned) {
            const TurnedStretch::Span s = turned->composeRow(dy, background, line);
            return {s.first, s.last};
        }
        plain.composeRow(dy, background, line, step);
        return coveredSpan(plain, dy);
    }
    bool sameRow(int dy, int other) const {
        return !turned && plain.sourceRow(dy) == plain.sourceRow(other);
    }
};

// Mixes the columns that either eye covers and gives the rest the background.
void mixRow(AnaglyphKind kind, const std::uint32_t* left, const std::uint32_t* right, Span a,
            Span b, std::uint32_t background, std::uint32_t* line, int width) {
    if (a.first >= a.last) {
        a = b;
    } else if (b.first >= b.last) {
        b = a;
    }
    if (b.first < a.first) {
        std::swap(a, b);
    }
    int done = 0;
    for (const Span s : {a, b}) {
        const int first = std::max(s.first, done);
        std::fill(line + done, line + std::max(first, done), background);
        if (s.last > first) {
            mixAnaglyph(kind, left + first, right + first, line + first, s.last - first);
        }
        done = std::max(done, s.last);
    }
    std::fill(line + done, line + width, background);
}

// Enlarged or at 1:1, both eyes at the same scale and covering the same columns: the raster
// columns under any frame column then differ between the eyes by the same offset, so each pair
// of raster pixels is mixed once, straight from the raster rows, and the frame repeats the mixed
// pixels as composeRaster repeats raster pixels. Returns false, drawing nothing, where that does
// not hold.
bool mixRasterRows(AnaglyphKind kind, const StretchPlan& left, const StretchPlan& right, int dy,
                   std::vector<std::uint32_t>& mixed, std::uint32_t background,
                   std::uint32_t* line) {
    const Span a = coveredSpan(left, dy);
    if (a.first >= a.last || a.first != right.firstColumn() || a.last != right.lastColumn() ||
        right.sourceRow(dy) < 0) {
        return false;
    }
    const int first = left.sourceColumn(a.first);
    const int offset = right.sourceColumn(a.first) - first;
    const int count = left.sourceColumn(a.last - 1) - first + 1;
    if (count > static_cast<int>(mixed.size())) {
        return false;
    }
    const auto* l = reinterpret_cast<const std::uint32_t*>(left.raster().row(left.sourceRow(dy)));
    const auto* r = reinterpret_cast<const std::uint32_t*>(right.raster().row(right.sourceRow(dy)));
    mixAnaglyph(kind, l + first, r + first + offset, mixed.data(), count);
    std::fill(line, line + a.first, background);
    left.drawRowFrom(mixed.data(), line);
    std::fill(line + a.last, line + left.width(), background);
    return true;
}

GatheredEye gatheredEye(const StretchPlan& plan, int dy) {
    return {reinterpret_cast<const std::uint32_t*>(plan.raster().row(plan.sourceRow(dy))),
            plan.sourceColumns(), reinterpret_cast<const std::uint32_t*>(plan.nextSourceRow(dy))};
}

// Both eyes covering the same columns of the row: each pixel gathered from both eyes and mixed
// at once. Returns false, drawing nothing, where that does not hold.
bool mixGatheredRow(AnaglyphKind kind, const StretchPlan& left, const StretchPlan& right, int dy,
                    std::uint32_t background, std::uint32_t* line) {
    const Span a = coveredSpan(left, dy);
    if (a.first >= a.last || a.first != right.firstColumn() || a.last != right.lastColumn() ||
        right.sourceRow(dy) < 0 ||
        !mixAnaglyphGathered(kind, gatheredEye(left, dy), gatheredEye(right, dy), line + a.first,
                             a.last - a.first)) {
        return false;
    }
    std::fill(line, line + a.first, background);
    std::fill(line + a.last, line + left.width(), background);
    return true;
}

// Each eye's row drawn on its own, then mixed: for eyes that are turned.
void mixEyeRows(AnaglyphKind kind, const EyeView& left, const EyeView& right,
                std::uint32_t background, const Frame& frame, RowBand rows) {
    const EyeRows eyes[2] = {EyeRows(left, frame.width, frame.height),
                             EyeRows(right, frame.width, frame.height)};
    std::vector<std::uint32_t> leftRow(static_cast<std::size_t>(frame.width));
    std::vector<std::uint32_t> rightRow(leftRow.size());
    const auto [first, last] = clipped(rows, frame);
    for (int dy = first; dy < last; ++dy) {
        const Span a = eyes[0].composeRow(dy, background, leftRow.data());
        const Span b = eyes[1].composeRow(dy, background, rightRow.data());
        mixRow(kind, leftRow.data(), rightRow.data(), a, b, background, rowOf(frame, dy),
               frame.width);
    }
}

// Column interlacing of eyes that are turned: each eye's row drawn whole, then interleaved.
void interleaveEyeRows(const EyeView& even, const EyeView& odd, int firstOdd,
                       std::uint32_t background, const Frame& frame, RowBand rows) {
    const EyeRows eyes[2] = {EyeRows(even, frame.width, frame.height),
                             EyeRows(odd, frame.width, frame.height)};
    std::vector<std::uint32_t> oddRow(static_cast<std::size_t>(frame.width));
    for (int dy = rows.begin; dy < rows.end; ++dy) {
        std::uint32_t* line = rowOf(frame, dy);
        eyes[0].composeRow(dy, background, line);
        eyes[1].composeRow(dy, background, oddRow.data());
        for (int x = firstOdd; x < frame.width; x += 2) {
            line[x] = oddRow[static_cast<std::size_t>(x)];
        }
    }
}

} // namespace

void composeAnaglyph(AnaglyphKind kind, EyeView left, EyeView right, std::uint32_t background,
                     Frame frame, RowBand rows) {
    if (!drawable(frame)) {
        return;
    }
    if (left.rollDegrees != 0 || right.rollDegrees != 0) {
        mixEyeRows(kind, left, right, background, frame, rows);
        return;
    }
    const StretchPlan leftPlan = planOf(left, frame.width, frame.height);
    const StretchPlan rightPlan = planOf(right, frame.width, frame.height);
    std::vector<std::uint32_t> leftRow(static_cast<std::size_t>(frame.width));
    std::vector<std::uint32_t> rightRow(leftRow.size());
    const auto isXrgb = [](const Raster& r) {
        return !r.empty() && r.format() == PixelFormat::Xrgb32;
    };
    const bool bothXrgb = isXrgb(rasterOf(left)) && isXrgb(rasterOf(right));
    const bool sameScale =
        bothXrgb && left.source.width == right.source.width && left.source.width <= frame.width;
    std::vector<std::uint32_t> mixed(sameScale ? leftRow.size() : 0);
    const auto [first, last] = clipped(rows, frame);
    for (int dy = first; dy < last; ++dy) {
        // Zoomed in, a row whose eyes show the same raster rows as above is the row above again.
        if (dy > first && leftPlan.sourceRow(dy) == leftPlan.sourceRow(dy - 1) &&
            rightPlan.sourceRow(dy) == rightPlan.sourceRow(dy - 1)) {
            copyRow(frame, dy - 1, dy);
            continue;
        }
        if (sameScale &&
            mixRasterRows(kind, leftPlan, rightPlan, dy, mixed, background, rowOf(frame, dy))) {
            continue;
        }
        if (bothXrgb &&
            mixGatheredRow(kind, leftPlan, rightPlan, dy, background, rowOf(frame, dy))) {
            continue;
        }
        // Where only one eye covers a pixel, the other shows the background as its panel would.
        leftPlan.composeRow(dy, background, leftRow.data());
        rightPlan.composeRow(dy, background, rightRow.data());
        mixRow(kind, leftRow.data(), rightRow.data(), coveredSpan(leftPlan, dy),
               coveredSpan(rightPlan, dy), background, rowOf(frame, dy), frame.width);
    }
}

void composeHalf(HalfLayout layout, EyeView left, EyeView right, std::uint32_t background,
                 Frame frame) {
    composeHalfOf(layout, 0, left, background, frame);
    composeHalfOf(layout, 1, right, background, frame);
}

void composeHalfOf(HalfLayout layout, int half, EyeView eye, std::uint32_t background,
                   Frame frame) {
    if (!drawable(frame)) {
        return;
    }
    if (layout == HalfLayout::SideBySide) {
        const int split = frame.width / 2;
        composeEye(eye, background,
                   {frame.pixels + (half == 0 ? 0 : split), half == 0 ? split : frame.width - split,
                    frame.height, frame.strideBytes});
    } else {
        const int split = frame.height / 2;
        composeEye(eye, background,
                   {rowOf(frame, half == 0 ? 0 : split), frame.width,
                    half == 0 ? split : frame.height - split, frame.strideBytes});
    }
}

void composeInterlaced(InterlaceAxis axis, EyeView even, EyeView odd, int screenX, int screenY,
                       std::uint32_t background, Frame frame, RowBand rows) {
    if (!drawable(frame)) {
        return;
    }
    const auto [first, last] = clipped(rows, frame);
    if (axis == InterlaceAxis::Rows) {
        const EyeRows eyes[2] = {EyeRows(even, frame.width, frame.height),
                                 EyeRows(odd, frame.width, frame.height)};
        int lastRowOf[2] = {-1, -1}; // the frame row each eye drew last in this band
        for (int dy = first; dy < last; ++dy) {
            const int eye = isOddLine(std::int64_t{screenY} + dy) ? 1 : 0;
            const int previous = lastRowOf[eye];
            lastRowOf[eye] = dy;
            if (previous >= 0 && eyes[eye].sameRow(previous, dy)) {
                copyRow(frame, previous, dy);
            } else {
                eyes[eye].composeRow(dy, background, rowOf(frame, dy), 2);
            }
        }
        return;
    }
    // Columns: each eye gathers only its own columns; the background goes where one of them
    // covers nothing.
    const int firstOdd = isOddLine(screenX) ? 0 : 1;
    if (even.rollDegrees != 0 || odd.rollDegrees != 0) {
        interleaveEyeRows(even, odd, firstOdd, background, frame, {first, last});
        return;
    }
    const StretchPlan plans[2] = {planOf(even, frame.width, frame.height),
                                  planOf(odd, frame.width, frame.height)};
    for (int dy = first; dy < last; ++dy) {
        if (dy > first && plans[0].sourceRow(dy) == plans[0].sourceRow(dy - 1) &&
            plans[1].sourceRow(dy) == plans[1].sourceRow(dy - 1)) {
            copyRow(frame, dy - 1, dy);
            continue;
        }
        std::uint32_t* line = rowOf(frame, dy);
        const Span a = coveredSpan(plans[0], dy), b = coveredSpan(plans[1], dy);
        const int bothFirst = std::max(a.first, b.first), bothLast = std::min(a.last, b.last);
        // Where the spans do not meet, the two fills overlap and cover the whole row.
        std::fill(line, line + bothFirst, background);
        std::fill(line + bothLast, line + frame.width, background);
        for (int eye = 0; eye < 2; ++eye) {
            if (plans[eye].sourceRow(dy) >= 0) {
                plans[eye].drawAlternateColumns(dy, line, eye == 1 ? firstOdd : 1 - firstOdd);
            }
        }
    }
}

void composeEye(EyeView eye, std::uint32_t background, Frame frame) {
    if (!drawable(frame)) {
        return;
    }
    if (eye.rollDegrees == 0) {
        composeRaster(rasterOf(eye), eye.source, background, frame.pixels, frame.width,
                      frame.height, frame.strideBytes);
        return;
    }
    const TurnedStretch turned(rasterOf(eye), eye.source, eye.rollDegrees, frame.width,
                               frame.height);
    for (int dy = 0; dy < frame.height; ++dy) {
        turned.composeRow(dy, background, rowOf(frame, dy));
    }
}

void composeMirrored(EyeView eye, std::uint32_t background, Frame frame) {
    if (!drawable(frame)) {
        return;
    }
    composeEye(eye, background, frame);
    for (int dy = 0; dy < frame.height; ++dy) {
        std::uint32_t* line = rowOf(frame, dy);
        std::reverse(line, line + frame.width);
    }
}

} // namespace duoptic
