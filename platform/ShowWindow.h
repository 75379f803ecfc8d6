#pragma once

class QWidget;

namespace platform {

// Whether a window that is shown takes the keyboard.
enum class Focus { Take, Leave };

// Shows a top-level window as a user expects a program's Show to: visible, back from an icon when
// it was minimised (also while hidden), in front, and active unless told to leave the focus.
void showRestored(QWidget *window, Focus focus = Focus::Take);

} // namespace platform
