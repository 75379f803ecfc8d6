#include "about/Module.h"

#include "platform/Shell.h"

int OpenLink(const QString &target) {
    return platform::shellOpen(target);
}
