#pragma once

#include <QMargins>
#include <QRect>

#include <functional>

class QWidget;

namespace platform {

// The frame a window manager puts around a top-level window (on X11 its _NET_FRAME_EXTENTS), or
// Qt's idea of it where the manager gives none. No frame without a window manager.
QMargins frameExtents(const QWidget *window);

// The window's outer rectangle on the screen, frame included: its Left, Top, Width and Height in
// the forms toolkit's terms.
QRect outerGeometry(const QWidget *window);

// Puts the window's outer top-left corner at `topLeft`, keeping its size.
void moveOuterTo(QWidget *window, const QPoint &topLeft);

// Puts the window's outer frame in the middle of its screen's available area.
void centreOnScreen(QWidget *window);

// Before a window's first showing: asks the window manager what frame it will put around the
// window, and waits a moment for the answer, so that the window can be placed by its outer frame
// before it appears. Nothing happens where no window manager takes the question.
void askFrameExtents(QWidget *window);

// Calls `changed` after each new frame the window manager gives the window, for as long as the
// window lives. Qt itself sends no event for it.
void watchFrameExtents(QWidget *window, std::function<void()> changed);

} // namespace platform
