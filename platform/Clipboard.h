#pragma once

#include <QString>

namespace platform {

// Puts plain text on the clipboard, replacing its text; CR LF line ends are kept byte for byte.
void putClipboardText(const QString &text);

} // namespace platform
