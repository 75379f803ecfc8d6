#pragma once

#include <array>
#include <cstdint>
#include <string>

// The Visual Basic text and the pixel figures of the two parametric shapes, the ellipse and the
// rectangle with rounded corners. Parameters are the 16-bit values read from the panel boxes, in
// twips except the corner ellipse's width and height, which are pixels.
namespace shapecode {

// The four boxes of the ellipse panel, P0 to P3 by box. P0 is the left edge, P1 the top edge, P3
// the right edge and P2 the bottom edge: the last two are coordinates, not a size.
struct EllipseParameters {
    int16_t P0 = 0, P1 = 0, P2 = 0, P3 = 0;
};

// The six boxes of the rounded-rectangle panel, Q4 to Q9 by box. Q5 is the left edge, Q4 the top,
// Q7 the right and Q6 the bottom edge; Q9 and Q8 are the corner ellipse's width and height.
struct RoundRectParameters {
    int16_t Q4 = 0, Q5 = 0, Q6 = 0, Q7 = 0, Q8 = 0, Q9 = 0;
};

// Three declaration lines, each ending in CR LF, put in front of the declarations box.
std::string ellipseDeclarations();
// Seven procedure lines, each ending in CR LF.
std::string ellipseProcedure(const EllipseParameters &p);

// Three declaration lines and an empty one, each ending in CR LF.
std::string roundRectDeclarations();
// Eight procedure lines; the last one, the Call, has no line end.
std::string roundRectProcedure(const RoundRectParameters &q);

// The arguments of CreateEllipticRgn: left, top, right, bottom in pixels, each divided by its
// axis's twips per pixel in single precision, as the generated code divides an Integer by
// Screen.TwipsPerPixelX, and rounded halves to even; a result beyond 32 bits is the overflow error.
std::array<int32_t, 4> ellipseRegionArguments(const EllipseParameters &p, float twipsPerPixelX,
                                              float twipsPerPixelY);

// The arguments of CreateRoundRectRgn: left, top, right, bottom in pixels, then the corner
// ellipse's width and height, passed as typed.
std::array<int32_t, 6> roundRectRegionArguments(const RoundRectParameters &q, float twipsPerPixelX,
                                                float twipsPerPixelY);

} // namespace shapecode
