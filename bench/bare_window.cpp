// The yardstick for Zarnik's start-up: a bare Qt program that shows one empty window of the same
// client size and ends, like Zarnik under ZARNIK_BENCH_EXIT_ON_SHOW=1, once that window has been
// exposed and painted.
//
// With BARE_WINDOW_TEXT=1 the window also shows one line of text: the fonts a real program loads
// to draw its first caption are a large part of any start-up.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

class ExitOnFirstExpose : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed())
            QMetaObject::invokeMethod(
                qApp, [] { std::fflush(nullptr), std::_Exit(0); }, Qt::QueuedConnection);
        return false;
    }
};

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0"); // as Zarnik runs
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(332, 293); // Zarnik's client area at 15 twips per pixel
    if (qEnvironmentVariableIntValue("BARE_WINDOW_TEXT") == 1)
        (new QLabel(QStringLiteral("Окружность"), &window))->move(10, 10);
    ExitOnFirstExpose exitOnShow;
    if (qEnvironmentVariableIntValue("ZARNIK_BENCH_EXIT_ON_SHOW") == 1) {
        window.winId();
        window.windowHandle()->installEventFilter(&exitOnShow);
    }
    window.show();
    return app.exec();
}
