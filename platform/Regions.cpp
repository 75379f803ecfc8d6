#include "platform/Regions.h"

#include "platform/PolygonSpans.h"
#include "platform/RoundRectSpans.h"

#include <QRect>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {

// The bands are already in the y-x order QRegion keeps, runs that touch joined and no two
// neighbouring bands alike, so they are handed over as they are.
QRegion regionOf(const std::vector<SpanBand> &bands) {
    QRegion region;
    if (bands.empty())
        return region;
    std::vector<QRect> rects;
    rects.reserve(bands.size());
    for (const SpanBand &band : bands)
        rects.emplace_back(band.left, band.top, band.right - band.left, band.bottom - band.top);
    region.setRects(rects.data(), int(rects.size()));
    return region;
}

bool inRange(int32_t v) {
    return v >= kRegionCoordinateMin && v <= kRegionCoordinateMax;
}

} // namespace

std::optional<QRegion> CreatePolygonRgn(const Coordinates *points, int32_t count,
                                        int32_t fillMode) {
    if (fillMode != ALTERNATE && fillMode != WINDING)
        return std::nullopt;
    if (count < 0 || count > kMaxPolygonPoints)
        return std::nullopt;
    if (count > 0 && points == nullptr)
        return std::nullopt;
    // Every row between the highest and the lowest vertex is walked: far-out vertices would cost
    // time in proportion to their coordinates, and overflow near the int32 limits.
    int64_t edgeRows = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!inRange(points[i].X) || !inRange(points[i].Y))
            return std::nullopt;
        edgeRows += std::abs(int64_t(points[i].Y) - points[i + 1 < count ? i + 1 : 0].Y);
    }
    if (edgeRows > kMaxPolygonEdgeRows)
        return std::nullopt;
    if (count < 3)
        return QRegion();
    // Not kept between calls: a polygon's bands can run to millions.
    std::vector<SpanBand> bands;
    polygonBands(points, count, fillMode == WINDING, bands);
    return regionOf(bands);
}

std::optional<QRegion> CreateEllipticRgn(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    thread_local std::vector<SpanBand> bands;
    if (!ellipseBands(left, top, right, bottom, bands))
        return std::nullopt;
    return regionOf(bands);
}

std::optional<QRegion> CreateRoundRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                          int32_t cornerWidth, int32_t cornerHeight) {
    thread_local std::vector<SpanBand> bands;
    if (!roundRectBands(left, top, right, bottom, cornerWidth, cornerHeight, bands))
        return std::nullopt;
    return regionOf(bands);
}

} // namespace platform
