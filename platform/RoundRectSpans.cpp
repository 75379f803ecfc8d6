#include "platform/RoundRectSpans.h"

#include <algorithm>
#include <cmath>

// How the rows are found.
//
// The box of W x H pixels (one column and one row less than the edges span) gets its corners from
// a corner ellipse of Wc x Hc pixels (the requested corner size, at most the box's). The rows
// above the middle of the corner ellipse give the top corner rows of the box, mirrored for the
// bottom ones; each row's run is the corner ellipse's run, pulled apart to the box's width. All
// other rows are full.
//
// The corner ellipse is measured in half pixels from its centre, so that every pixel centre lies
// on a whole number: the centres of the outermost pixels lie at x = +-a and y = +-b, where
// a = Wc - 1 and b = Hc - 1, and x, y run in steps of 2 with the parity of a and b. The curve is
// f(x, y) = b^2 x^2 + a^2 y^2 - a^2 b^2 = 0. A row reaches out to x when its outermost pixel is
// nearer the curve, by the measure of f, than a neighbouring pixel that it is chosen over (on a
// tie, see below):
//
// - Lower part, where the curve is steep. A walk starts on the middle row at full width and goes
//   up one row at a time. On the next row the run keeps its x if f(x, y) + f(x - 2, y) < 0 (the
//   pixel is nearer the curve than the one inside it), or else gives up one pixel when that pixel
//   passes the same test or lies on the middle column. When even that is not enough, the curve is
//   flatter than one pixel a row and the walk ends.
// - Upper part, the rows above the walk. The run reaches the farthest x with
//   f(x, y) + f(x, y - 2) <= 0: its outermost pixel is no farther out than the pixel below it.
//   A row where no pixel passes has no pixels of the corner ellipse.
//
// Ties (both pixels exactly as far from the curve; the sums are exact, and the corners of tall,
// narrow ellipses meet them: a = 51, b = 1212 has x = 37 and x = 39 equally far at y = 808) go the
// way of an outline traced from the top of the quarter down to the middle row, one pixel at a time
// along the curve, that takes the step across only when it brings a strictly nearer pixel. Across
// the flat part it moves out a column at a time and steps down a row only for a nearer pixel, so a
// tie keeps the outer row: the upper part's test passes on "<= 0". Down the steep part it moves a
// row at a time and steps out a column only for a nearer pixel, so a tie keeps the inner pixel:
// the walk, which goes up the other way, keeps its x only on "< 0".
//
// Both tests compare sums of f at two pixels, which stay exact in 64-bit unsigned arithmetic for
// any box of the 16-bit range (a, b <= 65533, so every square is below 2^32 and every product of
// two of them below 2^64). Each row costs a few multiplications, and a square root in the upper
// part: no work is done per pixel.
//
// A corner ellipse two pixels wide has its outermost pixel centres on the middle column of the
// curve, where both tests fail on every row but the middle one; it is kept two pixels wide all
// the way instead, so that a two-pixel ellipse stays a bar like a one-pixel one.

namespace platform {
namespace {

using u64 = uint64_t;

class CornerEllipse {
public:
    CornerEllipse(int64_t a, int64_t b)
        : m_a(a)
        , m_b(b)
        , m_a2(u64(a * a))
        , m_b2(u64(b * b)) {}

    // f(x, y) + f(x - 2, y) < 0, for 0 <= y <= b and -1 <= x <= a.
    bool keepsAgainstInner(int64_t x, int64_t y) const {
        const u64 dx = u64((x - 1) * (x - 1) + 1);
        const u64 room = m_b2 - u64(y * y);
        return m_b2 * dx < m_a2 * room;
    }

    // The farthest x, of the parity of a, with f(x, y) + f(x, y - 2) <= 0; below zero when there
    // is none.
    int64_t farthestOverLower(int64_t y) const {
        const int64_t none = m_a % 2 - 2;
        const int64_t room = int64_t(m_b2) - (y - 1) * (y - 1) - 1;
        if (room < 0)
            return none;
        const u64 limit = m_a2 * u64(room);
        int64_t x = int64_t(double(m_a) * std::sqrt(double(room)) / double(m_b));
        x = std::clamp<int64_t>(x, 0, m_a);
        while (x > 0 && m_b2 * u64(x * x) > limit)
            --x;
        while (x < m_a && m_b2 * u64((x + 1) * (x + 1)) <= limit)
            ++x;
        if ((m_a - x) % 2 != 0)
            --x;
        return x < 0 ? none : x;
    }

    // The x of the corner rows, outermost row first: xs[j] belongs to y = b - 2j.
    void rows(std::vector<int64_t> &xs) const {
        const int64_t count = m_b / 2;
        xs.assign(size_t(count), 0);
        if (count == 0)
            return;
        if (m_a == 1) {
            std::fill(xs.begin(), xs.end(), 1);
            return;
        }
        int64_t x = m_a;
        int64_t y = m_b % 2;
        int64_t j = count; // index of the row the walk stands on; the middle row is past the end
        while (j > 0) {
            const int64_t next = y + 2;
            if (keepsAgainstInner(x, next)) {
                // the run keeps its width
            } else if (x - 2 >= -1 && (x - 2 <= 0 || keepsAgainstInner(x - 2, next))) {
                x -= 2;
            } else {
                break;
            }
            y = next;
            --j;
            xs[size_t(j)] = x;
        }
        for (int64_t k = j - 1; k >= 0; --k) {
            x = std::min(x, farthestOverLower(m_b - 2 * k));
            xs[size_t(k)] = x;
        }
    }

private:
    int64_t m_a;
    int64_t m_b;
    u64 m_a2;
    u64 m_b2;
};

// Appends rows [y0, y1) with the run [left, right), merging with the last band when it is the
// same run and touches it.
void addRows(std::vector<SpanBand> &bands, int64_t y0, int64_t y1, int64_t left, int64_t right) {
    if (y0 >= y1 || left >= right)
        return;
    if (!bands.empty()) {
        SpanBand &last = bands.back();
        if (last.bottom == y0 && last.left == left && last.right == right) {
            last.bottom = int32_t(y1);
            return;
        }
    }
    bands.push_back({int32_t(y0), int32_t(y1), int32_t(left), int32_t(right)});
}

bool inRange(int32_t v) {
    return v >= kRegionCoordinateMin && v <= kRegionCoordinateMax;
}

int64_t magnitude(int32_t v) {
    return v < 0 ? -int64_t(v) : int64_t(v);
}

} // namespace

bool roundRectBands(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                    int32_t cornerHeight, std::vector<SpanBand> &bands) {
    bands.clear();
    if (!inRange(left) || !inRange(top) || !inRange(right) || !inRange(bottom))
        return false;

    const int64_t l = std::min(left, right);
    const int64_t t = std::min(top, bottom);
    const int64_t width = int64_t(std::max(left, right)) - l - 1;
    const int64_t height = int64_t(std::max(top, bottom)) - t - 1;
    if (width <= 0 || height <= 0)
        return true;

    const int64_t cornerW = std::min(magnitude(cornerWidth), width);
    const int64_t cornerH = std::min(magnitude(cornerHeight), height);

    thread_local std::vector<int64_t> xs;
    xs.clear();
    int64_t a = 0;
    if (cornerW >= 1 && cornerH >= 1) {
        a = cornerW - 1;
        CornerEllipse(a, cornerH - 1).rows(xs);
    }
    const int64_t corners = int64_t(xs.size());

    bands.reserve(size_t(2 * corners + 1));
    for (int64_t j = 0; j < corners; ++j) {
        const int64_t inset = (a - xs[size_t(j)]) / 2;
        addRows(bands, t + j, t + j + 1, l + inset, l + width - inset);
    }
    addRows(bands, t + corners, t + height - corners, l, l + width);
    for (int64_t j = corners - 1; j >= 0; --j) {
        const int64_t inset = (a - xs[size_t(j)]) / 2;
        const int64_t y = t + height - 1 - j;
        addRows(bands, y, y + 1, l + inset, l + width - inset);
    }
    return true;
}

bool ellipseBands(int32_t left, int32_t top, int32_t right, int32_t bottom,
                  std::vector<SpanBand> &bands) {
    // The corner as large as the box; the sizes are clamped to the box, so the edges' span will do
    // (and stays inside int32 for the edges that are accepted).
    const int64_t w = int64_t(right) - int64_t(left);
    const int64_t h = int64_t(bottom) - int64_t(top);
    const auto clampToInt = [](int64_t v) {
        return int32_t(std::clamp<int64_t>(v, INT32_MIN + 1, INT32_MAX));
    };
    return roundRectBands(left, top, right, bottom, clampToInt(w), clampToInt(h), bands);
}

std::optional<std::vector<SpanBand>> roundRectSpans(int32_t left, int32_t top, int32_t right,
                                                    int32_t bottom, int32_t cornerWidth,
                                                    int32_t cornerHeight) {
    std::vector<SpanBand> bands;
    if (!roundRectBands(left, top, right, bottom, cornerWidth, cornerHeight, bands))
        return std::nullopt;
    return bands;
}

std::optional<std::vector<SpanBand>> ellipseSpans(int32_t left, int32_t top, int32_t right,
                                                  int32_t bottom) {
    std::vector<SpanBand> bands;
    if (!ellipseBands(left, top, right, bottom, bands))
        return std::nullopt;
    return bands;
}

} // namespace platform
