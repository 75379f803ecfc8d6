#pragma once

#include <QString>
#include <functional>

namespace platform {

// The shell's "open" verb: hands a web address or a mail link to the desktop's handler for it.
// Returns a result code in the shell's manner (greater than 32 on success); callers may ignore it.
int shellOpen(const QString &target);

// The text as the desktop's handler receives it: a valid URL, with characters that may not stand
// in one (a blank in a mail subject, say) percent-encoded.
QString shellTargetUrl(const QString &target);

// Tests put a recorder in place of the desktop's handler. Pass an empty function to restore it.
using ShellOpener = std::function<bool(const QString &target)>;
void setShellOpenerForTesting(ShellOpener opener);

} // namespace platform
