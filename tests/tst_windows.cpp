// The windows driven as the user drives them, on Qt's offscreen platform. A test finds what it
// needs by object name, through the menu's actions, or among the open windows.
#include "about/Form2.h"
#include "app/MainForm.h"
#include "app/MenuBar.h"
#include "capture/TracingSurface.h"
#include "platform/MessageBox.h"
#include "platform/Regions.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "platform/Topmost.h"
#include "platform/WindowRegion.h"
#include "windows/CaptionFrame.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include "BuildInfo.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// The title of this build, from the project's version rather than the program's own sources.
const QString kTitle = QStringLiteral("Zarnik v" QT_STRINGIFY(ZARNIK_VERSION_FOR_TESTS));

QString line(int index, int x, int y) {
    return QStringLiteral("XY(%1).X=%2: XY(%1).Y=%3\r\n").arg(index).arg(x).arg(y);
}

// The polygon's procedure text around the lines collected before.
QString wrapped(int n, const QString &previous, const QString &closingLine) {
    return QStringLiteral("Dim hRgn As Long\r\n\r\nReDim XY(%1) As Coordinates\r\n\r\n").arg(n) +
           previous + closingLine +
           QStringLiteral("\r\nhRgn = CreatePolygonRgn(XY(0),%1, 2)\r\n"
                          "Call SetWindowRgn(Me.hWnd, hRgn, True)\r\n")
               .arg(n);
}

// The open window of a class, or nullptr; closed windows are gone first.
template <class W> W *open() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<W *>(window))
            return found;
    }
    return nullptr;
}

QString saveFormat() {
    return open<OutForm>() ? open<OutForm>()->saveFormatText() : QString();
}

std::optional<QRegion> previewRegion() {
    return platform::windowRegion(open<CutForm>());
}

void activate(QWidget *window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

QStringList s_opened; // what the shell was asked to open, in order

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<MainForm> form;
    std::unique_ptr<QWidget> m_other; // another top-level window to take the activation
    QStringList warnings;

    void makeForm(float twipsPerPixel) {
        form.reset();
        platform::setTwipsPerPixelForTesting(twipsPerPixel, twipsPerPixel);
        form = std::make_unique<MainForm>();
        activate(form.get());
    }
    template <class T = QWidget> T *named(const QString &name) const {
        return form->findChild<T *>(name);
    }
    QAction *action(const char *name) const { return named<QAction>(QLatin1String(name)); }
    bool enabled(const char *name) const { return action(name)->isEnabled(); }
    QLineEdit *SetPar(int i) const { return named<QLineEdit>(QStringLiteral("SetPar(%1)").arg(i)); }
    QWidget *ParFrm(int i) const { return named(QStringLiteral("ParFrm(%1)").arg(i)); }
    TracingSurface *surface() const { return form->findChild<TracingSurface *>(); }
    int16_t pointCount() const { return form->outline().PointCount; }
    // A real click on the surface at a position in pixels.
    void click(QPoint pixel, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(surface(), button, Qt::NoModifier, pixel);
    }
    void clickAll(std::initializer_list<QPoint> pixels) {
        for (QPoint pixel : pixels)
            click(pixel);
    }
    // Mouse-downs straight into the handler at positions in pixels (15 twips each).
    void trace(const std::vector<Coordinates> &points, int button = 1) {
        for (const Coordinates &p : points)
            form->Form_MouseDown(button, 0, p.X * 15, p.Y * 15);
    }
    bool blackAt(QPoint pixel) const {
        return surface()->drawing().pixelColor(pixel) == QColor(Qt::black);
    }
    bool drawingIsBlank() const {
        QImage blank = surface()->drawing();
        blank.fill(blank.pixel(0, 0));
        return surface()->drawing() == blank;
    }
    void generateShape(bool ellipse) {
        action(ellipse ? "MakeEllipse" : "RoundRect")->trigger();
        named<QPushButton>(ellipse ? "CircleOkBut" : "RectOkBut")->click();
    }
    Form2 *showAbout() {
        form->about_Click();
        return open<Form2>();
    }

private slots:
    void init() {
        warnings.clear();
        platform::setWarningSinkForTesting([this](const QString &text) { warnings << text; });
        s_opened.clear();
        platform::setShellOpenerForTesting([](const QString &target) {
            s_opened << target;
            return false; // the about window closes all the same
        });
        m_other = std::make_unique<QWidget>();
        makeForm(15);
    }
    void cleanup() {
        form.reset(); // with the windows it made
        m_other.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        platform::setTwipsPerPixelForTesting(0, 0);
        platform::setWarningSinkForTesting({});
        platform::setShellOpenerForTesting({});
    }

    void at12TwipsPerPixel() {
        makeForm(12); // 4980 x 4395 and 4695 x 4080 twips are not whole pixels here
        QCOMPARE(surface()->size(), QSize(415, 366));
        form->Program_Click();
        QCOMPARE(open<OutForm>()->size(), QSize(391, 340));
        // The boxes end where their panel's button ends, as they do in twips.
        action("MakeEllipse")->trigger();
        action("RoundRect")->trigger();
        for (int i = 0; i < 10; ++i)
            QCOMPARE(SetPar(i)->geometry().right(),
                     named(i < 4 ? "CircleOkBut" : "RectOkBut")->geometry().right());
        // The default shapes; the figures for other boxes are tst_rules' own.
        generateShape(true);
        QCOMPARE(previewRegion(), platform::CreateEllipticRgn(8, 8, 417, 417));
        generateShape(false);
        QCOMPARE(previewRegion(), platform::CreateRoundRectRgn(8, 8, 417, 417, 100, 100));
    }

    // A dot at each clicked vertex and a line from the mouse-down before, whatever its button; a
    // drag leaves dots alone, also outside the window. Half pixels, which no mouse gives, are
    // stored halves to even and written as they are.
    void capture() {
        clickAll({{100, 50}, {200, 50}, {150, 120}});
        QVERIFY(blackAt({100, 50}) && blackAt({150, 50}) && blackAt({175, 85}) &&
                !blackAt({150, 60}));
        click({150, 200}, Qt::MiddleButton);
        QVERIFY(blackAt({150, 160}) && pointCount() == 3);
        for (const QPoint at : {QPoint(200, 200), QPoint(-3, 12)}) {
            QMouseEvent move(QEvent::MouseMove, at, surface()->mapToGlobal(at), Qt::NoButton,
                             Qt::RightButton, Qt::NoModifier);
            QApplication::sendEvent(surface(), &move);
        }
        QVERIFY(blackAt({200, 200}) && !blackAt({200, 202}) && !blackAt({175, 200}));
        QVERIFY(saveFormat().endsWith(line(4, -3, 12)));
        click({150, 240}); // joined to the last mouse-down, not to the last dot
        QVERIFY(blackAt({150, 220}));

        form->RestBut_Click();
        form->Form_MouseDown(1, 0, 562.5f, 337.5f); // 37.5 and 22.5 pixels
        form->Form_MouseMove(2, 0, 562.5f, 337.5f);
        QCOMPARE(saveFormat(), line(0, 38, 22) + QStringLiteral("XY(1).X=37.5: XY(1).Y=22.5\r\n"));
        QCOMPARE(QPoint(form->outline().XY[1].X, form->outline().XY[1].Y), QPoint(38, 22));
    }

    void focusRuleWithAndWithoutPanel() {
        action("MakeEllipse")->trigger();
        SetPar(0)->setFocus();
        QTRY_VERIFY(SetPar(0)->hasFocus());
        clickAll({{10, 10}, {60, 10}, {60, 60}});
        activate(m_other.get());
        activate(form.get());
        QCOMPARE(pointCount(), int16_t(3)); // a panel is shown: nothing happens
        ParFrm(0)->hide();                  // the focus leaves the box, the window stays active
        QVERIFY(form->isActiveWindow() && pointCount() == 3 && blackAt({35, 10}));
        activate(m_other.get());
        QCOMPARE(pointCount(), int16_t(3)); // losing the activation does nothing
        // A click on the inactive window: its activation first, then a vertex of a new outline.
        click({40, 50});
        QCOMPARE(saveFormat(), line(0, 40, 50));
        QVERIFY(blackAt({40, 50}) && !blackAt({35, 10}));
        click({60, 50});      // no desktop activates it (a bare X server): the outline goes on
        activate(form.get()); // the desktop reports that activation afterwards: the vertices stay
        QCOMPARE(pointCount(), int16_t(2));
        activate(m_other.get());
        activate(form.get());
        QVERIFY(pointCount() == 0 && drawingIsBlank() && saveFormat().isEmpty());
        QVERIFY(form->outline().ClosingLine.empty() && enabled("MakeBut"));
    }

    // The program's own box gives the activation back without emptying the outline, whether the
    // desktop hands it back or a click on the window takes it.
    void ownMessageBoxKeepsTheOutline() {
        for (int i = 0; i < 500; ++i) // full: every further click brings the message
            click({i % 300 + 5, i / 300 * 10 + 5});
        platform::setWarningSinkForTesting({});
        const auto clickThroughBox = [this] {
            QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
            click({5, 5});
        };
        clickThroughBox();
        activate(form.get()); // as a window manager gives it back
        clickThroughBox();
        clickThroughBox();    // on the window the box left inactive
        activate(form.get()); // that click's activation, reported after it
        QCOMPARE(pointCount(), int16_t(500));
        activate(m_other.get()); // another window's activation still empties it
        activate(form.get());
        QCOMPARE(pointCount(), int16_t(0));
    }

    // Closing the code window ends the outline; a use before the closed window is gone makes a
    // fresh one, with the initial texts, not on top.
    void closedCodeWindowComesBackFresh() {
        clickAll({{10, 10}, {60, 10}, {60, 60}});
        form->Program_Click();
        QPointer<OutForm> closed = open<OutForm>();
        closed->findChild<QCheckBox *>()->click();
        QVERIFY(platform::isTopmost(closed) && closed->close());
        QVERIFY(!enabled("Program") && !enabled("MakeBut") && pointCount() == 0);
        QVERIFY(drawingIsBlank());
        click({20, 30});
        OutForm *fresh = open<OutForm>();
        QVERIFY(!closed && fresh && !fresh->isVisible() && !platform::isTopmost(fresh));
        QCOMPARE(fresh->saveFormatText(), line(0, 20, 30));
        QCOMPARE(fresh->declareText(),
                 QStringLiteral("Private Type Coordinates\r\n   X As Long\r\n   Y As Long\r\n"
                                "End Type\r\nDim XY(500) As Coordinates\r\n\r\n"
                                "Private Declare Function SetWindowRgn Lib \"user32\" \r\n"
                                "(ByVal hWnd As Long, ByVal hRgn As Long, ByVal \r\n"
                                "bRedraw As Long) As Long\r\n"
                                "Private Declare Function CreatePolygonRgn Lib \"gdi32\" \r\n"
                                "(lpPoint As Coordinates, ByVal nCount As Long, ByVal \r\n"
                                "nPolyFillMode As Long) As Long\r\n"));
    }

    // A copy of part of a box gives that part as stored, CR LF included; a left click copies the
    // whole text, a right one nothing. The window keeps its place when it goes on top and back.
    void codeWindow() {
        clickAll({{100, 50}, {200, 50}, {150, 120}});
        form->Program_Click();
        OutForm &code = *open<OutForm>();
        auto *box = code.findChild<QPlainTextEdit *>(QStringLiteral("SaveFormat"));
        QTextCursor selection = box->textCursor();
        selection.setPosition(20); // from "=50" of the first line to "XY(1)." of the second
        selection.setPosition(30, QTextCursor::KeepAnchor);
        box->setTextCursor(selection);
        box->copy();
        const QString all = line(0, 100, 50) + line(1, 200, 50) + line(2, 150, 120);
        QClipboard *clipboard = QGuiApplication::clipboard();
        QCOMPARE(clipboard->text(), all.mid(20, 11));
        QTest::mouseClick(box->viewport(), Qt::RightButton, Qt::NoModifier, {40, 20});
        QCOMPARE(clipboard->text(), all.mid(20, 11));
        QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::NoModifier, {40, 20});
        QCOMPARE(clipboard->text(), all);

        QVERIFY(QTest::qWaitForWindowExposed(&code));
        const QRect frame = code.frameGeometry();
        auto *onTop = code.findChild<QCheckBox *>();
        for (const bool checked : {true, false}) {
            QTest::mouseClick(onTop, Qt::LeftButton, Qt::NoModifier, {5, onTop->height() / 2});
            QVERIFY(platform::isTopmost(&code) == checked && code.frameGeometry() == frame);
        }
    }

    void closingTheMainWindowClosesTheOthers() {
        clickAll({{10, 10}, {60, 10}});
        form->Program_Click();
        QPointer<CutForm> preview = open<CutForm>();
        // The preview follows every change of the main window's outer size.
        const int height = form->frameGeometry().height();
        surface()->setFixedHeight(surface()->height() + 20);
        QTRY_COMPARE(form->frameGeometry().height(), height + 20);
        QCOMPARE(preview->frameGeometry().size(), form->frameGeometry().size());
        QVERIFY(form->close());
        QVERIFY(!open<OutForm>() && !open<CutForm>());
    }

    // Two vertices leave "&Код" as it was; without a reset the next run wraps the text again. The
    // preview shows the polygon as the region constructor makes it from the same points.
    void polygonRuns() {
        const QString two = line(0, 30, 40) + line(1, 120, 90);
        for (const bool codeEnabled : {true, false}) {
            form->RestBut_Click();
            trace({{30, 40}, {120, 90}});
            trace({{5, 5}}, 2); // a mouse-down with two vertices makes "&Пример" available
            action("Program")->setEnabled(codeEnabled); // as after an ellipse was generated
            form->MakeBut_Click();
            QVERIFY(enabled("Program") == codeEnabled && !enabled("MakeBut"));
            QCOMPARE(saveFormat(), wrapped(2, two, line(2, 30, 40)));
        }
        trace({{50, 80}});
        form->MakeBut_Click();
        QCOMPARE(saveFormat(),
                 wrapped(3, wrapped(2, two, line(2, 30, 40)) + line(2, 50, 80), line(3, 30, 40)));
        const std::vector<Coordinates> points{{30, 40}, {120, 90}, {50, 80}};
        QCOMPARE(previewRegion(), platform::CreatePolygonRgn(points.data(), 3, platform::WINDING));
        QVERIFY(open<CutForm>()->isVisible() && !open<OutForm>()->isVisible());
    }

    // Only a click on the client area hides the preview, which stays loaded with its shape.
    void previewHidesOnAClientClick() {
        form->MakeBut_Click();
        CutForm &preview = *open<CutForm>();
        const QRect bar = CaptionFrame::captionRect(preview.size());
        const QPoint inside = CaptionFrame::clientRect(preview.size()).center();
        for (const QPoint p : {bar.center(), QPoint(1, preview.height() / 2)})
            QTest::mouseClick(&preview, Qt::LeftButton, {}, p);
        QTest::mousePress(&preview, Qt::LeftButton, {}, inside); // let go on the frame: no click
        QTest::mouseRelease(&preview, Qt::LeftButton, {}, bar.center());
        QVERIFY(preview.isVisible());
        QTest::mouseClick(&preview, Qt::LeftButton, {}, inside);
        QVERIFY(!preview.isVisible() && open<CutForm>() == &preview && previewRegion());
    }

    // By its close box, Alt+F4 or a double click on its icon (the second press goes to the menu the
    // first one opened). The next one is fresh, at its first size, even before the closed one goes.
    void closingDisablesThePreviewCommand() {
        for (const int how : {0, 1, 2}) {
            generateShape(true);
            action("MakeBut")->setEnabled(true);
            QPointer<CutForm> preview = open<CutForm>();
            const QPoint icon = CaptionFrame::iconRect(preview->size()).center();
            QTimer::singleShot(0, preview, [&] {
                if (QWidget *menu = QApplication::activePopupWidget())
                    QTest::mousePress(menu, Qt::LeftButton, {},
                                      menu->mapFromGlobal(preview->mapToGlobal(icon)));
            });
            if (how == 0)
                QTest::mouseClick(preview, Qt::LeftButton, {},
                                  CaptionFrame::closeBoxRect(preview->size()).center());
            else if (how == 1)
                QTest::keyClick(preview, Qt::Key_F4, Qt::AltModifier);
            else
                QTest::mousePress(preview, Qt::LeftButton, {}, icon);
            QVERIFY(!enabled("MakeBut") && enabled("Program"));
            generateShape(true);
            const CutForm *fresh = open<CutForm>();
            QVERIFY(!preview && fresh->isVisible() && previewRegion());
            QCOMPARE(fresh->size(), CaptionFrame::outerSizeFor(QSize(333, 310)));
        }
    }

    // Each click puts its declarations in front of the ones before; an overflow in a box stops the
    // click with the panel hidden and "&Код" enabled, and the texts and the preview as they were.
    void declarationsStackAndOverflowsWriteNothing() {
        form->RestBut_Click();
        const QString initial = open<OutForm>()->declareText();
        generateShape(true);
        generateShape(true);
        generateShape(false);
        const QString ellipse =
            QStringLiteral("Private Declare Function CreateEllipticRgn Lib _\r\n"
                           "\"gdi32\" (ByVal X1 As Long, ByVal Y1 As Long, _\r\n"
                           "ByVal X2 As Long, ByVal Y2 As Long) As Long\r\n");
        const QString declarations =
            QStringLiteral("Private Declare Function CreateRoundRectRgn _\r\n"
                           "Lib\"gdi32\"(ByVal X1 As Long, ByVal Y1 As Long, _\r\n"
                           "ByVal X2 As Long, ByVal Y2 As Long, ByVal X3 As Long, ByVal Y3 As "
                           "Long) As Long\r\n"
                           "\r\n") +
            ellipse + ellipse + initial;
        QCOMPARE(open<OutForm>()->declareText(), declarations);
        const QString procedure = saveFormat();
        const std::optional<QRegion> region = previewRegion();
        action("Program")->setEnabled(false);
        SetPar(9)->setText(QStringLiteral("1e5"));
        generateShape(false);
        QCOMPARE(warnings, QStringList{platform::runtimeErrorText(platform::ErrOverflow)});
        QVERIFY(enabled("Program") && ParFrm(1)->isHidden());
        QVERIFY(open<OutForm>()->declareText() == declarations && saveFormat() == procedure);
        QCOMPARE(previewRegion(), region);
    }

    // The boxes keep what the user left in them through the reset; presses on a panel stay off
    // the surface under it; Enter presses a panel's focused button.
    void panels() {
        action("MakeEllipse")->trigger();
        QTest::keyClicks(SetPar(1), QStringLiteral("7"));
        action("RoundRect")->trigger();
        SetPar(8)->setText(QStringLiteral("abc"));
        action("RestBut")->trigger();
        QVERIFY(ParFrm(0)->isHidden() && ParFrm(1)->isHidden());
        QVERIFY(SetPar(1)->text() == "1007" && SetPar(8)->text() == "abc");
        for (const int panel : {0, 1}) {
            action(panel == 0 ? "MakeEllipse" : "RoundRect")->trigger();
            for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
                for (QWidget *under :
                     {ParFrm(panel), named(QStringLiteral("Label1(%1)").arg(panel * 4))}) {
                    const QPoint at = under->mapTo(form.get(), under->rect().bottomRight());
                    QTest::mousePress(form->windowHandle(), button, {}, at);
                    QTest::mouseRelease(form->windowHandle(), button, {}, at);
                }
            }
            QCOMPARE(pointCount(), int16_t(0));
            activate(form.get()); // back from the preview the last panel showed
            named(panel == 0 ? "CircleOkBut" : "RectOkBut")->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QVERIFY(ParFrm(panel)->isHidden() && enabled("Program"));
        }
    }

    // A click on a link opens it and closes the window, even when the shell fails; one on the
    // dialog edge is none; the window shown again is the same, with what its load wrote, until it
    // closes.
    void aboutWindow() {
        for (const char *link : {"Label7", "Label5", ""}) { // the web, the mail, the background
            QPointer<Form2> about = showAbout();
            QVERIFY(QTest::qWaitForWindowExposed(about));
            QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, QPoint(1, 100));
            QVERIFY(open<Form2>());
            const QWidget *control = about->findChild<QWidget *>(link);
            QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {},
                              *link ? control->geometry().center() : QPoint(5, 100));
            QVERIFY(!open<Form2>() && !about);
        }
        QCOMPARE(s_opened, QStringList({ZARNIK_WEB_ADDRESS,
                                        "mailto:" ZARNIK_MAIL_ADDRESS "?Subject=" + kTitle}));
        QPointer<Form2> first = showAbout();
        QLabel *title = first->findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(first->isVisible() && title->text() == kTitle);
        title->setText(QStringLiteral("marker"));
        first->hide();
        QVERIFY(showAbout() == first && first->isVisible() && title->text() == "marker");
        first->close();
        QCOMPARE(showAbout()->findChild<QLabel *>(QStringLiteral("Label1"))->text(), kTitle);
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
