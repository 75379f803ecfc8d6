#include "platform/Numbers.h"

#include "platform/RuntimeError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace platform {

namespace {

bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Walks a text, passing over the characters that the reading ignores wherever they stand.
class Reader {
public:
    explicit Reader(std::string_view text)
        : m_text(text) {}
    char peek() {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void next() { ++m_pos; }

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

// "&H" and "&O" texts are integers in two's complement, 16 bits wide or 32. A hexadecimal text
// takes its width from its number of digits, leading zeros included (one to four: 16 bits, five to
// eight: 32, more: overflow); an octal text from its value. An overflow reads as an infinity, which
// the conversion that follows reports as the overflow error.
double readRadixInteger(Reader &reader, int radix) {
    constexpr uint64_t k16Bits = 0xFFFF, k32Bits = 0xFFFFFFFF;
    uint64_t value = 0;
    int digits = 0;
    for (int digit = hexValue(reader.peek()); digit >= 0 && digit < radix;
         digit = hexValue(reader.peek())) {
        // Past 32 bits, or past eight digits, is as far as it matters.
        value = std::min(value * radix + digit, k32Bits + 1);
        digits = std::min(digits + 1, 9);
        reader.next();
    }
    const bool wide = radix == 16 ? digits > 4 : value > k16Bits;
    if ((radix == 16 && digits > 8) || value > k32Bits)
        return std::numeric_limits<double>::infinity();
    const uint64_t signBit = wide ? 0x80000000 : 0x8000;
    return value & signBit ? double(value) - double(signBit) * 2 : double(value);
}

// Digits are gathered into a clean text and handed to from_chars, which is exact and ignores the
// locale. The exponent is gathered as a number of its own and capped, so a text of thousands of
// exponent digits costs no more than a short one.
double readDecimal(Reader &reader) {
    std::string mantissa;
    bool negative = false;
    if (reader.peek() == '+' || reader.peek() == '-') {
        negative = reader.peek() == '-';
        reader.next();
    }
    bool seenPoint = false;
    bool seenDigit = false;
    for (char c = reader.peek();; c = reader.peek()) {
        if (isDigit(c)) {
            seenDigit = true;
            mantissa += c;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            mantissa += c;
        } else {
            break;
        }
        reader.next();
    }
    if (!seenDigit)
        return 0;

    long exponent = 0;
    const char e = reader.peek();
    if (e == 'e' || e == 'E' || e == 'd' || e == 'D') {
        reader.next();
        bool negativeExponent = false;
        if (reader.peek() == '+' || reader.peek() == '-') {
            negativeExponent = reader.peek() == '-';
            reader.next();
        }
        constexpr long kExponentCap = 100000;
        while (isDigit(reader.peek())) {
            if (exponent < kExponentCap)
                exponent = exponent * 10 + (reader.peek() - '0');
            reader.next();
        }
        if (negativeExponent)
            exponent = -exponent;
    }

    const std::string number = mantissa + "e" + std::to_string(exponent);
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here: decide between an underflow to zero and an
        // overflow by where the first significant digit stands. The conversion that follows
        // reports the overflow.
        const size_t point = std::min(mantissa.find('.'), mantissa.size());
        const size_t first = mantissa.find_first_of("123456789");
        const long magnitude = long(point) - long(first) + exponent; // above 0: at least 1
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

template <typename Int> Int roundChecked(double value) {
    // nearbyint rounds in the default mode, to nearest with halves to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max()))
        throw RuntimeError(ErrOverflow);
    return static_cast<Int>(rounded);
}

} // namespace

double numericPrefix(std::string_view text) {
    Reader reader(text);
    if (reader.peek() == '&') {
        reader.next();
        const char kind = reader.peek();
        if (kind == 'h' || kind == 'H') {
            reader.next();
            return readRadixInteger(reader, 16);
        }
        if (kind == 'o' || kind == 'O') {
            reader.next();
            return readRadixInteger(reader, 8);
        }
        return 0;
    }
    return readDecimal(reader);
}

int16_t toInt16(double value) {
    return roundChecked<int16_t>(value);
}

int32_t toInt32(double value) {
    return roundChecked<int32_t>(value);
}

int16_t addInt16(int16_t a, int16_t b) {
    return toInt16(double(a) + double(b));
}

float pixelsFromTwips(float twips, float twipsPerPixel) {
    if (twipsPerPixel == 0.0f) // the runtime's floating-point faults: zero by zero is an overflow
        throw RuntimeError(twips == 0.0f ? ErrOverflow : ErrDivisionByZero);
    return twips / twipsPerPixel;
}

std::string decimalText(int64_t value) {
    return std::to_string(value);
}

std::string singleText(float value) {
    if (value == 0.0f)
        return "0"; // also for -0, which the runtime prints as 0
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
    std::string text(buffer, result.ptr);
    // The runtime writes exponents as E+07 / E-05.
    const auto e = text.find('e');
    if (e != std::string::npos)
        text[e] = 'E';
    return text;
}

} // namespace platform
