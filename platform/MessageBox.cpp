#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QWindow>

namespace platform {

namespace {
WarningSink &warningSink() {
    static WarningSink sink;
    return sink;
}
} // namespace

void showWarning(const QString &text) {
    if (warningSink()) {
        warningSink()(text);
        return;
    }
    // No parent that could close and take the box with it while the box waits: the active window
    // only places the box and keeps it above itself.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Zarnik"), text, QMessageBox::Ok);
    if (const QWidget *owner = QApplication::activeWindow(); owner && owner->windowHandle()) {
        box.winId();
        box.windowHandle()->setTransientParent(owner->windowHandle());
    }
    box.exec();
}

void setWarningSinkForTesting(WarningSink sink) {
    warningSink() = std::move(sink);
}

} // namespace platform
