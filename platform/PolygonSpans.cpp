#include "platform/PolygonSpans.h"

#include <algorithm>

// The polygon is filled one row at a time. The edges that cross a row are kept in a list sorted by
// where they cross it; each row moves every edge one step down, in whole numbers, and only edges
// that passed each other change places. A row thus costs the number of edges crossing it, and the
// runs come out already in order, so no row is looked at twice.

namespace platform {
namespace {

// An edge crossing the rows top..bottom-1, walked down one row at a time. On row y it crosses at
// x0 + (y - top) * dx / dy, kept as a whole part and a remainder in [0, dy) so that no rounding
// ever drifts.
class Edge {
public:
    Edge(const Coordinates &from, const Coordinates &to) {
        const bool down = from.Y < to.Y;
        const Coordinates &upper = down ? from : to;
        const Coordinates &lower = down ? to : from;
        top = upper.Y;
        bottom = lower.Y;
        direction = down ? 1 : -1;
        m_dy = lower.Y - upper.Y;
        const int32_t dx = lower.X - upper.X;
        m_step = dx / m_dy;
        m_stepRest = dx % m_dy;
        if (m_stepRest < 0) {
            m_stepRest += m_dy;
            --m_step;
        }
        m_whole = upper.X;
    }

    // The first whole x at or right of the crossing with the current row.
    int32_t x() const { return m_whole + (m_rest > 0 ? 1 : 0); }

    void stepDown() {
        m_whole += m_step;
        m_rest += m_stepRest;
        if (m_rest >= m_dy) {
            m_rest -= m_dy;
            ++m_whole;
        }
    }

    int32_t top = 0;
    int32_t bottom = 0;
    int32_t direction = 0; // +1 for an edge drawn downwards, -1 upwards

private:
    int32_t m_dy = 1;
    int32_t m_step = 0;
    int32_t m_stepRest = 0;
    int32_t m_whole = 0;
    int32_t m_rest = 0;
};

struct Run {
    int32_t left;
    int32_t right;
};

// Adds [left, right) to the row, joined to the run before it when they touch.
void addRun(std::vector<Run> &runs, int32_t left, int32_t right) {
    if (left >= right)
        return;
    if (!runs.empty() && runs.back().right == left)
        runs.back().right = right;
    else
        runs.push_back({left, right});
}

void findRuns(const std::vector<Edge *> &crossing, bool winding, std::vector<Run> &runs) {
    runs.clear();
    if (!winding) {
        for (size_t i = 0; i + 1 < crossing.size(); i += 2)
            addRun(runs, crossing[i]->x(), crossing[i + 1]->x());
        return;
    }
    int32_t turns = 0;
    int32_t start = 0;
    for (const Edge *edge : crossing) {
        const int32_t before = turns;
        turns += edge->direction;
        if (before == 0)
            start = edge->x();
        else if (turns == 0)
            addRun(runs, start, edge->x());
    }
}

// Appends the row's runs as a new band, or grows the last band when it ends on this row with the
// same runs.
void addRow(std::vector<SpanBand> &bands, size_t &lastBand, int32_t y,
            const std::vector<Run> &runs) {
    if (runs.empty())
        return;
    const size_t lastCount = bands.size() - lastBand;
    bool same = lastCount == runs.size() && lastCount > 0 && bands.back().bottom == y;
    for (size_t i = 0; same && i < runs.size(); ++i)
        same =
            bands[lastBand + i].left == runs[i].left && bands[lastBand + i].right == runs[i].right;
    if (same) {
        for (size_t i = lastBand; i < bands.size(); ++i)
            ++bands[i].bottom;
        return;
    }
    lastBand = bands.size();
    for (const Run &run : runs)
        bands.push_back({y, y + 1, run.left, run.right});
}

} // namespace

void polygonBands(const Coordinates *points, int32_t count, bool winding,
                  std::vector<SpanBand> &bands) {
    bands.clear();
    std::vector<Edge> edges;
    for (int32_t i = 0; i < count; ++i) {
        const Coordinates &from = points[i];
        const Coordinates &to = points[i + 1 < count ? i + 1 : 0];
        if (from.Y != to.Y)
            edges.emplace_back(from, to);
    }
    if (edges.empty())
        return;
    std::sort(edges.begin(), edges.end(),
              [](const Edge &a, const Edge &b) { return a.top < b.top; });

    std::vector<Edge *> crossing; // sorted by x on the current row
    std::vector<Run> runs;
    size_t nextEdge = 0;
    size_t lastBand = 0;
    for (int32_t y = edges.front().top;; ++y) {
        std::erase_if(crossing, [y](const Edge *edge) { return edge->bottom <= y; });
        if (crossing.empty()) {
            if (nextEdge == edges.size())
                break;
            y = std::max(y, edges[nextEdge].top);
        }
        while (nextEdge < edges.size() && edges[nextEdge].top == y)
            crossing.push_back(&edges[nextEdge++]);
        // Insertion sort: between two rows only edges that pass each other are out of order.
        for (size_t i = 1; i < crossing.size(); ++i) {
            Edge *edge = crossing[i];
            size_t j = i;
            for (; j > 0 && crossing[j - 1]->x() > edge->x(); --j)
                crossing[j] = crossing[j - 1];
            crossing[j] = edge;
        }
        findRuns(crossing, winding, runs);
        addRow(bands, lastBand, y, runs);
        for (Edge *edge : crossing)
            edge->stepDown();
    }
}

} // namespace platform
