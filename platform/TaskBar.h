#pragma once

class QWidget;

namespace platform {

// Keeps a top-level window out of the desktop's task bar, or puts it back. Unlike a tool window,
// such a window still counts as one of the program's open windows: the program ends only when it
// has closed too. On X11 this is the _NET_WM_STATE_SKIP_TASKBAR state; elsewhere nothing happens.
void setShownInTaskBar(QWidget *window, bool shown);

} // namespace platform
