#include "platform/MessageBox.h"

#include "platform/RuntimeError.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWindow>

namespace platform {

namespace {

WarningSink &warningSink() {
    static WarningSink sink;
    return sink;
}

// Where the focus has been, as the application reports it: whether the window that has it, and the
// one before, are the program's own message box. The box's window goes with the box before the
// desktop moves the focus, so nothing is reported in between: the next report is the window that
// gets the focus back from the box.
struct FocusHistory {
    QPointer<QWindow> box; // the box on screen, if any
    QPointer<QWindow> focused;
    bool focusedIsBox = false;
    bool previousIsBox = false;
};

FocusHistory &focusHistory() {
    static FocusHistory history;
    static const bool following = [] {
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, qApp, [](QWindow *window) {
            history.previousIsBox = history.focusedIsBox;
            history.focusedIsBox = window && window == history.box;
            history.focused = window;
        });
        return true;
    }();
    Q_UNUSED(following);
    return history;
}

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

void showWarning(const QString &text) {
    if (warningSink()) {
        warningSink()(text);
        return;
    }
    // No parent that could close and take the box with it while the box waits: the active window
    // only places the box and keeps it above itself.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Zarnik"), text, QMessageBox::Ok);
    box.winId();
    if (const QWidget *owner = QApplication::activeWindow(); owner && owner->windowHandle())
        box.windowHandle()->setTransientParent(owner->windowHandle());
    // The program's own caption, whatever Qt's translation of its standard button says.
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    focusHistory().box = box.windowHandle();
    box.exec();
}

bool activationFollowsMessageBox(const QWidget *window) {
    const FocusHistory &history = focusHistory();
    // Qt tells the window of its activation before it reports the new focus window; should the
    // report come first, the box is the window before.
    const QWindow *handle = window ? window->windowHandle() : nullptr;
    return handle && history.focused == handle ? history.previousIsBox : history.focusedIsBox;
}

void setWarningSinkForTesting(WarningSink sink) {
    warningSink() = std::move(sink);
}

} // namespace platform
