#include "FormsFixture.h"
#include "about/Form2.h"
#include "about/Module.h"
#include "platform/Shell.h"

#include "BuildInfo.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>

namespace {

// What the shell was asked to open, in order.
QStringList s_opened;
bool s_shellSucceeds = true;

// The title of this build, from the project's version rather than the program's own sources.
const QString kTitle = QStringLiteral("Zarnik v" QT_STRINGIFY(ZARNIK_VERSION_FOR_TESTS));

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void init() {
        s_opened.clear();
        s_shellSucceeds = true;
        platform::setShellOpenerForTesting([](const QString &target) {
            s_opened << target;
            return s_shellSucceeds;
        });
        platform::setTwipsPerPixelForTesting(15, 15);
    }

    void cleanup() {
        if (Form2 *form = Form2::loaded())
            form->close();
        FormsFixture::flushDeletes();
        QVERIFY(!Form2::loaded());
        platform::setShellOpenerForTesting({});
        platform::setTwipsPerPixelForTesting(0, 0);
    }

    // Every part of the version, a revision of 0 included (this build's own is checked below).
    void titleAndMailLink() {
        QCOMPARE(Form2::titleFor(2, 7, 0), QStringLiteral("Zarnik v2.7.0"));
        QCOMPARE(Form2::mailLinkFor(QStringLiteral("a.b@mail.example"), 2, 7, 0),
                 QStringLiteral("mailto:a.b@mail.example?Subject=Zarnik v2.7.0"));
    }

    void linksReachTheShellUnchanged() {
        const QString mail = Form2::mailLinkFor(QStringLiteral("zarnik@example.org"), 1, 5, 15);
        const QString web = QStringLiteral("https://zarnik.example.org/a b?q=1&r=%41");
        QVERIFY(OpenLink(mail) > 32);
        s_shellSucceeds = false;
        QVERIFY(OpenLink(web) <= 32);
        QCOMPARE(s_opened, QStringList({mail, web}));

        // What the desktop finally gets is a valid address with the subject intact.
        const QString target = platform::shellTargetUrl(mail);
        QCOMPARE(target, QStringLiteral("mailto:zarnik@example.org?Subject=Zarnik%20v1.5.15"));
        QVERIFY(QUrl(target, QUrl::StrictMode).isValid());
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
        QTest::newRow("mail link, no mail program") << "Label5" << false << mail;
        for (const char *plain :
             {"Image1", "Label1", "Label2", "Label3", "Label4", "Label6", "Line2"})
            QTest::newRow(plain) << plain << true << QStringList();
        QTest::newRow("background") << "" << true << QStringList();
    }

    // Clicks go to the window, as the platform delivers them, at the middle of the control.
    void clickOpensItsTargetAndCloses() {
        QFETCH(QString, control);
        QFETCH(bool, shellSucceeds);
        s_shellSucceeds = shellSucceeds;
        QPointer<Form2> form = &Form2::showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QPoint where(4, form->height() - 4); // just inside the dialog edge
        if (control.isEmpty()) {
            QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, QPoint(1, where.y()));
            QVERIFY(Form2::loaded()); // a click on the edge is none on the window
            QCOMPARE(form->childAt(where), nullptr);
        } else {
            const QWidget *target = form->findChild<QWidget *>(control);
            QVERIFY(target);
            where = target->geometry().center();
        }
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, where);
        QTEST(s_opened, "opened");
        QVERIFY(!Form2::loaded());
        FormsFixture::flushDeletes();
        QVERIFY(!form);
    }

    // The load writes the title; showing the loaded window again does not load it again.
    void showingAgainKeepsTheLoadedWindow() {
        QPointer<Form2> first = &Form2::showWindow();
        QCOMPARE(Form2::loaded(), first.data());
        QCOMPARE(first->Label1->text(), kTitle);
        QSignalSpy loads(first.data(), &Form2::formLoaded);
        first->Label1->setText(QStringLiteral("marker"));
        first->hide();
        QCOMPARE(&Form2::showWindow(), first.data());
        QVERIFY(first->isVisible());
        QCOMPARE(loads.count(), 0);
        QCOMPARE(first->Label1->text(), QStringLiteral("marker"));

        // Once unloaded, the next one is a fresh window that loads again.
        first->close();
        FormsFixture::flushDeletes();
        QVERIFY(!first);
        QCOMPARE(Form2::showWindow().Label1->text(), kTitle);
    }

    void programEndsWithItsLastWindow_data() {
        QTest::addColumn<bool>("withAbout");
        QTest::addColumn<bool>("mainClosesFirst");
        QTest::newRow("main window alone") << false << true;
        QTest::newRow("about open when the main window closes") << true << true;
        QTest::newRow("about closed first") << true << false;
    }

    // The application's quit rule, in its real event loop: the program goes on while any of its
    // windows is open and ends when the last one closes, whichever it is.
    void programEndsWithItsLastWindow() {
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
                QTest::mouseClick(about->Label3, Qt::LeftButton, {},
                                  about->Label3->rect().center());
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
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
