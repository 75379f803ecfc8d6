#include "platform/ShowWindow.h"

#include <QWidget>

namespace platform {

void showRestored(QWidget *window, Focus focus) {
    // A minimised window stays "visible" to Qt: show() alone leaves it an icon, and a hidden one
    // would come back as one.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    if (focus == Focus::Take)
        window->activateWindow();
}

} // namespace platform
