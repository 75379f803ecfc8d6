// The about window: its title, its clicks and links, and the program's end with its last window.
#include "FormsFixture.h"
#include "about/Form2.h"
#include "platform/Shell.h"

#include "BuildInfo.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>

namespace {

QStringList s_opened; // what the shell was asked to open, in order
bool s_shellSucceeds = true;

// The title of this build, from the project's version rather than the program's own sources.
const QString kTitle = QStringLiteral("Zarnik v" QT_STRINGIFY(ZARNIK_VERSION_FOR_TESTS));

} // namespace

class TestAbout : public QObject, FormsFixture {
    Q_OBJECT

    Form2 *showAbout() {
        form->about_Click();
        return open<Form2>();
    }

private slots:
    void init() {
        s_opened.clear();
        s_shellSucceeds = true;
        platform::setShellOpenerForTesting([](const QString &target) {
            s_opened << target;
            return s_shellSucceeds;
        });
        makeForm(15);
    }
    void cleanup() {
        tearDown();
        platform::setShellOpenerForTesting({});
    }

    // Every part of the version, a revision of 0 included; the desktop gets the mail link as a
    // valid address with the subject intact.
    void titleAndLinks() {
        QCOMPARE(Form2::titleFor(2, 7, 0), QStringLiteral("Zarnik v2.7.0"));
        QCOMPARE(platform::shellTargetUrl(Form2::mailLinkFor("zarnik@example.org", 1, 5, 15)),
                 QStringLiteral("mailto:zarnik@example.org?Subject=Zarnik%20v1.5.15"));
        const QString site = QString::fromUtf8(ZARNIK_WEB_ADDRESS);
        QCOMPARE(platform::shellTargetUrl(site), site);
    }

    void clickOpensItsTargetAndCloses_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("shellSucceeds");
        QTest::addColumn<QStringList>("opened");
        const QStringList web{QString::fromUtf8(ZARNIK_WEB_ADDRESS)};
        const QStringList mail{QStringLiteral("mailto:") + QString::fromUtf8(ZARNIK_MAIL_ADDRESS) +
                               QStringLiteral("?Subject=") + kTitle};
        QTest::newRow("web link") << "Label7" << true << web;
        QTest::newRow("web link, no browser") << "Label7" << false << web;
        QTest::newRow("mail link") << "Label5" << true << mail;
        for (const char *plain : {"Image1", "Label4", "Line2"})
            QTest::newRow(plain) << plain << true << QStringList();
        QTest::newRow("background") << "" << true << QStringList();
    }
    // Clicks go to the window, as the platform delivers them, at the middle of the control.
    void clickOpensItsTargetAndCloses() {
        QFETCH(QString, control);
        QFETCH(bool, shellSucceeds);
        s_shellSucceeds = shellSucceeds;
        QPointer<Form2> about = showAbout();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QPoint where(4, about->height() - 4); // just inside the dialog edge
        if (control.isEmpty()) {
            QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, QPoint(1, where.y()));
            QVERIFY(open<Form2>()); // a click on the edge is none on the window
        } else {
            where = about->findChild<QWidget *>(control)->geometry().center();
        }
        QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, where);
        QTEST(s_opened, "opened");
        QVERIFY(!open<Form2>() && !about);
    }

    // The load writes the title; the about command shows an open window again without loading
    // it again, and a fresh one after it has closed.
    void showingAgainKeepsTheLoadedWindow() {
        QPointer<Form2> first = showAbout();
        QLabel *title = first->findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(first->isVisible());
        QCOMPARE(title->text(), kTitle);
        title->setText(QStringLiteral("marker"));
        first->hide();
        QCOMPARE(showAbout(), first.data());
        QVERIFY(first->isVisible());
        QCOMPARE(title->text(), QStringLiteral("marker"));
        first->close();
        QCOMPARE(showAbout()->findChild<QLabel *>(QStringLiteral("Label1"))->text(), kTitle);
        QVERIFY(!first);
    }

    // With no program on the PATH to open links, a click on either link still closes the about
    // window at once, and the program goes on.
    void linkWithNoUrlHandler() {
        platform::setShellOpenerForTesting({}); // the desktop's own handler
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "");
        QElapsedTimer timer;
        timer.start();
        for (void (Form2::*link)() : {&Form2::Label7_Click, &Form2::Label5_Click}) { // web, mail
            (showAbout()->*link)();
            QVERIFY(!open<Form2>());
        }
        qputenv("PATH", path);
        QVERIFY2(timer.elapsed() < 5000, "waits on the desktop"); // a few milliseconds here
        QVERIFY(warnings.isEmpty() && showAbout());
    }

    void programEndsWithItsLastWindow_data() {
        QTest::addColumn<bool>("withAbout");
        QTest::addColumn<bool>("mainClosesFirst");
        QTest::newRow("main window alone") << false << true;
        QTest::newRow("about open when the main window closes") << true << true;
        QTest::newRow("about closed first") << true << false;
    }
    // In the application's real event loop: the program goes on while any of its windows is open
    // and ends when the last one closes, whichever it is.
    void programEndsWithItsLastWindow() {
        QFETCH(bool, withAbout);
        QFETCH(bool, mainClosesFirst);
        form->show();
        form->Program_Click(); // the code window is open too
        QPointer<Form2> about = withAbout ? showAbout() : nullptr;
        QObject scope; // the timers go with it
        bool checked = false, codeWindowLeft = false, aboutLeft = false, timedOut = false;
        const std::function<void()> closeMain = [&] { form->close(); };
        const std::function<void()> closeAbout = [&] {
            if (about)
                QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
        };
        QTimer::singleShot(0, &scope, mainClosesFirst ? closeMain : closeAbout);
        QTimer::singleShot(200, &scope, [&] {
            checked = true;
            codeWindowLeft = open<OutForm>() != nullptr;
            aboutLeft = about && about->isVisible();
        });
        QTimer::singleShot(400, &scope, mainClosesFirst ? closeAbout : closeMain);
        QTimer::singleShot(5000, &scope, [&] {
            timedOut = true;
            QCoreApplication::quit();
        });
        QApplication::exec();

        QVERIFY(!timedOut);
        QCOMPARE(checked, withAbout); // alone, the main window's close ends the program at once
        if (withAbout) { // the main window takes the code window with it, never the about window
            QCOMPARE(codeWindowLeft, !mainClosesFirst);
            QCOMPARE(aboutLeft, mainClosesFirst);
        }
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
