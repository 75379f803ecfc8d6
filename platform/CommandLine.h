#pragma once

#include <QString>

#include <optional>

namespace platform {

// What the command line asks of the program before it starts.
struct CommandLine {
    std::optional<int> exitStatus; // set when the program ends at once, having answered
    QString platformName;          // Qt's -platform option, when given
    QString displayName;           // Qt's -display option, when given
};

// Reads the arguments as a Qt program does, before there is an application object. --help and
// --version print their answer on standard output (status 0); an unknown option or an argument
// prints an error and the usage on standard error (status 2). Qt's own options (-platform,
// -display, -style, ...) are accepted and stay in argv for the application object to take.
CommandLine readCommandLine(int argc, char *argv[]);

} // namespace platform
