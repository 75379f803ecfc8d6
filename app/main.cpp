#include "app/MainForm.h"
#include "platform/Application.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    platform::prepareEnvironment();
    if (!platform::displayAvailable())
        return 1;

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Zarnik"));
    QIcon icon(QStringLiteral(":/icons/zarnik-32.png"));
    icon.addFile(QStringLiteral(":/icons/zarnik-16.png"));
    app.setWindowIcon(icon); // shared by the main, code and preview windows

    MainForm mainForm;
    mainForm.Form_Load(); // ends the program here when another copy runs
    mainForm.show();
    return app.exec();
}
