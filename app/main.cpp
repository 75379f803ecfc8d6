#include "app/MainForm.h"
#include "platform/AccessibleWindows.h"
#include "platform/Application.h"
#include "platform/CommandLine.h"
#include "platform/QtTranslation.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    const platform::CommandLine commandLine = platform::readCommandLine(argc, argv);
    if (commandLine.exitStatus)
        return *commandLine.exitStatus;
    const QString platformName =
        platform::choosePlatform(commandLine.platformName, qEnvironmentVariable("QT_QPA_PLATFORM"));
    if (!platform::displayAvailable(platformName, commandLine.displayName))
        return 1;

    const std::unique_ptr<QApplication> app = platform::makeApplication(argc, argv, platformName);
    platform::loadQtRussianTexts();
    platform::installAccessibleWindows();
    app->setApplicationName(QStringLiteral("Zarnik"));
    QIcon icon(QStringLiteral(":/icons/zarnik-32.png"));
    icon.addFile(QStringLiteral(":/icons/zarnik-16.png"));
    app->setWindowIcon(icon); // shared by the main, code and preview windows

    MainForm mainForm;
    mainForm.Form_Load(); // ends the program here when another copy runs
    mainForm.show();
    return app->exec();
}
