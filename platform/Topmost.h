#pragma once

class QWidget;

namespace platform {

constexpr int HWND_TOPMOST = -1;
constexpr int HWND_NOTOPMOST = -2;
constexpr unsigned SWP_NOACTIVATE = 0x10;
constexpr unsigned SWP_SHOWWINDOW = 0x40;

// SetWindowPos as the code window uses it: insertAfter HWND_TOPMOST or HWND_NOTOPMOST changes the
// window's topmost state; x, y, cx, cy (pixels) are its outer frame; SWP_SHOWWINDOW shows it and
// SWP_NOACTIVATE keeps the activation where it is. Any other insertAfter leaves the stacking alone.
void SetWindowPos(QWidget *window, int insertAfter, int x, int y, int cx, int cy, unsigned flags);

// Whether the window is kept above the others.
bool isTopmost(const QWidget *window);

} // namespace platform
