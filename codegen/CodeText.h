#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Visual Basic source as the three generators write it.
namespace codetext {

// Each line followed by CR LF.
inline std::string lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// A library name between double quotes, each written once: the text is source, not a string.
inline std::string quoted(std::string_view library) {
    return '"' + std::string(library) + '"';
}

} // namespace codetext
