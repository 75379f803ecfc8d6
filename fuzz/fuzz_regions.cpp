// Any request to the three region constructors answers, quickly, with a region that stays inside
// the shape's bounding box. Polygons of modest height are also checked against Qt's own polygon
// regions, which give the same pixels but take time that grows far faster than the height.
#include "platform/Regions.h"

#include <QPolygon>
#include <QRect>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class Input {
public:
    Input(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size) {}
    int32_t next() {
        int32_t value = 0;
        const size_t n = std::min(sizeof value, m_size - m_pos);
        std::memcpy(&value, m_data + m_pos, n);
        m_pos += n;
        return value;
    }
    size_t left() const { return m_size - m_pos; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// The box the shape may cover, in the 64-bit space so that no edge overflows.
bool inside(const QRegion &region, int64_t l, int64_t t, int64_t r, int64_t b) {
    const QRect box = region.boundingRect();
    if (region.isEmpty())
        return true;
    return box.left() >= std::min(l, r) && box.top() >= std::min(t, b) &&
           int64_t(box.right()) < std::max(l, r) && int64_t(box.bottom()) < std::max(t, b);
}

// Qt's rectangles joined one by one, since Qt may leave touching runs apart and, in winding mode,
// bands overlapping.
QRegion qtPolygonRegion(const std::vector<Coordinates> &points, int32_t count, int32_t mode) {
    QPolygon polygon;
    for (int32_t i = 0; i < count; ++i)
        polygon << QPoint(points[i].X, points[i].Y);
    QRegion joined;
    for (const QRect &rect : QRegion(polygon, mode == 2 ? Qt::WindingFill : Qt::OddEvenFill))
        joined += rect;
    return joined;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    Input in(data + 1, size - 1);
    switch (data[0] % 3) {
    case 0: {
        const int32_t l = in.next(), t = in.next(), r = in.next(), b = in.next();
        const auto region = platform::CreateEllipticRgn(l, t, r, b);
        if (region && !inside(*region, l, t, r, b))
            std::abort();
        break;
    }
    case 1: {
        const int32_t l = in.next(), t = in.next(), r = in.next(), b = in.next();
        const int32_t w = in.next(), h = in.next();
        const auto region = platform::CreateRoundRectRgn(l, t, r, b, w, h);
        if (region && !inside(*region, l, t, r, b))
            std::abort();
        break;
    }
    default: {
        const int32_t mode = in.next();
        const int32_t count = in.next() % 502; // the outline table has 501 slots
        std::vector<Coordinates> points(501);
        for (auto &p : points) {
            p.X = in.next();
            p.Y = in.next();
        }
        const auto region = platform::CreatePolygonRgn(points.data(), count, mode);
        if (!region || count < 3)
            break;
        int64_t l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN;
        for (int32_t i = 0; i < count; ++i) {
            l = std::min<int64_t>(l, points[i].X);
            r = std::max<int64_t>(r, points[i].X);
            t = std::min<int64_t>(t, points[i].Y);
            b = std::max<int64_t>(b, points[i].Y);
        }
        if (!inside(*region, l, t, r, b))
            std::abort();
        if (b - t <= 512 && *region != qtPolygonRegion(points, count, mode))
            std::abort();
        break;
    }
    }
    return 0;
}
