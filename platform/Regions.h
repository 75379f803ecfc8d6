#pragma once

// The three Windows region constructors the generated code calls, giving the same pixels as
// Windows. A region without a value stands for the NULL handle of a failed call.

#include "platform/Coordinates.h"

#include <QRegion>
#include <cstdint>
#include <optional>

namespace platform {

// Polygon fill modes, as the Windows constants.
constexpr int32_t ALTERNATE = 1;
constexpr int32_t WINDING = 2;

// The most vertices a polygon region accepts; more make the call fail.
constexpr int32_t kMaxPolygonPoints = 1 << 20;

// The most rows a polygon's edges may cross, all edges together. A polygon's region can hold up to
// half as many rectangles, 16 bytes each; past this a call fails, as Windows fails a region it has
// no memory for, instead of taking minutes and gigabytes. Any polygon of up to 512 vertices in the
// 16-bit range stays within it.
constexpr int64_t kMaxPolygonEdgeRows = int64_t(1) << 25;

// Fails for a fill mode other than ALTERNATE and WINDING, a negative or too large count, missing
// points, a vertex outside the 16-bit range, or edges crossing more than kMaxPolygonEdgeRows rows.
// Fewer than three vertices give an empty region.
std::optional<QRegion> CreatePolygonRgn(const Coordinates *points, int32_t count, int32_t fillMode);

// Fails for an edge outside the 16-bit range; a box without area gives an empty region.
std::optional<QRegion> CreateEllipticRgn(int32_t left, int32_t top, int32_t right, int32_t bottom);
std::optional<QRegion> CreateRoundRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                          int32_t cornerWidth, int32_t cornerHeight);

} // namespace platform
