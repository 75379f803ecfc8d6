// The door to the desktop: run-time errors and their message, window regions and the one-copy
// lock.
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/SingleInstance.h"
#include "platform/WindowRegion.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// A copy of the program's lock, as a child of this test, in the session of `runtime`; with no
// runtime, in a session without one and with `tmp` as its temporary folder. It prints whether
// another copy held the lock first; "hold" keeps it running until killed.
void startChild(QProcess &child, const QString &runtime, const char *mode,
                const QString &tmp = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        env.insert("TMPDIR", tmp);
    else
        env.insert("XDG_RUNTIME_DIR", runtime);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--instance-child", mode});
}

// What a copy started so learns: "first" or "running".
QByteArray probe(const QString &runtime, const QString &tmp = {}) {
    QProcess child;
    startChild(child, runtime, "probe", tmp);
    child.waitForFinished(10000);
    return child.readAllStandardOutput().trimmed();
}

} // namespace

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
                 QStringList{QStringLiteral("Ошибка выполнения '9':\n\n"
                                            "Индекс выходит за пределы допустимого диапазона")});
        QVERIFY(runtimeErrorText(ErrOverflow).endsWith(QStringLiteral("'6':\n\nПереполнение")));
    }

    void windowRegionKeepsNullAndEmptyApart() {
        QWidget window;
        window.resize(100, 100);
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

    void oneCopyPerSession() {
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
        QCOMPARE(probe(runtime.path()), QByteArray("first"));
    }

    // Without a session folder the lock lives in the temporary folder, where two copies still find
    // each other; but another local user can make the folder first and hold a lock in it.
    void anotherUsersFolderIsNeverUsed() {
        if (::geteuid() != 0)
            QSKIP("runs as root only: it plants folders as the user nobody with setpriv");
        QTemporaryDir shared, tmp; // open to every user, as /tmp is
        for (const QTemporaryDir *dir : {&shared, &tmp})
            ::chmod(QFile::encodeName(dir->path()).constData(), 01777);
        QProcess first;
        startChild(first, {}, "hold", shared.path());
        QVERIFY(first.waitForReadyRead(10000));
        QCOMPARE(probe({}, shared.path()), QByteArray("running"));
        first.kill();
        first.waitForFinished(10000);

        // The names a copy could pick: Qt's runtime-<user>, and the zarnik-<uid> of earlier
        // versions.
        const QStringList names = {QStringLiteral("runtime-") + ::getpwuid(::geteuid())->pw_name,
                                   QStringLiteral("zarnik-%1").arg(::geteuid())};
        std::vector<std::unique_ptr<QProcess>> planters;
        for (const QString &name : names) {
            const QString folder = tmp.path() + "/" + name;
            planters.push_back(std::make_unique<QProcess>());
            planters.back()->start(
                "setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "sh", "-c",
                            QStringLiteral("mkdir -m 777 '%1' && exec 9>'%1/zarnik.lock' && "
                                           "flock 9 && echo held && exec sleep 600")
                                .arg(folder)});
            QVERIFY(planters.back()->waitForReadyRead(10000));
        }
        QCOMPARE(probe({}, tmp.path()), QByteArray("first")); // not "already running"
        for (const QString &name : names) {
            const QFileInfoList entries =
                QDir(tmp.path() + "/" + name)
                    .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            QVERIFY(entries.size() == 1 && entries[0].ownerId() != ::geteuid()); // theirs alone
        }
        for (auto &planter : planters)
            planter->kill(), planter->waitForFinished(10000);
    }
};

int main(int argc, char *argv[]) {
    // As a child: takes the session's lock and says whether another copy held it first.
    if (argc == 3 && std::strcmp(argv[1], "--instance-child") == 0) {
        std::printf("%s\n", previousInstanceRunning() ? "running" : "first");
        std::fflush(stdout);
        while (std::strcmp(argv[2], "hold") == 0)
            ::pause();
        return 0;
    }
    QApplication app(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
