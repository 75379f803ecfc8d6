#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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
    // The program's own caption, whatever Qt's translation of its standard button says.
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

void setWarningSinkForTesting(WarningSink sink) {
    warningSink() = std::move(sink);
}

} // namespace platform
