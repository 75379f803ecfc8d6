#include "platform/Application.h"

#include <QApplication>
#include <QByteArray>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace platform {

namespace {

// The first platform of a choice such as "wayland;xcb" or "vnc:size=800x600", without arguments.
QString firstPlatform(const QString &choice) {
    return choice.section(u';', 0, 0).section(u':', 0, 0).trimmed();
}

// What the program needs of the environment while Qt reads it; an empty value is no variable.
struct QtSetting {
    const char *name;
    const char *value;
};
constexpr QtSetting kOwnQtSettings[] = {
    {"QT_ENABLE_HIGHDPI_SCALING", "0"}, // no scale from the screen's dots per inch,
    {"QT_SCALE_FACTOR", ""},            // nor one for every screen,
    {"QT_SCREEN_SCALE_FACTORS", ""},    // nor one per screen
};

void setVariable(const char *name, const std::optional<QByteArray> &value) {
    if (value)
        qputenv(name, *value);
    else
        qunsetenv(name);
}

} // namespace

QString choosePlatform(const QString &commandLineChoice, const QString &environmentChoice) {
    const QString choice = commandLineChoice.isEmpty() ? environmentChoice : commandLineChoice;
    const QString first = firstPlatform(choice);
    if (first.isEmpty() || first.startsWith(u"wayland", Qt::CaseInsensitive))
        return QStringLiteral("xcb");
    return choice;
}

bool displayAvailable(const QString &platformName, const QString &displayOption) {
    if (firstPlatform(platformName).compare(u"xcb", Qt::CaseInsensitive) != 0)
        return true;
    const QByteArray displayName =
        displayOption.isEmpty() ? qgetenv("DISPLAY") : displayOption.toLocal8Bit();
    if (displayName.isEmpty()) {
        std::fprintf(stderr, "zarnik: no X display (the DISPLAY variable is not set); "
                             "start Zarnik from a graphical session.\n");
        return false;
    }
    // Qt aborts when it cannot reach the display; try it first and say what went wrong instead.
    xcb_connection_t *const connection = xcb_connect(displayName.constData(), nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!reached)
        std::fprintf(stderr,
                     "zarnik: cannot open the X display \"%s\"; "
                     "start Zarnik from a graphical session.\n",
                     displayName.constData());
    return reached;
}

std::unique_ptr<QApplication> makeApplication(int argc, char *argv[], const QString &platformName) {
    // The application object keeps its arguments for its whole life. The platform goes last:
    // Qt takes the last -platform it is given, and takes it over QT_QPA_PLATFORM.
    static std::vector<QByteArray> texts;
    static std::vector<char *> arguments;
    static int count = 0;
    texts.assign(argv, argv + argc);
    texts.push_back("-platform");
    texts.push_back(platformName.toLocal8Bit());
    arguments.clear();
    for (QByteArray &text : texts)
        arguments.push_back(text.data());
    arguments.push_back(nullptr);
    count = int(texts.size());

    std::vector<std::optional<QByteArray>> usersOwn;
    for (const QtSetting &setting : kOwnQtSettings) {
        usersOwn.push_back(qEnvironmentVariableIsSet(setting.name)
                               ? std::optional(qgetenv(setting.name))
                               : std::nullopt);
        setVariable(setting.name,
                    *setting.value ? std::optional(QByteArray(setting.value)) : std::nullopt);
    }
    auto application = std::make_unique<QApplication>(count, arguments.data());
    for (size_t i = 0; i < usersOwn.size(); ++i)
        setVariable(kOwnQtSettings[i].name, usersOwn[i]);
    return application;
}

void endApplication() {
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace platform
