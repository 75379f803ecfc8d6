#include "platform/CommandLine.h"

#include "platform/Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace platform {

namespace {

// The options that QGuiApplication, QApplication and Qt's X11 platform take from the command line
// (Qt 6.4), with a value or without. Qt takes them with one dash or two.
QStringList qtOptionsWithValue() {
    return QStringLiteral(
               "platform platformpluginpath platformtheme plugin qwindowgeometry geometry "
               "qwindowicon icon qwindowtitle title session qmljsdebugger style "
               "stylesheet display name visual")
        .split(u' ');
}
QStringList qtFlags() {
    return QStringLiteral("reverse testability widgetcount nograb dograb").split(u' ');
}

QString qtOptionsText() {
    QStringList words;
    for (const QString &name : qtOptionsWithValue())
        words << u'-' + name + QStringLiteral(" <value>");
    for (const QString &name : qtFlags())
        words << u'-' + name;
    QString text = QStringLiteral("\nQt's own options, as every Qt program takes them:\n");
    QString line;
    for (const QString &word : words) {
        if (line.size() + word.size() > 78)
            text += line + u'\n', line.clear();
        line += u' ' + word;
    }
    return text + line + u'\n';
}

// The usage names the program as it was started, which only an application object knows.
QString usage(QCommandLineParser &parser, int argc, char *argv[]) {
    QCoreApplication application(argc, argv);
    return parser.helpText();
}

} // namespace

CommandLine readCommandLine(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions); // -platform
    parser.setApplicationDescription(QStringLiteral(
        "Writes the Visual Basic code that gives a window a non-rectangular shape."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const QString &name : qtOptionsWithValue() + qtFlags()) {
        QCommandLineOption option(name);
        if (qtOptionsWithValue().contains(name))
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine commandLine;
    QString mistake;
    if (!parser.parse(arguments))
        mistake = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        mistake = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]);
    if (!mistake.isEmpty()) {
        std::fprintf(stderr, "zarnik: %s\n\n%s", qPrintable(mistake),
                     qPrintable(usage(parser, argc, argv)));
        commandLine.exitStatus = 2;
    } else if (parser.isSet(version)) {
        const AppVersion v = applicationVersion();
        std::printf("zarnik %d.%d.%d\n", v.major, v.minor, v.revision);
        commandLine.exitStatus = 0;
    } else if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        QString text = usage(parser, argc, argv);
        if (parser.isSet(QStringLiteral("help-all")))
            text += qtOptionsText();
        std::fputs(qPrintable(text), stdout);
        commandLine.exitStatus = 0;
    }
    commandLine.platformName = parser.value(QStringLiteral("platform"));
    commandLine.displayName = parser.value(QStringLiteral("display"));
    return commandLine;
}

} // namespace platform
