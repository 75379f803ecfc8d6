// The three generators from the menu or the panel to the code window's texts and the shaped
// preview, and the preview window's own behaviour, on the real windows.
#include "FormsFixture.h"
#include "platform/Regions.h"
#include "platform/RuntimeError.h"
#include "windows/CaptionFrame.h"

#include <QLabel>
#include <QPushButton>

namespace {

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

// What the region constructor makes of the same points, passed the same way.
std::optional<QRegion> polygonOf(const std::vector<Coordinates> &points) {
    return platform::CreatePolygonRgn(points.data(), int32_t(points.size()), platform::WINDING);
}

const QString kEllipseDeclarations =
    QStringLiteral("Private Declare Function CreateEllipticRgn Lib _\r\n"
                   "\"gdi32\" (ByVal X1 As Long, ByVal Y1 As Long, _\r\n"
                   "ByVal X2 As Long, ByVal Y2 As Long) As Long\r\n");
const QString kRoundRectDeclarations = QStringLiteral(
    "Private Declare Function CreateRoundRectRgn _\r\n"
    "Lib\"gdi32\"(ByVal X1 As Long, ByVal Y1 As Long, _\r\n"
    "ByVal X2 As Long, ByVal Y2 As Long, ByVal X3 As Long, ByVal Y3 As Long) As Long\r\n\r\n");

QString ellipseProcedure(const QStringList &n) {
    return QStringLiteral("Dim MakeCircle As String\r\n\r\n"
                          "MakeCircle = CreateEllipticRgn(%1/ Screen.TwipsPerPixelX, _\r\n"
                          "%2/ Screen.TwipsPerPixelY, _\r\n%3/ Screen.TwipsPerPixelX, _\r\n"
                          "%4/ Screen.TwipsPerPixelY)\r\n"
                          "Call SetWindowRgn(Me.hWnd, MakeCircle, True)\r\n")
        .arg(n[0], n[1], n[2], n[3]);
}

QString roundRectProcedure(const QStringList &n) {
    return QStringLiteral("Dim MakeRegion As Long\r\n"
                          "MakeRegion = CreateRoundRectRgn(%1 / Screen.TwipsPerPixelX, _\r\n"
                          "%2 / Screen.TwipsPerPixelY, _\r\n%3 / Screen.TwipsPerPixelX, _\r\n"
                          "%4/ Screen.TwipsPerPixelY, _\r\n%5,%6)\r\n\r\n"
                          "Call SetWindowRgn(Me.hWnd, MakeRegion, True)")
        .arg(n[0], n[1], n[2], n[3], n[4], n[5]);
}

using Boxes = QMap<int, QString>;

// A double click on the preview's icon as the desktop delivers it: the first press opens the
// system menu, which then holds the mouse, so that the rest reaches the menu.
void doubleClickIcon(CutForm *preview) {
    const QPointF icon = preview->mapToGlobal(CaptionFrame::iconRect(preview->size()).center());
    const int time = QTest::lastMouseTimestamp += 1000;
    QTest::lastMouseTimestamp += 1000;
    auto send = [icon](QWindow *window, QEvent::Type type, int at) {
        const bool press = type == QEvent::MouseButtonPress;
        qt_handleMouseEvent(window, window->mapFromGlobal(icon), icon,
                            press ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, type, {}, at);
    };
    QTimer::singleShot(0, [&] {
        QWindow *menu = QApplication::activePopupWidget()->windowHandle();
        send(menu, QEvent::MouseButtonRelease, time + 50);
        send(menu, QEvent::MouseButtonPress, time + 150);
        send(menu, QEvent::MouseButtonRelease, time + 200);
    });
    QTimer::singleShot(2000, [] { // a menu that the second press opened again
        if (QWidget *menu = QApplication::activePopupWidget())
            menu->close();
    });
    send(preview->windowHandle(), QEvent::MouseButtonPress, time);
    QCoreApplication::processEvents();
}

} // namespace

class TestGenerators : public QObject, FormsFixture {
    Q_OBJECT

    // A mouse-down on the main window at a position in pixels (15 twips each).
    void trace(const std::vector<Coordinates> &points, int button = 1) {
        for (const Coordinates &p : points)
            form->Form_MouseDown(button, 0, p.X * 15, p.Y * 15);
    }
    // Opens the panel and clicks its button.
    void generateShape(bool ellipse) {
        action(ellipse ? "MakeEllipse" : "RoundRect")->trigger();
        named<QPushButton>(ellipse ? "CircleOkBut" : "RectOkBut")->click();
    }
    bool enabled(const char *item) const { return action(item)->isEnabled(); }

private slots:
    void init() {
        makeForm(15);
        form->RestBut_Click(); // the code window and the preview made, hidden
    }
    void cleanup() { tearDown(); }

    // The preview shows the polygon measured from its outer corner; a reset hides it with its
    // shape, which it keeps for the next showing.
    void triangleShapesThePreview() {
        const std::vector<Coordinates> triangle{{10, 20}, {100, 20}, {50, 80}};
        trace(triangle);
        form->MakeBut_Click();
        QVERIFY(open<CutForm>()->isVisible() && !open<OutForm>()->isVisible());
        QVERIFY(polygonOf(triangle) && !polygonOf(triangle)->isEmpty());
        QCOMPARE(previewRegion(), polygonOf(triangle));
        form->RestBut_Click();
        QVERIFY(!open<CutForm>()->isVisible());
        QCOMPARE(previewRegion(), polygonOf(triangle));
    }

    // Two vertices leave "&Код" as it was; without a reset the next run wraps the text again.
    void twoPointsThenASecondRun() {
        const QString two = line(0, 30, 40) + line(1, 120, 90);
        for (const bool codeEnabled : {true, false}) {
            form->RestBut_Click();
            trace({{30, 40}, {120, 90}});
            trace({{5, 5}}, 2); // a mouse-down with two vertices makes "&Пример" available
            action("Program")->setEnabled(codeEnabled); // as after an ellipse was generated
            form->MakeBut_Click();
            QCOMPARE(enabled("Program"), codeEnabled);
            QCOMPARE(saveFormat(), wrapped(2, two, line(2, 30, 40)));
            QCOMPARE(previewRegion(), std::optional(QRegion()));
        }
        trace({{50, 80}});
        QVERIFY(enabled("MakeBut"));
        form->MakeBut_Click();
        QCOMPARE(saveFormat(),
                 wrapped(3, wrapped(2, two, line(2, 30, 40)) + line(2, 50, 80), line(3, 30, 40)));
        QCOMPARE(previewRegion(), polygonOf({{30, 40}, {120, 90}, {50, 80}}));
    }

    // The focus rule empties the outline but leaves "&Пример": the run takes n = 0 or 1.
    void afterTheFocusRule() {
        for (const bool oneMore : {false, true}) {
            form->RestBut_Click();
            trace({{10, 20}, {100, 20}, {50, 80}});
            form->Form_GotFocus();
            if (oneMore)
                trace({{70, 5}});
            form->MakeBut_Click();
            const QString code = oneMore ? wrapped(1, line(0, 70, 5), line(1, 70, 5))
                                         : wrapped(0, QString(), QString());
            QCOMPARE(saveFormat(), code);
            QCOMPARE(previewRegion(), std::optional(QRegion()));
            form->Form_GotFocus(); // generated code stays to be copied
            QCOMPARE(saveFormat(), code);
        }
    }

    void clicksHideOnlyOnTheClientArea() {
        action("MakeBut")->setEnabled(true);
        CutForm &preview = *open<CutForm>();
        preview.show();
        const QSize outer = preview.size();
        const QRect bar = CaptionFrame::captionRect(outer);
        for (const QPoint p : {bar.center(), QPoint(1, outer.height() / 2)}) {
            QTest::mouseClick(&preview, Qt::LeftButton, {}, p);
            QVERIFY(preview.isVisible());
        }
        // A press on the client area let go on the frame is no click either.
        QTest::mousePress(&preview, Qt::LeftButton, {}, CaptionFrame::clientRect(outer).center());
        QTest::mouseRelease(&preview, Qt::LeftButton, {}, bar.center());
        QVERIFY(preview.isVisible());
        QTest::mouseClick(&preview, Qt::LeftButton, {}, CaptionFrame::clientRect(outer).center());
        QVERIFY(!preview.isVisible());
        QCOMPARE(open<CutForm>(), &preview); // hidden, not closed
        QVERIFY(enabled("MakeBut"));
    }

    void closingDisablesThePreviewCommand_data() {
        QTest::addColumn<QString>("how");
        for (const char *how : {"close box", "Alt+F4", "icon"})
            QTest::newRow(how) << how;
    }
    void closingDisablesThePreviewCommand() {
        QFETCH(QString, how);
        generateShape(true);
        action("MakeBut")->setEnabled(true);
        QPointer<CutForm> preview = open<CutForm>();
        if (how == "close box")
            QTest::mouseClick(preview, Qt::LeftButton, {},
                              CaptionFrame::closeBoxRect(preview->size()).center());
        else if (how == "Alt+F4")
            QTest::keyClick(preview, Qt::Key_F4, Qt::AltModifier);
        else
            doubleClickIcon(preview);
        QVERIFY(!enabled("MakeBut") && enabled("Program"));
        generateShape(true); // before the closed one is gone: a fresh one takes the shape
        flushDeletes();
        QVERIFY(!preview && previewRegion());
        QVERIFY(open<CutForm>()->isVisible());
        QCOMPARE(open<CutForm>()->size(), CaptionFrame::outerSizeFor(QSize(333, 310)));
    }

    void sizeFollowsTheMainWindowTheRegionStays() {
        trace({{10, 20}, {100, 20}, {50, 80}});
        form->Form_Resize();
        form->MakeBut_Click();
        CutForm &preview = *open<CutForm>();
        QCOMPARE(preview.size(), form->frameGeometry().size());
        const QRegion region = preview.mask();
        preview.resize(preview.size() + QSize(60, 70));
        QCOMPARE(preview.mask(), region);
    }

    void generate_data() {
        QTest::addColumn<float>("twipsPerPixel");
        QTest::addColumn<bool>("ellipse");
        QTest::addColumn<Boxes>("typed");     // box index -> text, over the defaults
        QTest::addColumn<QString>("written"); // the numbers in the order written
        QTest::addColumn<QRegion>("region");
        using platform::CreateEllipticRgn;
        using platform::CreateRoundRectRgn;
        QTest::newRow("ellipse at 12") << 12.0f << true << Boxes() << "100 100 5000 5000"
                                       << *CreateEllipticRgn(8, 8, 417, 417);
        QTest::newRow("rounded at 12") << 12.0f << false << Boxes() << "100 100 5000 5000 100 100"
                                       << *CreateRoundRectRgn(8, 8, 417, 417, 100, 100);
        // Each box in its place: P0 left, P1 top, P3 right, P2 bottom; Q5 left, Q4 top, Q7 right,
        // Q6 bottom, then Q9 and Q8. 1500 twips are 100 pixels.
        QTest::newRow("ellipse boxes")
            << 15.0f << true << Boxes{{0, "1500"}, {1, "3000"}, {2, "4500"}, {3, "6000"}}
            << "1500 3000 6000 4500" << *CreateEllipticRgn(100, 200, 400, 300);
        QTest::newRow("rounded boxes")
            << 15.0f << false
            << Boxes{{4, "3000"}, {5, "1500"}, {6, "4500"}, {7, "6000"}, {8, "150"}, {9, "-20"}}
            << "1500 3000 6000 4500 -20 150" << *CreateRoundRectRgn(100, 200, 400, 300, -20, 150);
        // 30 and 90 twips are 2.5 and 7.5 pixels.
        QTest::newRow("halves to even") << 12.0f << true << Boxes{{0, "30"}, {1, "90"}, {3, ""}}
                                        << "30 90 0 5000" << *CreateEllipticRgn(2, 8, 0, 417);
    }
    void generate() {
        QFETCH(float, twipsPerPixel);
        QFETCH(bool, ellipse);
        QFETCH(Boxes, typed);
        QFETCH(QString, written);
        QFETCH(QRegion, region);
        makeForm(twipsPerPixel);
        for (auto it = typed.cbegin(); it != typed.cend(); ++it)
            SetPar(it.key())->setText(it.value());
        generateShape(ellipse);
        QCOMPARE(warnings, QStringList());
        const QStringList n = written.split(u' ');
        QCOMPARE(saveFormat(), ellipse ? ellipseProcedure(n) : roundRectProcedure(n));
        QVERIFY(enabled("Program") && ParFrm(ellipse ? 0 : 1)->isHidden());
        QVERIFY(open<CutForm>()->isVisible() && !open<OutForm>()->isVisible());
        QCOMPARE(previewRegion(), std::optional<QRegion>(region));
    }

    void declarationsStackAndProcedureIsReplaced() {
        const QString initial = declareText();
        generateShape(true);
        SetPar(0)->setText(QStringLiteral("1500"));
        generateShape(true);
        QCOMPARE(declareText(), kEllipseDeclarations + kEllipseDeclarations + initial);
        QCOMPARE(saveFormat(), ellipseProcedure({"1500", "100", "5000", "5000"}));
        generateShape(false);
        QCOMPARE(declareText(),
                 kRoundRectDeclarations + kEllipseDeclarations + kEllipseDeclarations + initial);
        QCOMPARE(saveFormat(), roundRectProcedure({"100", "100", "5000", "5000", "100", "100"}));
    }

    // A good click, then one that overflows in its last box: the panel is hidden and "&Код"
    // enabled, and the texts and the preview keep what the good click left.
    void overflowStopsAtTheBox() {
        generateShape(false);
        const QString declarations = declareText(), procedure = saveFormat();
        const std::optional<QRegion> region = previewRegion();
        action("Program")->setEnabled(false);
        SetPar(4)->setText(QStringLiteral("1000"));
        SetPar(9)->setText(QStringLiteral("1e5"));
        generateShape(false);
        QCOMPARE(warnings, QStringList{platform::runtimeErrorText(platform::ErrOverflow)});
        QVERIFY(enabled("Program") && ParFrm(1)->isHidden());
        QCOMPARE(declareText(), declarations);
        QCOMPARE(saveFormat(), procedure);
        QCOMPARE(previewRegion(), region);
    }

    // The boxes keep what the user left in them, through the reset.
    void panelTextsOutliveTheReset() {
        action("MakeEllipse")->trigger();
        SetPar(1)->clear();
        QTest::keyClicks(SetPar(1), QStringLiteral("250"));
        action("RoundRect")->trigger();
        SetPar(8)->setText(QStringLiteral("abc"));
        action("RestBut")->trigger();
        QVERIFY(ParFrm(0)->isHidden() && ParFrm(1)->isHidden());
        QCOMPARE(SetPar(1)->text(), QStringLiteral("250"));
        QCOMPARE(SetPar(8)->text(), QStringLiteral("abc"));
    }

    void tabRunsDownTheBoxesToTheButton() {
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        for (const bool ellipse : {true, false}) {
            action(ellipse ? "MakeEllipse" : "RoundRect")->trigger();
            QList<QWidget *> expected;
            for (int i = ellipse ? 0 : 4; i < (ellipse ? 4 : 10); ++i)
                expected << SetPar(i);
            expected << named(ellipse ? "CircleOkBut" : "RectOkBut");
            expected.first()->setFocus(Qt::TabFocusReason);
            QTRY_COMPARE(QApplication::focusWidget(), expected.first());
            for (qsizetype i = 1; i < expected.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), expected[i]);
            }
            QTest::keyClick(expected.last(), Qt::Key_Return); // presses the button
            QVERIFY(!expected.last()->isVisible());
        }
    }

    // Presses go through the window, as the platform delivers them, to whatever lies under the
    // cursor: on a panel they stay off the surface.
    void pressesOnAPanelStayOffTheSurface() {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        auto press = [this](QWidget *widget, QPoint local, Qt::MouseButton button) {
            const QPoint pos = widget->mapTo(form.get(), local);
            QTest::mousePress(form->windowHandle(), button, {}, pos);
            QTest::mouseRelease(form->windowHandle(), button, {}, pos + QPoint(3, 3));
        };
        for (const int panel : {0, 1}) {
            action(panel == 0 ? "MakeEllipse" : "RoundRect")->trigger();
            QWidget *frame = ParFrm(panel);
            for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
                press(frame, QPoint(frame->width() - 3, frame->height() - 3), b); // bare frame
                press(frame->findChild<QLabel *>(), QPoint(2, 2), b);
            }
            QVERIFY(frame->isVisible());
            QCOMPARE(form->outline().PointCount, int16_t(0));
        }
        // The same press beside the panel does reach the surface.
        press(surface(), ParFrm(1)->geometry().topRight() + QPoint(20, 20), Qt::LeftButton);
        QCOMPARE(form->outline().PointCount, int16_t(1));
    }
};

QTEST_MAIN(TestGenerators)
#include "tst_generators.moc"
