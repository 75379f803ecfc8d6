#include "codegen/PolygonCode.h"

#include "platform/Numbers.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr char kQuote = '"'; // around a library name, written once: it is Visual Basic source

constexpr std::string_view kCallLine = "Call SetWindowRgn(Me.hWnd, hRgn, True)";
constexpr std::string_view kRegionLineStart = "hRgn = CreatePolygonRgn(XY(0),";
constexpr std::string_view kRegionLineEnd = ", 2)";
constexpr std::string_view kSizingLineStart = "ReDim XY(";
constexpr std::string_view kSizingLineEnd = ") As Coordinates";
constexpr std::string_view kHandleDeclaration = "Dim hRgn As Long";

} // namespace

std::string PolygonCode::procedureText(int pointCount, std::string_view previousText,
                                       std::string_view closingLine) {
    const std::string n = platform::decimalText(pointCount);
    std::string sizingLine = std::string(kSizingLineStart) + n + std::string(kSizingLineEnd);
    std::string regionLine = std::string(kRegionLineStart) + n + std::string(kRegionLineEnd);

    std::string text;
    text += kHandleDeclaration;
    text += kLineEnd;
    text += kLineEnd;
    text += sizingLine;
    text += kLineEnd;
    text += kLineEnd;
    text += previousText;
    text += closingLine; // brings its own line end
    text += kLineEnd;
    text += regionLine;
    text += kLineEnd;
    text += kCallLine;
    text += kLineEnd;
    return text;
}

std::string PolygonCode::declarationsText() {
    std::string text;
    const auto line = [&text](std::string_view content) {
        text += content;
        text += kLineEnd;
    };
    line("Private Type Coordinates");
    line("X As Long");
    line("Y As Long");
    line("End Type");
    line("Dim XY() As Coordinates");
    line("");
    line("Private Declare Function SetWindowRgn Lib _");
    line(std::string(1, kQuote) + "user32" + kQuote + " (ByVal hWnd As Long, _");
    line("ByVal hRgn As Long, ByVal bRedraw As Long) As Long");
    line("Private Declare Function CreatePolygonRgn Lib _");
    line(std::string(1, kQuote) + "gdi32" + kQuote + "(lpPoint As Coordinates, ByVal nCount As _");
    text += "Long, ByVal nPolyFillMode As Long) As Long";
    return text;
}
