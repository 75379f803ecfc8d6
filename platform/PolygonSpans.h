#pragma once

// The rows of a Windows polygon region, worked out without Qt.
//
// A pixel (x, y) belongs to the polygon when the point (x, y) lies inside it; a point on an edge
// counts as inside when the edge is a left or top one, and as outside when it is a right or bottom
// one. So each edge crosses the rows from its upper end up to, not including, its lower end, and a
// run starts at the first whole x at or right of one crossing and stops before the first whole x
// at or right of the next. Horizontal edges cross no row.
//
// The rows are handed back as bands in the order Windows and QRegion keep them: top to bottom,
// runs left to right within a band, neighbouring rows with the same runs merged into one band.

#include "platform/Coordinates.h"
#include "platform/RoundRectSpans.h"

#include <cstdint>
#include <vector>

namespace platform {

// Fills `bands` with the runs of the polygon through `count` points (closed back to the first), by
// the even-odd rule or, with `winding`, the nonzero winding rule. The points must lie in the 16-bit
// range. Time grows with the number of rows times the number of edges that cross them, and memory
// with the size of the answer: nothing grows with the coordinates themselves beyond the rows.
void polygonBands(const Coordinates *points, int32_t count, bool winding,
                  std::vector<SpanBand> &bands);

} // namespace platform
