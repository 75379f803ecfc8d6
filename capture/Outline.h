#pragma once

#include "platform/Coordinates.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The outline being traced on the main window: the point table with its closing copy of the first
// vertex, and the anchors of the joining lines.
struct Outline {
    static constexpr int kSlots = 501; // XY(0 To 500): 500 vertices and one closing copy

    int16_t PointCount = 0;
    std::array<Coordinates, kSlots> XY{};
    int16_t FirstX = 0;
    int16_t FirstY = 0;
    std::string ClosingLine;

    // Window positions in twips of the previous and the latest mouse-down; empty reads as 0.
    std::optional<float> PrevX, PrevY, CurX, CurY;

    // A mouse-down at (x, y) twips: the latest position becomes the previous one, and this one the
    // latest; on an empty outline both start here.
    void moveAnchors(float x, float y);

    // No vertices and no closing line. The table keeps its stale values: the next capture
    // overwrites what it needs.
    void clear();
};

// The point-assignment line "XY(i).X=x: XY(i).Y=y" with CR LF, integers in plain decimal.
std::string pointLine(int index, int32_t x, int32_t y);

// The line a right-button drag writes: the same shape, with the unrounded pixel quotients written
// as single-precision numbers ("." as the decimal separator, whatever the locale).
std::string dragLine(int index, float qx, float qy);

// Takes the vertex (px, py) into the outline: stores it, keeps the closing copy of the first vertex
// in the slot after it, counts it and rebuilds ClosingLine. A vertex whose closing copy would need
// slot 501 raises the subscript error (9) after storing itself in slot 500; PointCount and
// ClosingLine then keep their values.
void captureVertex(Outline &outline, int16_t px, int16_t py);

// A right-button drag goes on delivering vertices after the outline is full. The user is told at
// the first of them and again after each new mouse-down (or once the outline has had room again);
// the other vertices of one drag stop at the same step without a message.
class CapacityNotice {
public:
    void newMouseDown() { m_reported = false; }
    void captureVertex(Outline &outline, int16_t px, int16_t py);

private:
    bool m_reported = false;
};
