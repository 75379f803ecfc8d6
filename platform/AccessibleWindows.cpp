#include "platform/AccessibleWindows.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDialog>
#include <QMainWindow>
#include <QVariant>
#include <QWidget>

namespace platform {

namespace {

constexpr char kDialogProperty[] = "zarnikAccessibleDialog";

// Asked for the role each time, so that a window described as a dialog after its first report
// still says so.
class AccessibleWindow : public QAccessibleWidget {
public:
    explicit AccessibleWindow(QWidget *window)
        : QAccessibleWidget(window, QAccessible::Window) {}

    QAccessible::Role role() const override {
        return widget()->property(kDialogProperty).toBool() ? QAccessible::Dialog
                                                            : QAccessible::Window;
    }
};

QAccessibleInterface *describeWindow(const QString &, QObject *object) {
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->isWindow())
        return nullptr;
    // Qt describes its own kinds of window well: main windows, dialogs, and the menus and tool
    // tips, which are windows of other types.
    const Qt::WindowType type = widget->windowType();
    if ((type != Qt::Window && type != Qt::Dialog) || qobject_cast<QMainWindow *>(widget) ||
        qobject_cast<QDialog *>(widget))
        return nullptr;
    return new AccessibleWindow(widget);
}

} // namespace

void installAccessibleWindows() {
    QAccessible::installFactory(describeWindow);
}

void describeAsDialog(QWidget *window, const QString &name) {
    window->setProperty(kDialogProperty, true);
    window->setAccessibleName(name);
}

} // namespace platform
