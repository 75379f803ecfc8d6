#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

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
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Zarnik"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void setWarningSinkForTesting(WarningSink sink) {
    warningSink() = std::move(sink);
}

} // namespace platform
