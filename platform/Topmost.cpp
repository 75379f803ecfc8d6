#include "platform/Topmost.h"

#include <QWidget>
#include <QWindow>

namespace platform {

void SetWindowPos(QWidget *window, int insertAfter, int x, int y, int cx, int cy, unsigned flags) {
    if (!window)
        return;
    // Changing a shown widget's window flags makes Qt hide and re-create it. The native window
    // takes the stays-on-top hint in place instead (on X11 the _NET_WM_STATE_ABOVE state).
    window->winId();
    QWindow *native = window->windowHandle();
    if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        native->setFlag(Qt::WindowStaysOnTopHint, insertAfter == HWND_TOPMOST);
    }

    const QRect frame = window->frameGeometry();
    if (frame.topLeft() != QPoint(x, y))
        window->move(x, y);
    const QSize margins = frame.size() - window->size();
    const QSize client(cx - margins.width(), cy - margins.height());
    if (frame.size() != QSize(cx, cy) && client.isValid())
        window->resize(client);

    if (flags & SWP_SHOWWINDOW && !window->isVisible()) {
        const bool quiet = window->testAttribute(Qt::WA_ShowWithoutActivating);
        window->setAttribute(Qt::WA_ShowWithoutActivating, flags & SWP_NOACTIVATE);
        window->show();
        window->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
    }
}

bool isTopmost(const QWidget *window) {
    const QWindow *native = window ? window->windowHandle() : nullptr;
    return native && native->flags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace platform
