#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace platform {

// The run-time errors the program can raise. Conversions and table indices are checked, never
// wrapped: a value out of range stops the handler with one of these.
enum ErrorNumber : int {
    ErrOverflow = 6,
    ErrSubscriptOutOfRange = 9,
    ErrDivisionByZero = 11,
};

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number)
        : std::runtime_error("run-time error " + std::to_string(number))
        , m_number(number) {}
    int number() const { return m_number; }

private:
    int m_number;
};

// One step of a sequence in which each step is attempted even when an earlier one failed: a
// run-time error ends the step and nobody is told.
inline void resumeNext(const std::function<void()> &step) {
    try {
        step();
    } catch (const RuntimeError &) {
    }
}

} // namespace platform
