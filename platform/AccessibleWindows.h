#pragma once

#include <QString>

class QWidget;

namespace platform {

// Screen readers learn of windows through the accessibility bus, where Qt describes a window made
// from a plain widget as a filler. After this call every such window is a window, named by its
// caption. Call it once the application object exists.
void installAccessibleWindows();

// Makes a window a dialog to screen readers, named `name`: for a window whose caption is empty.
void describeAsDialog(QWidget *window, const QString &name);

} // namespace platform
