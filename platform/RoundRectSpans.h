#pragma once

// The rows of a Windows elliptic or rounded-rectangle region, worked out without Qt.
//
// A box (left, top, right, bottom) covers the pixels left..right-2 and top..bottom-2: like the
// regions Windows makes, the shape leaves out the last column and the last row of its box. The
// region is one run of pixels per row, so it is handed back as horizontal bands, top to bottom,
// neighbouring rows with the same run merged into one band.

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// The pixels x in [left, right) of the rows y in [top, bottom).
struct SpanBand {
    int32_t top = 0;
    int32_t bottom = 0;
    int32_t left = 0;
    int32_t right = 0;

    friend bool operator==(const SpanBand &, const SpanBand &) = default;
};

// The largest edge coordinate a region accepts; farther edges make the call fail, as the program
// itself never asks for them.
constexpr int32_t kRegionCoordinateMin = -32768;
constexpr int32_t kRegionCoordinateMax = 32767;

// Fills `bands` with the rounded rectangle whose corners are quarters of a cornerWidth x
// cornerHeight ellipse. Edges may come in any order; a negative corner size counts as its absolute
// value and a corner larger than the box as the box. A box without area gives no bands. Returns
// false, with `bands` emptied, when an edge lies outside the 16-bit range: the call fails.
// Time and memory grow with the box's height only (at most 65,534 rows).
bool roundRectBands(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                    int32_t cornerHeight, std::vector<SpanBand> &bands);

// The ellipse filling the box: the rounded rectangle whose corner is the whole box.
bool ellipseBands(int32_t left, int32_t top, int32_t right, int32_t bottom,
                  std::vector<SpanBand> &bands);

// The same, handing back nullopt for a failed call.
std::optional<std::vector<SpanBand>> roundRectSpans(int32_t left, int32_t top, int32_t right,
                                                    int32_t bottom, int32_t cornerWidth,
                                                    int32_t cornerHeight);
std::optional<std::vector<SpanBand>> ellipseSpans(int32_t left, int32_t top, int32_t right,
                                                  int32_t bottom);

} // namespace platform
