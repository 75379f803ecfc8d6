#include "codegen/PolygonCode.h"

#include "codegen/CodeText.h"
#include "platform/Numbers.h"

using codetext::lines;
using codetext::quoted;

std::string PolygonCode::procedureText(int pointCount, std::string_view previousText,
                                       std::string_view closingLine) {
    const std::string n = platform::decimalText(pointCount);
    return lines({"Dim hRgn As Long", "", "ReDim XY(" + n + ") As Coordinates", ""}) +
           std::string(previousText) + std::string(closingLine) + // which brings its own line end
           lines({"", "hRgn = CreatePolygonRgn(XY(0)," + n + ", 2)",
                  "Call SetWindowRgn(Me.hWnd, hRgn, True)"});
}

std::string PolygonCode::declarationsText() {
    return lines({"Private Type Coordinates", "X As Long", "Y As Long", "End Type",
                  "Dim XY() As Coordinates", "", "Private Declare Function SetWindowRgn Lib _",
                  quoted("user32") + " (ByVal hWnd As Long, _",
                  "ByVal hRgn As Long, ByVal bRedraw As Long) As Long",
                  "Private Declare Function CreatePolygonRgn Lib _",
                  quoted("gdi32") + "(lpPoint As Coordinates, ByVal nCount As _"}) +
           "Long, ByVal nPolyFillMode As Long) As Long";
}
