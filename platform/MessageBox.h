#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace platform {

// The program's own message box: the text, the exclamation icon, one OK button and the title
// "Zarnik". Waits until the user dismisses it.
void showWarning(const QString &text);

// The message the user sees for a run-time error: its number and its meaning, in Russian.
QString runtimeErrorText(int number);

// Every event handler runs through here. A run-time error stops the handler at the failing step
// (what it did before stays) and is reported in the program's message box.
void runHandler(const std::function<void()> &handler);

// Whether the activation of the window now comes from the program's own message box closing, not
// from the user coming back from another window (of this program or another one).
bool activationFollowsMessageBox(const QWidget *window);

// Tests replace the box by a recorder so that nothing waits for a click. Pass an empty function
// to restore the real box.
using WarningSink = std::function<void(const QString &text)>;
void setWarningSinkForTesting(WarningSink sink);

} // namespace platform
