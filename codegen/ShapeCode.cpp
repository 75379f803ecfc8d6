#include "codegen/ShapeCode.h"

#include "codegen/CodeText.h"
#include "platform/Numbers.h"

namespace shapecode {

using codetext::lines;
using codetext::quoted;

namespace {

std::string n(int16_t value) {
    return platform::decimalText(value);
}

// Stored as a Long, as the generated code's call converts its quotient: halves to even.
int32_t pixels(int16_t twips, float twipsPerPixel) {
    return platform::toInt32(platform::pixelsFromTwips(twips, twipsPerPixel));
}

} // namespace

std::string ellipseDeclarations() {
    return lines({"Private Declare Function CreateEllipticRgn Lib _",
                  quoted("gdi32") + " (ByVal X1 As Long, ByVal Y1 As Long, _",
                  "ByVal X2 As Long, ByVal Y2 As Long) As Long"});
}

// The call lists the edges in the order of its arguments, left, top, right, bottom: P0, P1, P3, P2.
std::string ellipseProcedure(const EllipseParameters &p) {
    return lines({"Dim MakeCircle As String", "",
                  "MakeCircle = CreateEllipticRgn(" + n(p.P0) + "/ Screen.TwipsPerPixelX, _",
                  n(p.P1) + "/ Screen.TwipsPerPixelY, _", n(p.P3) + "/ Screen.TwipsPerPixelX, _",
                  n(p.P2) + "/ Screen.TwipsPerPixelY)",
                  "Call SetWindowRgn(Me.hWnd, MakeCircle, True)"});
}

std::string roundRectDeclarations() {
    return lines({"Private Declare Function CreateRoundRectRgn _",
                  "Lib" + quoted("gdi32") + "(ByVal X1 As Long, ByVal Y1 As Long, _",
                  "ByVal X2 As Long, ByVal Y2 As Long, ByVal X3 As Long, ByVal Y3 As Long) As Long",
                  ""});
}

// Arguments: left Q5, top Q4, right Q7, bottom Q6, corner width Q9, corner height Q8.
std::string roundRectProcedure(const RoundRectParameters &q) {
    return lines({"Dim MakeRegion As Long",
                  "MakeRegion = CreateRoundRectRgn(" + n(q.Q5) + " / Screen.TwipsPerPixelX, _",
                  n(q.Q4) + " / Screen.TwipsPerPixelY, _", n(q.Q7) + " / Screen.TwipsPerPixelX, _",
                  n(q.Q6) + "/ Screen.TwipsPerPixelY, _", n(q.Q9) + "," + n(q.Q8) + ")", ""}) +
           "Call SetWindowRgn(Me.hWnd, MakeRegion, True)";
}

std::array<int32_t, 4> ellipseRegionArguments(const EllipseParameters &p, float twipsPerPixelX,
                                              float twipsPerPixelY) {
    return {pixels(p.P0, twipsPerPixelX), pixels(p.P1, twipsPerPixelY),
            pixels(p.P3, twipsPerPixelX), pixels(p.P2, twipsPerPixelY)};
}

std::array<int32_t, 6> roundRectRegionArguments(const RoundRectParameters &q, float twipsPerPixelX,
                                                float twipsPerPixelY) {
    return {pixels(q.Q5, twipsPerPixelX),
            pixels(q.Q4, twipsPerPixelY),
            pixels(q.Q7, twipsPerPixelX),
            pixels(q.Q6, twipsPerPixelY),
            q.Q9,
            q.Q8};
}

} // namespace shapecode
