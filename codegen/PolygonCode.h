#pragma once

#include <string>
#include <string_view>

// The Visual Basic text that rebuilds a traced outline as a window region: a procedure that fills
// the point table and shapes the form, and the declarations it needs.
struct PolygonCode {
    // The procedure: the table sized for the n points and their closing copy, the point lines
    // collected so far (taken as they are), the closing line, then the region made from n points
    // and applied to the form. Every line ends in CR LF.
    static std::string procedureText(int pointCount, std::string_view previousText,
                                     std::string_view closingLine);

    // The point record, the table and the two library functions. The last line has no line end,
    // so the text can be pasted in front of other code without a blank line.
    static std::string declarationsText();
};
