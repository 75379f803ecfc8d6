#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

void putClipboardText(const QString &text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

} // namespace platform
