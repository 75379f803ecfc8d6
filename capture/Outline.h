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
};
