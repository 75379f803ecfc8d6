#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"
#include "platform/SingleInstance.h"
#include "platform/Topmost.h"
#include "platform/WindowRegion.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <unistd.h>

using namespace platform;

// Started as a child of this test: takes the session's lock and reports whether another copy held
// it first; with --hold it then keeps running until killed.
static int runInstanceChild(bool hold) {
    const bool running = previousInstanceRunning();
    std::printf("%s\n", running ? "running" : "first");
    std::fflush(stdout);
    while (hold)
        ::pause();
    return 0;
}

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    // A run-time error stops the step it happens in: reported by a handler, swallowed by
    // On Error Resume Next; the next step runs either way.
    void errorsStopTheirStep() {
        QStringList shown, steps;
        setWarningSinkForTesting([&](const QString &text) { shown << text; });
        runHandler([&] {
            steps << "before";
            throw RuntimeError(ErrSubscriptOutOfRange);
            steps << "after";
        });
        runHandler([&] { steps << "clean"; });
        setWarningSinkForTesting({});
        QCOMPARE(steps, QStringList({"before", "clean"}));
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].contains("'9'"));
        QVERIFY(shown[0].contains(QStringLiteral("Индекс")));
        QVERIFY(runtimeErrorText(ErrOverflow).contains(QStringLiteral("Переполнение")));

        QVERIFY(!resumeNext([&] { throw RuntimeError(ErrOverflow); }));
        QVERIFY(resumeNext([&] { steps << "resumed"; }));
        QCOMPARE(steps.last(), QStringLiteral("resumed"));
    }

    void twipsPerPixelFollowsTheScreenUnlessFixed() {
        // The offscreen screen reports 96 dpi.
        QCOMPARE(twipsPerPixelX(), 15.0f);
        setTwipsPerPixelForTesting(12, 12);
        QCOMPARE(twipsPerPixelY(), 12.0f);
        setTwipsPerPixelForTesting(0, 0);
        QCOMPARE(twipsToPixelsX(4980), 332);
        QCOMPARE(twipsToPixelsY(4395), 293);
    }

    void windowRegionKeepsNullAndEmptyApart() {
        QWidget window;
        window.resize(100, 100);
        QVERIFY(!windowRegion(&window));

        SetWindowRgn(&window, QRegion(10, 10, 20, 20));
        QCOMPARE(windowRegion(&window), std::optional<QRegion>(QRegion(10, 10, 20, 20)));
        QCOMPARE(window.mask(), QRegion(10, 10, 20, 20));

        // Nothing visible: the mask must not be empty, which Qt reads as "no mask", and must stay
        // clear of the window when it grows.
        SetWindowRgn(&window, QRegion());
        QCOMPARE(windowRegion(&window), std::optional<QRegion>(QRegion()));
        QVERIFY(!window.mask().isEmpty());
        window.resize(200, 200);
        QVERIFY(window.mask().intersected(window.rect()).isEmpty());

        // Null, as from a region that could not be made: the whole window again.
        SetWindowRgn(&window, std::nullopt);
        QVERIFY(!windowRegion(&window));
        QVERIFY(window.mask().isEmpty());
    }

    void topmostFlagChangesInPlace() {
        QWidget window;
        window.setGeometry(40, 50, 200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect before = window.frameGeometry();
        QWindow *native = window.windowHandle();
        for (const int after : {HWND_TOPMOST, HWND_NOTOPMOST}) {
            SetWindowPos(&window, after, before.x(), before.y(), before.width(), before.height(),
                         SWP_SHOWWINDOW | SWP_NOACTIVATE);
            QCOMPARE(isTopmost(&window), after == HWND_TOPMOST);
            QVERIFY(window.isVisible());
            QCOMPARE(window.windowHandle(), native); // not re-created, so not hidden on the way
            QCOMPARE(window.frameGeometry(), before);
        }
    }

    void oneCopyPerSession();
};

namespace {

void startChild(QProcess &child, const QString &runtime, const char *mode) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--instance-child", mode});
}

// What a copy started in the session of `runtime` learns: "first" or "running".
QByteArray probe(const QString &runtime) {
    QProcess child;
    startChild(child, runtime, "probe");
    child.waitForFinished(10000);
    return child.readAllStandardOutput().trimmed();
}

} // namespace

void TestPlatform::oneCopyPerSession() {
    QTemporaryDir runtime, otherRuntime;
    QProcess first;
    startChild(first, runtime.path(), "hold");
    QVERIFY(first.waitForReadyRead(10000));
    QCOMPARE(first.readLine().trimmed(), QByteArray("first"));

    QCOMPARE(probe(runtime.path()), QByteArray("running"));
    QCOMPARE(probe(otherRuntime.path()), QByteArray("first")); // another session is not refused

    // A copy that was killed leaves its lock file behind, but not the lock.
    ::kill(pid_t(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitStatus(), QProcess::CrashExit);
    QVERIFY(QFile::exists(runtime.path() + "/zarnik.lock"));
    QCOMPARE(probe(runtime.path()), QByteArray("first"));
}

int main(int argc, char *argv[]) {
    if (argc == 3 && std::strcmp(argv[1], "--instance-child") == 0)
        return runInstanceChild(std::strcmp(argv[2], "hold") == 0);
    QApplication app(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
