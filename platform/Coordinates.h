#pragma once

#include <cstdint>

// A vertex in pixels, relative to the top-left corner of a window's client area. The generated
// Visual Basic code declares the same record under the same name.
struct Coordinates {
    int32_t X = 0;
    int32_t Y = 0;
};
