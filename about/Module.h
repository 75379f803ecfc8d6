#pragma once

#include <QString>

// Opens a web or mail link with the shell's "open" action and returns the shell's result code,
// which no caller looks at.
int OpenLink(const QString &target);
