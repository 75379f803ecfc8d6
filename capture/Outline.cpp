#include "capture/Outline.h"

#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

namespace {

Coordinates &slot(Outline &outline, int index) {
    if (index < 0 || index >= Outline::kSlots)
        throw platform::RuntimeError(platform::ErrSubscriptOutOfRange);
    return outline.XY[std::size_t(index)];
}

std::string assignment(int index, const std::string &x, const std::string &y) {
    const std::string i = platform::decimalText(index);
    return "XY(" + i + ").X=" + x + ": XY(" + i + ").Y=" + y + "\r\n";
}

} // namespace

void Outline::moveAnchors(float x, float y) {
    if (PointCount == 0) {
        PrevX = x;
        PrevY = y;
    } else {
        PrevX = CurX;
        PrevY = CurY;
    }
    CurX = x;
    CurY = y;
}

void Outline::clear() {
    PointCount = 0;
    ClosingLine.clear();
}

std::string pointLine(int index, int32_t x, int32_t y) {
    return assignment(index, platform::decimalText(x), platform::decimalText(y));
}

std::string dragLine(int index, float qx, float qy) {
    return assignment(index, platform::singleText(qx), platform::singleText(qy));
}

void captureVertex(Outline &outline, int16_t px, int16_t py) {
    slot(outline, outline.PointCount) = Coordinates{px, py};
    if (outline.PointCount == 0) {
        outline.FirstX = px;
        outline.FirstY = py;
    }
    slot(outline, outline.PointCount + 1) = Coordinates{outline.FirstX, outline.FirstY};
    outline.PointCount = platform::addInt16(outline.PointCount, 1);
    outline.ClosingLine = pointLine(outline.PointCount, outline.FirstX, outline.FirstY);
}

void CapacityNotice::captureVertex(Outline &outline, int16_t px, int16_t py) {
    if (outline.PointCount < Outline::kSlots - 1)
        m_reported = false;
    try {
        ::captureVertex(outline, px, py);
    } catch (const platform::RuntimeError &error) {
        if (error.number() != platform::ErrSubscriptOutOfRange)
            throw;
        if (m_reported)
            return; // the handler stops here all the same
        m_reported = true;
        throw;
    }
}
