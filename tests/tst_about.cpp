#include "about/Form2.h"
#include "about/Module.h"
#include "app/MainForm.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "platform/Version.h"
#include "windows/OutForm.h"

#include "BuildInfo.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <QtTest>

namespace {

// What the shell was asked to open, in order.
QStringList s_opened;
bool s_shellSucceeds = true;

void deleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString currentTitle() {
    const platform::AppVersion v = platform::applicationVersion();
    return Form2::titleFor(v.major, v.minor, v.revision);
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void titleAndMailLink_data();
    void titleAndMailLink();
    void linksReachTheShellUnchanged();
    void loadSetsTheTitle();
    void clickOpensItsTargetAndCloses_data();
    void clickOpensItsTargetAndCloses();
    void showingAgainKeepsTheLoadedWindow();
    void programEndsWithItsLastWindow_data();
    void programEndsWithItsLastWindow();
};

void TestAbout::init() {
    s_opened.clear();
    s_shellSucceeds = true;
    platform::setShellOpenerForTesting([](const QString &target) {
        s_opened << target;
        return s_shellSucceeds;
    });
    platform::setTwipsPerPixelForTesting(15, 15);
}

void TestAbout::cleanup() {
    if (Form2 *form = Form2::loaded())
        form->close();
    deleteClosedWindows();
    QVERIFY(!Form2::loaded());
    platform::setShellOpenerForTesting({});
    platform::setTwipsPerPixelForTesting(0, 0);
}

void TestAbout::titleAndMailLink_data() {
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("link");
    QTest::newRow("1.5.15") << 15 << "Zarnik v1.5.15"
                            << QByteArray("mailto:a.b@mail.example?Subject=Zarnik v1.5.15");
    QTest::newRow("revision 0") << 0 << "Zarnik v1.5.0"
                                << QByteArray("mailto:a.b@mail.example?Subject=Zarnik v1.5.0");
}

void TestAbout::titleAndMailLink() {
    QFETCH(int, revision);
    QTEST(Form2::titleFor(1, 5, revision), "title");
    QTEST(Form2::mailLinkFor(QStringLiteral("a.b@mail.example"), 1, 5, revision).toUtf8(), "link");
}

void TestAbout::linksReachTheShellUnchanged() {
    const QString mail = Form2::mailLinkFor(QStringLiteral("zarnik@example.org"), 1, 5, 15);
    const QString web = QStringLiteral("https://zarnik.example.org/a b?q=1&r=%41");
    QVERIFY(OpenLink(mail) > 32);
    s_shellSucceeds = false;
    QVERIFY(OpenLink(web) <= 32);
    QCOMPARE(s_opened, QStringList({mail, web}));

    // What the desktop finally gets is a valid address with the subject intact.
    const QUrl url(platform::shellTargetUrl(mail), QUrl::StrictMode);
    QVERIFY2(url.isValid(), qPrintable(url.errorString()));
    QCOMPARE(url.path(), QStringLiteral("zarnik@example.org"));
    QCOMPARE(url.query(QUrl::FullyDecoded), QStringLiteral("Subject=Zarnik v1.5.15"));
    const QString site = QString::fromUtf8(ZARNIK_WEB_ADDRESS);
    QCOMPARE(platform::shellTargetUrl(site), site);
}

void TestAbout::loadSetsTheTitle() {
    Form2 &form = Form2::showWindow();
    QCOMPARE(Form2::loaded(), &form);
    QVERIFY(form.isVisible());
    QCOMPARE(form.Label1->text(), QStringLiteral("Zarnik v%1.%2.%3")
                                      .arg(ZARNIK_VERSION_MAJOR)
                                      .arg(ZARNIK_VERSION_MINOR)
                                      .arg(ZARNIK_VERSION_PATCH));
    QCOMPARE(form.Label1->text(), currentTitle());
}

void TestAbout::clickOpensItsTargetAndCloses_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("shellSucceeds");
    QTest::addColumn<QStringList>("opened");
    const QStringList web{QString::fromUtf8(ZARNIK_WEB_ADDRESS)};
    const QStringList mail{QStringLiteral("mailto:") + QString::fromUtf8(ZARNIK_MAIL_ADDRESS) +
                           QStringLiteral("?Subject=") + currentTitle()};
    QTest::newRow("web link") << "Label7" << true << web;
    QTest::newRow("web link, no browser") << "Label7" << false << web;
    QTest::newRow("mail link") << "Label5" << true << mail;
    QTest::newRow("mail link, no mail program") << "Label5" << false << mail;
    for (const char *plain : {"Image1", "Label1", "Label2", "Label3", "Label4", "Label6", "Line2"})
        QTest::newRow(plain) << plain << true << QStringList();
    QTest::newRow("background") << "" << true << QStringList();
}

// Clicks go to the window, as the platform delivers them, at the middle of the control.
void TestAbout::clickOpensItsTargetAndCloses() {
    QFETCH(QString, control);
    QFETCH(bool, shellSucceeds);
    s_shellSucceeds = shellSucceeds;
    QPointer<Form2> form = &Form2::showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QPoint where(3, form->height() - 3);
    if (control.isEmpty()) {
        QCOMPARE(form->childAt(where), nullptr);
    } else {
        const QWidget *target = form->findChild<QWidget *>(control);
        QVERIFY(target);
        where = target->geometry().center();
    }
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, where);
    QTEST(s_opened, "opened");
    QVERIFY(!Form2::loaded());
    deleteClosedWindows();
    QVERIFY(!form);
}

void TestAbout::showingAgainKeepsTheLoadedWindow() {
    QPointer<Form2> first = &Form2::showWindow();
    QSignalSpy loads(first.data(), &Form2::formLoaded);
    first->Label1->setText(QStringLiteral("marker"));
    first->hide();
    QCOMPARE(&Form2::showWindow(), first.data());
    QVERIFY(first->isVisible());
    QCOMPARE(loads.count(), 0);
    QCOMPARE(first->Label1->text(), QStringLiteral("marker"));

    // Once unloaded, the next one is a fresh window that loads again.
    first->close();
    deleteClosedWindows();
    QVERIFY(!first);
    QCOMPARE(Form2::showWindow().Label1->text(), currentTitle());
}

void TestAbout::programEndsWithItsLastWindow_data() {
    QTest::addColumn<bool>("withAbout");
    QTest::addColumn<bool>("mainClosesFirst");
    QTest::newRow("main window alone") << false << true;
    QTest::newRow("about open when the main window closes") << true << true;
    QTest::newRow("about closed first") << true << false;
}

// The application's quit rule, in its real event loop: the program goes on while any of its
// windows is open and ends when the last one closes, whichever it is.
void TestAbout::programEndsWithItsLastWindow() {
    QFETCH(bool, withAbout);
    QFETCH(bool, mainClosesFirst);
    MainForm mainWindow;
    mainWindow.show();
    mainWindow.Program_Click(); // the code window is open too
    QPointer<Form2> about;
    if (withAbout) {
        mainWindow.about_Click();
        about = Form2::loaded();
        QVERIFY(about && about->isVisible());
    }

    QObject scope; // the timers go with it
    bool checked = false, codeWindowLeft = false, aboutLeft = false, timedOut = false;
    const std::function<void()> closeMain = [&] { mainWindow.close(); };
    const std::function<void()> closeAbout = [&] {
        if (about)
            QTest::mouseClick(about->Label3, Qt::LeftButton, {}, about->Label3->rect().center());
    };
    QTimer::singleShot(0, &scope, mainClosesFirst ? closeMain : closeAbout);
    QTimer::singleShot(200, &scope, [&] {
        checked = true;
        codeWindowLeft = OutForm::loaded() != nullptr;
        aboutLeft = about && about->isVisible();
    });
    QTimer::singleShot(400, &scope, mainClosesFirst ? closeAbout : closeMain);
    QTimer::singleShot(5000, &scope, [&] {
        timedOut = true;
        QCoreApplication::quit();
    });
    QApplication::exec();

    QVERIFY(!timedOut);
    // Alone, the main window's close ends the program before anything else happens.
    QCOMPARE(checked, withAbout);
    if (withAbout) {
        // The main window takes the code window with it, never the about window.
        QCOMPARE(codeWindowLeft, !mainClosesFirst);
        QCOMPARE(aboutLeft, mainClosesFirst);
        QVERIFY(!Form2::loaded());
    }
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
