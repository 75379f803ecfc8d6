// Any text in a parameter box reads to a number or to the overflow error, never anything worse.
#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const double value = platform::numericPrefix(text);
    if (std::isnan(value))
        std::abort(); // a prefix is a number, an infinity at worst
    try {
        const int16_t rounded = platform::toInt16(value);
        if (std::fabs(double(rounded) - value) > 0.5)
            std::abort();
    } catch (const platform::RuntimeError &error) {
        if (error.number() != platform::ErrOverflow || std::fabs(value) < 32767.5)
            std::abort();
    }
    return 0;
}
