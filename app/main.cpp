#include "app/MainForm.h"
#include "platform/AccessibleWindows.h"
#include "platform/Application.h"
#include "platform/CommandLine.h"
#include "platform/QtTranslation.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

// For the start-up benchmark (bench/run.sh): with ZARNIK_BENCH_EXIT_ON_SHOW=1 the program ends as
// soon as the main window has been exposed and painted. bench/bare_window.cpp does the same.
class ExitOnFirstExpose : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed())
            QMetaObject::invokeMethod( // after the window's own handling of the expose: the paint
                qApp, [] { std::fflush(nullptr), std::_Exit(0); }, Qt::QueuedConnection);
        return false;
    }
};

} // namespace

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
    ExitOnFirstExpose exitOnShow;
    if (qEnvironmentVariableIntValue("ZARNIK_BENCH_EXIT_ON_SHOW") == 1) {
        mainForm.winId(); // makes the native window, so that its events can be watched
        mainForm.windowHandle()->installEventFilter(&exitOnShow);
    }
    mainForm.show();
    return app->exec();
}
