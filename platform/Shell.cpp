#include "platform/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {

constexpr int kShellSuccess = 42;   // any value above 32 means success to the caller
constexpr int kShellNoHandler = 31; // SE_ERR_NOASSOC: nothing is registered for the target

ShellOpener &shellOpener() {
    static ShellOpener opener;
    return opener;
}

} // namespace

QString shellTargetUrl(const QString &target) {
    return QString::fromUtf8(QUrl(target, QUrl::TolerantMode).toEncoded());
}

int shellOpen(const QString &target) {
    const bool opened = shellOpener() ? shellOpener()(target)
                                      : QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode));
    return opened ? kShellSuccess : kShellNoHandler;
}

void setShellOpenerForTesting(ShellOpener opener) {
    shellOpener() = std::move(opener);
}

} // namespace platform
