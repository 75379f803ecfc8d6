#include "codegen/ShapeCode.h"

#include "platform/Numbers.h"

namespace shapecode {

namespace {

constexpr char kLineEnd[] = "\r\n";

std::string n(int16_t value) {
    return platform::decimalText(value);
}

// Stored as a Long, as the generated code's call converts its quotient: halves to even.
int32_t pixels(int16_t twips, float twipsPerPixel) {
    return platform::toInt32(platform::pixelsFromTwips(twips, twipsPerPixel));
}

} // namespace

std::string ellipseDeclarations() {
    std::string text;
    text += "Private Declare Function CreateEllipticRgn Lib _";
    text += kLineEnd;
    text += "\"gdi32\" (ByVal X1 As Long, ByVal Y1 As Long, _";
    text += kLineEnd;
    text += "ByVal X2 As Long, ByVal Y2 As Long) As Long";
    text += kLineEnd;
    return text;
}

// The call lists the edges in the order of its arguments, left, top, right, bottom: P0, P1, P3, P2.
std::string ellipseProcedure(const EllipseParameters &p) {
    std::string text;
    text += "Dim MakeCircle As String";
    text += kLineEnd;
    text += kLineEnd;
    text += "MakeCircle = CreateEllipticRgn(" + n(p.P0) + "/ Screen.TwipsPerPixelX, _";
    text += kLineEnd;
    text += n(p.P1) + "/ Screen.TwipsPerPixelY, _";
    text += kLineEnd;
    text += n(p.P3) + "/ Screen.TwipsPerPixelX, _";
    text += kLineEnd;
    text += n(p.P2) + "/ Screen.TwipsPerPixelY)";
    text += kLineEnd;
    text += "Call SetWindowRgn(Me.hWnd, MakeCircle, True)";
    text += kLineEnd;
    return text;
}

std::string roundRectDeclarations() {
    std::string text;
    text += "Private Declare Function CreateRoundRectRgn _";
    text += kLineEnd;
    text += "Lib\"gdi32\"(ByVal X1 As Long, ByVal Y1 As Long, _";
    text += kLineEnd;
    text += "ByVal X2 As Long, ByVal Y2 As Long, ByVal X3 As Long, ByVal Y3 As Long) As Long";
    text += kLineEnd;
    text += kLineEnd;
    return text;
}

// Arguments: left Q5, top Q4, right Q7, bottom Q6, corner width Q9, corner height Q8.
std::string roundRectProcedure(const RoundRectParameters &q) {
    std::string text;
    text += "Dim MakeRegion As Long";
    text += kLineEnd;
    text += "MakeRegion = CreateRoundRectRgn(" + n(q.Q5) + " / Screen.TwipsPerPixelX, _";
    text += kLineEnd;
    text += n(q.Q4) + " / Screen.TwipsPerPixelY, _";
    text += kLineEnd;
    text += n(q.Q7) + " / Screen.TwipsPerPixelX, _";
    text += kLineEnd;
    text += n(q.Q6) + "/ Screen.TwipsPerPixelY, _";
    text += kLineEnd;
    text += n(q.Q9) + "," + n(q.Q8) + ")";
    text += kLineEnd;
    text += kLineEnd;
    text += "Call SetWindowRgn(Me.hWnd, MakeRegion, True)";
    return text;
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
