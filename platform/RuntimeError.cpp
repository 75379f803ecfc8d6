#include "platform/RuntimeError.h"

#include "platform/MessageBox.h"

namespace platform {

namespace {

QString meaningOf(int number) {
    switch (number) {
    case ErrOverflow:
        return QStringLiteral("Переполнение");
    case ErrSubscriptOutOfRange:
        return QStringLiteral("Индекс выходит за пределы допустимого диапазона");
    case ErrDivisionByZero:
        return QStringLiteral("Деление на ноль");
    default:
        return QStringLiteral("Ошибка, определяемая приложением или объектом");
    }
}

} // namespace

RuntimeError::RuntimeError(int number)
    : std::runtime_error("run-time error " + std::to_string(number))
    , m_number(number) {}

QString runtimeErrorText(int number) {
    return QStringLiteral("Ошибка выполнения '%1':\n\n%2").arg(number).arg(meaningOf(number));
}

void runHandler(const std::function<void()> &handler) {
    try {
        handler();
    } catch (const RuntimeError &error) {
        showWarning(runtimeErrorText(error.number()));
    }
}

bool resumeNext(const std::function<void()> &step) {
    try {
        step();
        return true;
    } catch (const RuntimeError &) {
        return false;
    }
}

} // namespace platform
