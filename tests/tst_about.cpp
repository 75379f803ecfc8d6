#include "about/Form2.h"
#include "about/Module.h"
#include "app/MainForm.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "platform/Version.h"
#include "windows/OutForm.h"

#include "BuildInfo.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QScreen>
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

QLabel *labelNamed(Form2 &form, const QString &name) {
    if (name == QLatin1String("Image1"))
        return form.Image1;
    const QList<QLabel *> labels = {form.Label1, form.Label2, form.Label3, form.Label4,
                                    form.Label5, form.Label6, form.Label7};
    for (QLabel *label : labels)
        if (label->objectName() == name)
            return label;
    return nullptr;
}

// A set bit of a cursor's bitmap or mask reads as black.
bool bitSet(const QImage &bits, int x, int y) {
    return qGray(bits.pixel(x, y)) < 128;
}

QString expectedVersionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(ZARNIK_VERSION_MAJOR)
        .arg(ZARNIK_VERSION_MINOR)
        .arg(ZARNIK_VERSION_PATCH);
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void titleLine_data();
    void titleLine();
    void mailLinkByteForByte_data();
    void mailLinkByteForByte();
    void openLinkPassesTheTargetUnchanged();
    void mailLinkReachesTheDesktopPercentEncoded();

    void loadSetsTheTitle();
    void windowLooksAsLaidOut();
    void controlsSitAtTheirTwipsPlaces();
    void linksHaveCursorAndTips();
    void scalesWithTheScreen();

    void webLinkOpensAddressThenCloses_data();
    void webLinkOpensAddressThenCloses();
    void mailLinkOpensMailThenCloses_data();
    void mailLinkOpensMailThenCloses();
    void plainClickClosesAndOpensNothing_data();
    void plainClickClosesAndOpensNothing();
    void clickThroughTheWindowReachesTheControlUnder_data();
    void clickThroughTheWindowReachesTheControlUnder();
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

void TestAbout::titleLine_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("title");
    QTest::newRow("1.5.15") << 1 << 5 << 15 << "Zarnik v1.5.15";
    QTest::newRow("revision 0") << 1 << 5 << 0 << "Zarnik v1.5.0";
    QTest::newRow("minor 0") << 2 << 0 << 7 << "Zarnik v2.0.7";
    QTest::newRow("wide numbers") << 10 << 12 << 3075 << "Zarnik v10.12.3075";
}

void TestAbout::titleLine() {
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, title);
    QCOMPARE(Form2::titleFor(major, minor, revision), title);
}

void TestAbout::mailLinkByteForByte_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QByteArray>("link");
    QTest::newRow("1.5.15") << "zarnik@example.org" << 1 << 5 << 15
                            << QByteArray("mailto:zarnik@example.org?Subject=Zarnik v1.5.15");
    QTest::newRow("revision 0") << "a.b@mail.example" << 1 << 5 << 0
                                << QByteArray("mailto:a.b@mail.example?Subject=Zarnik v1.5.0");
}

void TestAbout::mailLinkByteForByte() {
    QFETCH(QString, address);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QByteArray, link);
    QCOMPARE(Form2::mailLinkFor(address, major, minor, revision).toUtf8(), link);
}

void TestAbout::openLinkPassesTheTargetUnchanged() {
    const QString mail = QStringLiteral("mailto:x@y.example?Subject=Zarnik v1.5.15");
    const QString web = QStringLiteral("https://zarnik.example.org/a b?q=1&r=%41");
    s_shellSucceeds = true;
    QVERIFY(OpenLink(mail) > 32);
    s_shellSucceeds = false;
    QVERIFY(OpenLink(web) <= 32);
    QCOMPARE(s_opened, QStringList({mail, web}));
}

void TestAbout::mailLinkReachesTheDesktopPercentEncoded() {
    const QString link = Form2::mailLinkFor(QStringLiteral("zarnik@example.org"), 1, 5, 15);
    const QString sent = platform::shellTargetUrl(link);
    QVERIFY2(!sent.contains(QLatin1Char(' ')), qPrintable(sent));
    const QUrl url(sent, QUrl::StrictMode);
    QVERIFY2(url.isValid(), qPrintable(url.errorString()));
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QCOMPARE(url.path(), QStringLiteral("zarnik@example.org"));
    QCOMPARE(url.query(QUrl::FullyDecoded), QStringLiteral("Subject=Zarnik v1.5.15"));
    // A web address that is already valid goes out as it is.
    const QString web = QString::fromUtf8(ZARNIK_WEB_ADDRESS);
    QCOMPARE(platform::shellTargetUrl(web), web);
}

void TestAbout::loadSetsTheTitle() {
    QVERIFY(!Form2::loaded());
    Form2 &form = Form2::showWindow();
    QCOMPARE(Form2::loaded(), &form);
    QVERIFY(form.isVisible());
    QCOMPARE(form.Label1->text(), QStringLiteral("Zarnik v") + expectedVersionText());
    QCOMPARE(form.Label1->accessibleName(), form.Label1->text());
    const platform::AppVersion version = platform::applicationVersion();
    QCOMPARE(form.Label1->text(), Form2::titleFor(version.major, version.minor, version.revision));
}

void TestAbout::windowLooksAsLaidOut() {
    Form2 &form = Form2::showWindow();
    // No caption bar, not sizable, and still one of the windows that keep the program running.
    QCOMPARE(form.windowType(), Qt::Window);
    QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(form.testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(form.windowTitle().isEmpty());
    QCOMPARE(form.size(), QSize(327, 215));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.autoFillBackground());
    QCOMPARE(form.palette().color(QPalette::Window), QColor(255, 255, 255));

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(qAbs(form.geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(form.geometry().center().y() - screen.center().y()) <= 1);

    // Colours of the texts.
    const auto textColour = [](QLabel *label) {
        return label->palette().color(QPalette::WindowText);
    };
    QCOMPARE(textColour(form.Label1), QColor(0, 0, 128));
    QCOMPARE(textColour(form.Label2), QColor(0, 0, 0));
    QCOMPARE(textColour(form.Label3), QColor(128, 0, 0));
    QCOMPARE(textColour(form.Label4), QColor(0, 0, 0));
    QCOMPARE(textColour(form.Label5), QColor(0, 0, 192));
    QCOMPARE(textColour(form.Label6), QColor(128, 0, 0));
    QCOMPARE(textColour(form.Label7), QColor(0, 0, 192));

    // Fonts asked for: the window's default, bold for the title, underlined for the links.
    for (QLabel *label : {form.Label1, form.Label2, form.Label3, form.Label4, form.Label5,
                          form.Label6, form.Label7}) {
        QCOMPARE(label->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(label->font().pointSizeF(), 8.25);
        QCOMPARE(label->font().bold(), label == form.Label1);
        QCOMPARE(label->font().underline(), label == form.Label5 || label == form.Label7);
        // Every label can be found by what it says.
        QVERIFY(!label->text().isEmpty());
        QCOMPARE(label->accessibleName(), label->text());
    }
    QVERIFY(!form.Image1->accessibleName().isEmpty());

    // The fixed texts, and the same address shown and opened.
    QCOMPARE(
        form.Label2->text(),
        QStringLiteral("Программа для генерации кода окон нестандартной формы для Visual Basic."));
    QVERIFY(form.Label2->wordWrap());
    QVERIFY(form.Label3->wordWrap());
    QCOMPARE(form.Label3->text(), QString::fromUtf8(ZARNIK_RIGHTS_LINE));
    QCOMPARE(form.Label4->text(), QStringLiteral("FREEWARE"));
    QCOMPARE(form.Label5->text(),
             QStringLiteral("e-mail: ") + QString::fromUtf8(ZARNIK_MAIL_ADDRESS));
    QCOMPARE(form.Label6->text(), QString::fromUtf8(ZARNIK_MAKER_LINE));
    QCOMPARE(form.Label7->text(), QString::fromUtf8(ZARNIK_WEB_ADDRESS));
    QCOMPARE(form.Label1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(form.Label2->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(form.Label3->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    // The icon is the application's 32 x 32 image.
    QCOMPARE(form.Image1->pixmap().size(), QSize(32, 32));
    QCOMPARE(form.Image1->pixmap().toImage(),
             QImage(QStringLiteral(":/icons/zarnik-32.png"))
                 .convertToFormat(form.Image1->pixmap().toImage().format()));

    // Etched separators: a shadow line over a light grey one.
    const auto fill = [](QFrame *line) { return line->palette().color(QPalette::Window); };
    const QColor shadow = QApplication::palette().color(QPalette::Active, QPalette::Dark);
    QCOMPARE(fill(form.Line10), shadow);
    QCOMPARE(fill(form.Line2), shadow);
    QCOMPARE(fill(form.Line9), QColor(224, 224, 224));
    QCOMPARE(fill(form.Line1), QColor(224, 224, 224));
    for (QFrame *line : {form.Line10, form.Line9, form.Line2, form.Line1})
        QVERIFY(line->autoFillBackground());
}

void TestAbout::controlsSitAtTheirTwipsPlaces() {
    Form2 &form = Form2::showWindow();
    // 15 twips to the pixel.
    QCOMPARE(form.Image1->geometry(), QRect(16, 10, 32, 32));
    QCOMPARE(form.Label1->geometry(), QRect(8, 27, 313, 17));
    QCOMPARE(form.Label2->geometry(), QRect(15, 52, 296, 26));
    QCOMPARE(form.Label3->geometry(), QRect(15, 87, 296, 31));
    QCOMPARE(form.Line10->geometry(), QRect(16, 46, 296, 1));
    QCOMPARE(form.Line9->geometry(), QRect(16, 47, 296, 1));
    QCOMPARE(form.Line2->geometry(), QRect(16, 180, 296, 1));
    QCOMPARE(form.Line1->geometry(), QRect(16, 181, 296, 1));

    // Labels sized to their text keep their top-left corner.
    QCOMPARE(form.Label7->pos(), QPoint(92, 122));
    QCOMPARE(form.Label5->pos(), QPoint(106, 138));
    QCOMPARE(form.Label6->pos(), QPoint(101, 162));
    QCOMPARE(form.Label4->pos(), QPoint(132, 188));
    for (QLabel *label : {form.Label7, form.Label5, form.Label6, form.Label4}) {
        const QFontMetrics metrics(label->font());
        QVERIFY2(label->width() >= metrics.horizontalAdvance(label->text()),
                 qPrintable(label->objectName()));
        QVERIFY2(label->width() <= metrics.horizontalAdvance(label->text()) + 2,
                 qPrintable(label->objectName()));
        QVERIFY2(label->height() >= metrics.height(), qPrintable(label->objectName()));
    }
    // The texts start at the top of their boxes.
    for (QLabel *label : {form.Label1, form.Label2, form.Label3, form.Label4, form.Label5,
                          form.Label6, form.Label7})
        QVERIFY(label->alignment().testFlag(Qt::AlignTop));
}

void TestAbout::linksHaveCursorAndTips() {
    Form2 &form = Form2::showWindow();
    QCOMPARE(form.Label7->toolTip(), QStringLiteral(" Посетите сайт программы!!! "));
    QCOMPARE(form.Label5->toolTip(), QStringLiteral(" Пишите!!! "));
    // A 32 x 32 monochrome hand whose finger tip is the hot spot (7, 0).
    for (QLabel *link : {form.Label7, form.Label5}) {
        const QCursor hand = link->cursor();
        QCOMPARE(hand.shape(), Qt::BitmapCursor);
        QCOMPARE(hand.hotSpot(), QPoint(7, 0));
        const QImage black = hand.bitmap().toImage();
        const QImage opaque = hand.mask().toImage();
        QCOMPARE(black.size(), QSize(32, 32));
        QCOMPARE(opaque.size(), QSize(32, 32));
        // Nothing of the cursor lies above the hot spot, and the tip there is drawn black.
        QVERIFY(bitSet(opaque, 7, 0) && bitSet(black, 7, 0));
        for (int x = 0; x < 7; ++x)
            QVERIFY(!bitSet(opaque, x, 0));
        // White inside the black outline: the finger below the tip.
        QVERIFY(bitSet(opaque, 7, 1) && !bitSet(black, 7, 1));
        QVERIFY(bitSet(opaque, 6, 1) && bitSet(black, 6, 1));
        // Transparent away from the hand.
        QVERIFY(!bitSet(opaque, 31, 31) && !bitSet(opaque, 0, 12));
    }
    QCOMPARE(form.Label5->cursor().bitmap().toImage(), form.Label7->cursor().bitmap().toImage());
    for (QWidget *plain : {static_cast<QWidget *>(form.Image1), static_cast<QWidget *>(form.Label1),
                           static_cast<QWidget *>(form.Label2), static_cast<QWidget *>(form.Label3),
                           static_cast<QWidget *>(form.Label4), static_cast<QWidget *>(form.Label6),
                           static_cast<QWidget *>(&form)}) {
        QVERIFY2(plain->toolTip().isEmpty(), qPrintable(plain->objectName()));
        QVERIFY2(!plain->testAttribute(Qt::WA_SetCursor), qPrintable(plain->objectName()));
    }
}

void TestAbout::scalesWithTheScreen() {
    // At 120 dots per inch a pixel is 12 twips.
    platform::setTwipsPerPixelForTesting(12, 12);
    Form2 &form = Form2::showWindow();
    QCOMPARE(form.size(), QSize(409, 269));
    QCOMPARE(form.Image1->geometry(), QRect(20, 12, 40, 40));
    QCOMPARE(form.Label1->geometry(), QRect(10, 34, 391, 21));
    QCOMPARE(form.Line10->geometry(), QRect(20, 58, 370, 1));
    QCOMPARE(form.Label7->pos(), QPoint(115, 152));
}

void TestAbout::webLinkOpensAddressThenCloses_data() {
    QTest::addColumn<bool>("shellSucceeds");
    QTest::newRow("opened") << true;
    QTest::newRow("no browser") << false;
}

void TestAbout::webLinkOpensAddressThenCloses() {
    QFETCH(bool, shellSucceeds);
    s_shellSucceeds = shellSucceeds;
    QPointer<Form2> form = &Form2::showWindow();
    const QString shown = form->Label7->text();
    QTest::mouseClick(form->Label7, Qt::LeftButton, {}, form->Label7->rect().center());
    QCOMPARE(s_opened, QStringList{QString::fromUtf8(ZARNIK_WEB_ADDRESS)});
    QCOMPARE(s_opened.first(), shown);
    QVERIFY(!Form2::loaded());
    QVERIFY(form && !form->isVisible());
    deleteClosedWindows();
    QVERIFY(!form);
}

void TestAbout::mailLinkOpensMailThenCloses_data() {
    QTest::addColumn<bool>("shellSucceeds");
    QTest::newRow("opened") << true;
    QTest::newRow("no mail program") << false;
}

void TestAbout::mailLinkOpensMailThenCloses() {
    QFETCH(bool, shellSucceeds);
    s_shellSucceeds = shellSucceeds;
    QPointer<Form2> form = &Form2::showWindow();
    const QString shownAddress = form->Label5->text().mid(QStringLiteral("e-mail: ").size());
    QTest::mouseClick(form->Label5, Qt::LeftButton, {}, form->Label5->rect().center());
    const QByteArray expected = "mailto:" + QByteArray(ZARNIK_MAIL_ADDRESS) + "?Subject=Zarnik v" +
                                expectedVersionText().toUtf8();
    QCOMPARE(s_opened.size(), 1);
    QCOMPARE(s_opened.first().toUtf8(), expected);
    QVERIFY(s_opened.first().startsWith(QStringLiteral("mailto:") + shownAddress +
                                        QStringLiteral("?Subject=")));
    QVERIFY(!Form2::loaded());
    QVERIFY(form && !form->isVisible());
    deleteClosedWindows();
    QVERIFY(!form);
}

void TestAbout::plainClickClosesAndOpensNothing_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<Qt::MouseButton>("button");
    for (const char *name : {"Image1", "Label1", "Label2", "Label3", "Label4", "Label6"})
        QTest::newRow(name) << QString::fromLatin1(name) << Qt::LeftButton;
    QTest::newRow("background") << QString() << Qt::LeftButton;
    QTest::newRow("Label4, right button") << QStringLiteral("Label4") << Qt::RightButton;
}

void TestAbout::plainClickClosesAndOpensNothing() {
    QFETCH(QString, control);
    QFETCH(Qt::MouseButton, button);
    QPointer<Form2> form = &Form2::showWindow();
    QWidget *target = form;
    QPoint where(3, form->height() - 3);
    if (!control.isEmpty()) {
        target = labelNamed(*form, control);
        QVERIFY(target);
        where = target->rect().center();
    } else {
        QCOMPARE(form->childAt(where), nullptr);
    }
    QTest::mouseClick(target, button, {}, where);
    QVERIFY(s_opened.isEmpty());
    QVERIFY(!Form2::loaded());
    QVERIFY(form && !form->isVisible());
    deleteClosedWindows();
    QVERIFY(!form);
}

void TestAbout::clickThroughTheWindowReachesTheControlUnder_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QStringList>("opened");
    const QStringList nothing;
    QTest::newRow("Label7") << "Label7" << QStringList{QString::fromUtf8(ZARNIK_WEB_ADDRESS)};
    QTest::newRow("Label5") << "Label5"
                            << QStringList{QStringLiteral("mailto:") +
                                           QString::fromUtf8(ZARNIK_MAIL_ADDRESS) +
                                           QStringLiteral("?Subject=Zarnik v") +
                                           expectedVersionText()};
    QTest::newRow("Label2") << "Label2" << nothing;
    QTest::newRow("Image1") << "Image1" << nothing;
    QTest::newRow("separator line") << "Line2" << nothing;
}

void TestAbout::clickThroughTheWindowReachesTheControlUnder() {
    QFETCH(QString, control);
    QFETCH(QStringList, opened);
    QPointer<Form2> form = &Form2::showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const QWidget *target = form->findChild<QWidget *>(control);
    QVERIFY(target);
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, target->geometry().center());
    QCOMPARE(s_opened, opened);
    QVERIFY(!Form2::loaded());
    deleteClosedWindows();
    QVERIFY(!form);
}

void TestAbout::showingAgainKeepsTheLoadedWindow() {
    QPointer<Form2> first = &Form2::showWindow();
    QSignalSpy loads(first.data(), &Form2::formLoaded);
    first->Label1->setText(QStringLiteral("marker"));
    first->hide();

    Form2 &again = Form2::showWindow();
    QCOMPARE(&again, first.data());
    QVERIFY(again.isVisible());
    QCOMPARE(loads.count(), 0);
    QCOMPARE(again.Label1->text(), QStringLiteral("marker"));

    // Once unloaded, the next one is a fresh window that loads again.
    QTest::mouseClick(again.Label1, Qt::LeftButton, {}, again.Label1->rect().center());
    deleteClosedWindows();
    QVERIFY(!first);
    Form2 &fresh = Form2::showWindow();
    const platform::AppVersion version = platform::applicationVersion();
    QCOMPARE(fresh.Label1->text(), Form2::titleFor(version.major, version.minor, version.revision));
}

void TestAbout::programEndsWithItsLastWindow_data() {
    QTest::addColumn<bool>("withAbout");
    QTest::addColumn<bool>("mainClosesFirst");
    QTest::newRow("main window alone") << false << true;
    QTest::newRow("about open when the main window closes") << true << true;
    QTest::newRow("about closed first") << true << false;
}

// The application's quit rule, run in its real event loop: the program goes on while any of its
// windows is open and ends when the last one closes, whichever it is.
void TestAbout::programEndsWithItsLastWindow() {
    QFETCH(bool, withAbout);
    QFETCH(bool, mainClosesFirst);
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());

    MainForm mainWindow;
    mainWindow.show();
    mainWindow.Program_Click(); // the code window is open too
    QPointer<Form2> about;
    if (withAbout) {
        mainWindow.about_Click();
        about = Form2::loaded();
        QVERIFY(about && about->isVisible());
    }

    bool runningAfterFirstClose = false;
    bool codeWindowLeft = false;
    bool aboutLeft = false;
    bool timedOut = false;
    QTimer first;
    QTimer check;
    QTimer second;
    QTimer watchdog;
    for (QTimer *timer : {&first, &check, &second, &watchdog})
        timer->setSingleShot(true);
    const auto closeAbout = [&about] {
        if (about)
            QTest::mouseClick(about->Label3, Qt::LeftButton, {}, about->Label3->rect().center());
    };
    connect(&first, &QTimer::timeout, this, [&] {
        if (mainClosesFirst)
            mainWindow.close();
        else
            closeAbout();
    });
    connect(&check, &QTimer::timeout, this, [&] {
        runningAfterFirstClose = true;
        codeWindowLeft = OutForm::loaded() != nullptr;
        aboutLeft = about && about->isVisible();
    });
    connect(&second, &QTimer::timeout, this, [&] {
        if (mainClosesFirst)
            closeAbout();
        else
            mainWindow.close();
    });
    connect(&watchdog, &QTimer::timeout, this, [&] {
        timedOut = true;
        QCoreApplication::quit();
    });
    first.start(0);
    check.start(200);
    second.start(400);
    watchdog.start(5000);
    QApplication::exec();

    QVERIFY(!timedOut);
    if (withAbout) {
        QVERIFY(runningAfterFirstClose);
        // The main window takes the code window with it, never the about window.
        QCOMPARE(codeWindowLeft, !mainClosesFirst);
        QCOMPARE(aboutLeft, mainClosesFirst);
        QVERIFY(!second.isActive());
        QVERIFY(!Form2::loaded());
    } else {
        // Alone, the main window's close ends the program before anything else happens.
        QVERIFY(!runningAfterFirstClose);
    }
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
