// The yardsticks for Zarnik's start-up, bare Qt programs that show one window of Zarnik's client
// size and run until they are ended (bench/run.sh times them from outside, as it times Zarnik).
//
//   bare_window        an empty QWidget;
//   bare_window menu   a QMainWindow with a menu bar of Zarnik's five captions over an empty
//                      central widget. An empty window loads no font; every window that shows a
//                      word pays for one, so this is the fair measure of what Zarnik adds.
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <cstring>

int main(int argc, char *argv[]) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0"); // as Zarnik runs
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    const bool withMenu = argc > 1 && std::strcmp(argv[1], "menu") == 0;
    QApplication app(argc, argv);
    const QSize client(332, 293); // Zarnik's client area at 15 twips per pixel

    QWidget empty;
    QMainWindow main;
    if (withMenu) {
        QMenu *create = main.menuBar()->addMenu(QStringLiteral("&Создать"));
        create->addAction(QStringLiteral("Окружность"));
        create->addAction(QStringLiteral("Прямоугольник"));
        for (const char *caption : {"&Пример", "&Код", "&Сброс", "&О программе..."})
            main.menuBar()->addAction(QString::fromUtf8(caption));
        auto *central = new QWidget;
        central->setFixedSize(client);
        main.setCentralWidget(central);
        main.setWindowTitle(QStringLiteral("bare menu"));
        main.show();
    } else {
        empty.resize(client);
        empty.setWindowTitle(QStringLiteral("bare"));
        empty.show();
    }
    return app.exec();
}
