#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

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
    explicit RuntimeError(int number);
    int number() const { return m_number; }

private:
    int m_number;
};

// The message the user sees for an error: its number and its meaning, in Russian.
QString runtimeErrorText(int number);

// Every event handler runs through here. A run-time error stops the handler at the failing step
// (what it did before stays) and is reported in the program's message box.
void runHandler(const std::function<void()> &handler);

// One step of a sequence in which each step is attempted even when an earlier one failed.
// Returns false when the step raised a run-time error; nothing is reported.
bool resumeNext(const std::function<void()> &step);

} // namespace platform
