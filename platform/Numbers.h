#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The number rules of the forms toolkit's runtime, as the generated code and the handlers use them.
namespace platform {

// Reads the numeric prefix of a text box: blanks, tabs and line feeds are skipped wherever they
// stand; then an optional sign, digits with at most one "." and an optional exponent introduced
// by E or D; or "&H" / "&O" followed by a hexadecimal or octal integer in two's complement, 16 or
// 32 bits wide. A text without a leading number reads as 0. The decimal point is always ".",
// whatever the locale. A number beyond every range (too many hexadecimal digits, an exponent past
// what a double holds) reads as an infinity, which the conversions report as an overflow.
double numericPrefix(std::string_view text);

// Rounds to the nearest integer, a half going to the even neighbour. A result outside the target
// range (or a value that is not a number) raises run-time error 6, never wraps.
int16_t toInt16(double value);
int32_t toInt32(double value);

// 16-bit addition, checked like every other conversion.
int16_t addInt16(int16_t a, int16_t b);

// A position or a length in twips as pixels: divided by the twips per pixel in single precision, as
// the runtime divides by Screen.TwipsPerPixelX, and not rounded, as each caller rounds in its own
// way. A zero factor, which no screen gives, is the runtime's division by zero (error 11), or an
// overflow (6) for zero by zero.
float pixelsFromTwips(float twips, float twipsPerPixel);

// An integer in plain decimal: digits, a "-" before negatives, no blank, no leading zero.
std::string decimalText(int64_t value);

// A single-precision value as the runtime prints it: rounded to at most seven significant digits,
// trailing zeros dropped, a whole value without a decimal point, and "." as the decimal separator
// (the text goes into Visual Basic source, where the separator is never a comma).
std::string singleText(float value);

} // namespace platform
