#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/SingleInstance.h"
#include "platform/WindowRegion.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
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
        resumeNext([&] { throw RuntimeError(ErrOverflow); });
        runHandler([&] { steps << "next"; });
        setWarningSinkForTesting({});
        QCOMPARE(steps, QStringList({"before", "next"}));
        QCOMPARE(shown,
                 QStringList{QStringLiteral(
                     "Ошибка выполнения '9':\n\nИндекс выходит за пределы допустимого диапазона")});
        QVERIFY(runtimeErrorText(ErrOverflow).endsWith(QStringLiteral("'6':\n\nПереполнение")));
    }

    void windowRegionKeepsNullAndEmptyApart() {
        QWidget window;
        window.resize(100, 100);
        SetWindowRgn(&window, QRegion(10, 10, 20, 20));
        QCOMPARE(window.mask(), QRegion(10, 10, 20, 20));
        // Nothing visible: the mask must not be empty, which Qt reads as "no mask", and must stay
        // clear of the window when it grows.
        SetWindowRgn(&window, QRegion());
        QCOMPARE(windowRegion(&window), std::optional<QRegion>(QRegion()));
        window.resize(200, 200);
        QVERIFY(!window.mask().isEmpty() && window.mask().intersected(window.rect()).isEmpty());
        // Null, as from a region that could not be made: the whole window again.
        SetWindowRgn(&window, std::nullopt);
        QVERIFY(!windowRegion(&window) && window.mask().isEmpty());
    }

    // The user's choice: Qt's -platform option over QT_QPA_PLATFORM.
    void runsOnX11UnlessTheUserChoseAnotherPlatform_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("chosen");
        for (const char *row : {"||xcb", "|wayland|xcb", "|wayland-egl|xcb", "|wayland;xcb|xcb",
                                "|Wayland|xcb", "|xcb|xcb", "|offscreen|offscreen",
                                "|minimal|minimal", "|vnc:size=800x600|vnc:size=800x600",
                                "wayland|offscreen|xcb", "offscreen|wayland|offscreen"}) {
            const QStringList cells = QString::fromLatin1(row).split(u'|');
            QTest::newRow(row) << cells[0] << cells[1] << cells[2];
        }
    }
    void runsOnX11UnlessTheUserChoseAnotherPlatform() {
        QFETCH(QString, option);
        QFETCH(QString, variable);
        QFETCH(QString, chosen);
        QCOMPARE(choosePlatform(option, variable), chosen);
    }

    void oneCopyPerSession();
    void anotherUsersFolderIsNeverUsed();
};

namespace {

// A copy in the session of `runtime`; with no runtime, in a session without one and with `tmp` as
// its temporary folder.
void startChild(QProcess &child, const QString &runtime, const char *mode,
                const QString &tmp = QString()) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (runtime.isEmpty()) {
        env.remove("XDG_RUNTIME_DIR");
        env.insert("TMPDIR", tmp);
    } else {
        env.insert("XDG_RUNTIME_DIR", runtime);
    }
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--instance-child", mode});
}

// What a copy started in the session of `runtime` learns: "first" or "running".
QByteArray probe(const QString &runtime, const QString &tmp = QString()) {
    QProcess child;
    startChild(child, runtime, "probe", tmp);
    child.waitForFinished(10000);
    return child.readAllStandardOutput().trimmed();
}

// Runs a shell command as the user nobody; it holds whatever it locks until killed.
void startAsNobody(QProcess &process, const QString &command) {
    process.start("setpriv",
                  {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "sh", "-c", command});
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
    QVERIFY(QFile::exists(runtime.path() + "/zarnik.lock"));
    QCOMPARE(probe(runtime.path()), QByteArray("first"));
}

// Without a session folder the lock lives in the temporary folder, where another local user can
// create the folder first, or a link by its name, and hold a lock in it.
void TestPlatform::anotherUsersFolderIsNeverUsed() {
    if (::geteuid() != 0)
        QSKIP("runs as root only: it plants folders as the user nobody with setpriv");
    auto sharedTmp = [] { // open to every user, as /tmp is
        auto tmp = std::make_unique<QTemporaryDir>();
        ::chmod(QFile::encodeName(tmp->path()).constData(), 01777);
        return tmp;
    };

    // Two copies still find each other there.
    const auto tmp = sharedTmp();
    QProcess first;
    startChild(first, QString(), "hold", tmp->path());
    QVERIFY(first.waitForReadyRead(10000));
    QCOMPARE(first.readLine().trimmed(), QByteArray("first"));
    QCOMPARE(probe(QString(), tmp->path()), QByteArray("running"));
    first.kill();
    first.waitForFinished(10000);

    // The names a copy could pick: Qt's runtime-<user>, and the zarnik-<uid> of earlier versions.
    const QStringList names = {QStringLiteral("runtime-") + ::getpwuid(::geteuid())->pw_name,
                               QStringLiteral("zarnik-%1").arg(::geteuid())};
    for (const bool link : {false, true}) {
        const auto tmp = sharedTmp();
        std::vector<std::unique_ptr<QProcess>> planters;
        QStringList planted;
        for (const QString &name : names) {
            // A folder open to all, or a link by that name to one, with a lock held in it.
            const QString folder = tmp->path() + "/" + name + (link ? "-target" : "");
            QString command = QStringLiteral("mkdir -m 777 '%1'").arg(folder);
            if (link)
                command += QStringLiteral(" && ln -s '%1' '%2/%3'").arg(folder, tmp->path(), name);
            command += QStringLiteral(" && exec 9>'%1/zarnik.lock' && flock 9 && echo held && "
                                      "exec sleep 600")
                           .arg(folder);
            planters.push_back(std::make_unique<QProcess>());
            startAsNobody(*planters.back(), command);
            QVERIFY2(planters.back()->waitForReadyRead(10000),
                     planters.back()->readAllStandardError().constData());
            planted << folder;
        }
        QCOMPARE(probe(QString(), tmp->path()), QByteArray("first")); // not "already running"
        for (const QString &folder : planted) {
            const QFileInfoList entries =
                QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            QCOMPARE(entries.size(), 1); // the other user's own lock file alone
            QVERIFY(entries[0].ownerId() != ::geteuid());
        }
        for (auto &planter : planters) {
            planter->kill();
            planter->waitForFinished(10000);
        }
    }
}

int main(int argc, char *argv[]) {
    if (argc == 3 && std::strcmp(argv[1], "--instance-child") == 0)
        return runInstanceChild(std::strcmp(argv[2], "hold") == 0);
    QApplication app(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
