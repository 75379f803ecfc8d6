#include "FormsFixture.h"
#include "platform/Regions.h"
#include "windows/CaptionFrame.h"

#include <QAction>
#include <QTimer>
#include <vector>

// The "&Пример" command from the first click to the shaped preview and the code window's texts,
// and the preview window's own behaviour, on the real windows.
namespace {

const QString kDeclarations =
    QStringLiteral("Private Type Coordinates\r\nX As Long\r\nY As Long\r\nEnd Type\r\n"
                   "Dim XY() As Coordinates\r\n\r\nPrivate Declare Function SetWindowRgn Lib _\r\n"
                   "\"user32\" (ByVal hWnd As Long, _\r\n"
                   "ByVal hRgn As Long, ByVal bRedraw As Long) As Long\r\n"
                   "Private Declare Function CreatePolygonRgn Lib _\r\n"
                   "\"gdi32\"(lpPoint As Coordinates, ByVal nCount As _\r\n"
                   "Long, ByVal nPolyFillMode As Long) As Long");

const std::vector<Coordinates> kTriangle{{10, 20}, {100, 20}, {50, 80}};

QString line(int index, int x, int y) {
    return QStringLiteral("XY(%1).X=%2: XY(%1).Y=%3\r\n").arg(index).arg(x).arg(y);
}

// The procedure text around the lines collected before.
QByteArray wrapped(int n, const QString &previous, const QString &closingLine) {
    return (QStringLiteral("Dim hRgn As Long\r\n\r\nReDim XY(%1) As Coordinates\r\n\r\n").arg(n) +
            previous + closingLine +
            QStringLiteral("\r\nhRgn = CreatePolygonRgn(XY(0),%1, 2)\r\n"
                           "Call SetWindowRgn(Me.hWnd, hRgn, True)\r\n")
                .arg(n))
        .toUtf8();
}

// What the region constructor makes of the same points, passed the same way.
std::optional<QRegion> polygonOf(const std::vector<Coordinates> &points) {
    return platform::CreatePolygonRgn(points.data(), int32_t(points.size()), 2);
}

QByteArray codeBytes() {
    return OutForm::ref().saveFormatText().toUtf8();
}

// A press, a move with the button held and a release, as a drag on the frame.
void drag(QWidget *w, QPoint from, QPoint by) {
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(from + by), QPointF(w->mapToGlobal(from) + by),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QTest::mouseRelease(w, Qt::LeftButton, {}, from + by);
}

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
    QTimer menuLeftOpen; // closes a menu that the second press opened again
    QObject::connect(&menuLeftOpen, &QTimer::timeout, [] {
        if (QWidget *menu = QApplication::activePopupWidget())
            menu->close();
    });
    menuLeftOpen.start(1000);
    send(preview->windowHandle(), QEvent::MouseButtonPress, time);
    QCoreApplication::processEvents();
}

} // namespace

class TestPolygon : public QObject, FormsFixture {
    Q_OBJECT

    // A mouse-down on the main window at a position in pixels (15 twips each).
    void mouseDown(int x, int y, int button = 1) {
        form->Form_MouseDown(button, 0, x * 15, y * 15);
    }
    void trace(const std::vector<Coordinates> &points) {
        for (const Coordinates &p : points)
            mouseDown(p.X, p.Y);
    }

private slots:
    void init() {
        makeForm(15);
        form->RestBut_Click();
    }
    void cleanup() { tearDown(); }

    void triangleGivesTheWorkedExample() {
        trace(kTriangle);
        QVERIFY(form->MakeBut->isEnabled());
        QVERIFY(!form->Program->isEnabled());
        form->MakeBut_Click();

        QVERIFY(!form->MakeBut->isEnabled());
        QVERIFY(form->Program->isEnabled());
        QVERIFY(CutForm::loaded() && CutForm::loaded()->isVisible());
        QVERIFY(!OutForm::loaded()->isVisible()); // the user opens it with "&Код"
        QCOMPARE(codeBytes(),
                 QByteArray("Dim hRgn As Long\r\n\r\nReDim XY(3) As Coordinates\r\n\r\n"
                            "XY(0).X=10: XY(0).Y=20\r\nXY(1).X=100: XY(1).Y=20\r\n"
                            "XY(2).X=50: XY(2).Y=80\r\nXY(3).X=10: XY(3).Y=20\r\n\r\n"
                            "hRgn = CreatePolygonRgn(XY(0),3, 2)\r\n"
                            "Call SetWindowRgn(Me.hWnd, hRgn, True)\r\n"));
        QCOMPARE(OutForm::ref().declareText().toUtf8(), kDeclarations.toUtf8());

        // The triangle itself, measured from the preview's outer corner: not moved by the frame.
        QVERIFY(polygonOf(kTriangle) && !polygonOf(kTriangle)->isEmpty());
        QCOMPARE(previewRegion(), polygonOf(kTriangle));

        // A reset hides the preview and keeps its shape for the next showing.
        form->RestBut_Click();
        QVERIFY(!CutForm::loaded()->isVisible());
        QCOMPARE(previewRegion(), polygonOf(kTriangle));
    }

    void twoPointsThenASecondRun() {
        const QString two = line(0, 30, 40) + line(1, 120, 90);
        for (const bool codeEnabled : {true, false}) {
            form->RestBut_Click();
            trace({{30, 40}, {120, 90}});
            mouseDown(5, 5, 2); // a mouse-down with two vertices makes "&Пример" available
            QVERIFY(form->MakeBut->isEnabled());
            form->Program->setEnabled(codeEnabled); // as after an ellipse was generated
            form->MakeBut_Click();
            QCOMPARE(form->Program->isEnabled(), codeEnabled); // n = 2 leaves "&Код" as it was
            QCOMPARE(codeBytes(), wrapped(2, two, line(2, 30, 40)));
            QCOMPARE(previewRegion(), polygonOf({{30, 40}, {120, 90}}));
        }
        // No reset in between: the next click adds to the generated text, the next run wraps it.
        mouseDown(50, 80);
        QVERIFY(form->MakeBut->isEnabled());
        form->MakeBut_Click();
        QCOMPARE(codeBytes(),
                 wrapped(3, QString::fromUtf8(wrapped(2, two, line(2, 30, 40))) + line(2, 50, 80),
                         line(3, 30, 40)));
        QCOMPARE(previewRegion(), polygonOf({{30, 40}, {120, 90}, {50, 80}}));
    }

    void afterTheFocusRule() {
        for (const bool oneMore : {false, true}) {
            form->RestBut_Click();
            trace(kTriangle);
            form->Form_GotFocus(); // the outline goes with its lines, "&Пример" stays available
            if (oneMore)
                mouseDown(70, 5);
            form->Program->setEnabled(oneMore);
            form->MakeBut_Click();
            const QByteArray code = oneMore ? wrapped(1, line(0, 70, 5), line(1, 70, 5))
                                            : wrapped(0, QString(), QString());
            QCOMPARE(codeBytes(), code);
            QCOMPARE(previewRegion(), oneMore ? polygonOf({{70, 5}}) : std::optional(QRegion()));
            form->Form_GotFocus(); // generated code stays to be copied
            QCOMPARE(codeBytes(), code);
        }
    }

    void largestOutline() {
        std::vector<Coordinates> points;
        QString collected;
        for (int i = 0; i < 500; ++i) {
            // A zigzag star: every vertex differs, and leaving any one out changes the shape.
            const int x = 160 + (i % 2 ? 150 : 40) * std::cos(i * 2 * M_PI / 500);
            const int y = 160 + (i % 2 ? 150 : 40) * std::sin(i * 2 * M_PI / 500);
            points.push_back({x, y});
            collected += line(i, x, y);
        }
        trace(points);
        form->MakeBut_Click();
        QCOMPARE(codeBytes(), wrapped(500, collected, line(500, points[0].X, points[0].Y)));
        QCOMPARE(previewRegion(), polygonOf(points));
        QVERIFY(previewRegion() != polygonOf({points.begin(), points.end() - 1}));
    }

    void afterTheCodeWindowClosed() {
        trace(kTriangle);
        OutForm::ref().close();
        flushDeletes();
        // The outline went with its lines: the next one starts from vertex 0.
        const std::vector<Coordinates> next{{200, 30}, {150, 150}, {60, 120}};
        trace(next);
        QVERIFY(form->MakeBut->isEnabled());
        form->MakeBut_Click();
        QCOMPARE(codeBytes(), wrapped(3, line(0, 200, 30) + line(1, 150, 150) + line(2, 60, 120),
                                      line(3, 200, 30)));
        QCOMPARE(previewRegion(), polygonOf(next));
    }

    void clicksHideOnlyOnTheClientArea() {
        form->MakeBut->setEnabled(true);
        CutForm &preview = CutForm::ref();
        QVERIFY(!preview.isVisible());
        preview.show();
        const QSize outer = preview.size();
        const QRect bar = CaptionFrame::captionRect(outer);
        for (const QPoint p : {bar.center(), QPoint(1, outer.height() / 2),
                               QPoint(outer.width() / 2, outer.height() - 1)}) {
            QTest::mouseClick(&preview, Qt::LeftButton, {}, p);
            QVERIFY(preview.isVisible());
        }
        // A press on the client area let go on the frame is no click either.
        QTest::mousePress(&preview, Qt::LeftButton, {}, CaptionFrame::clientRect(outer).center());
        QTest::mouseRelease(&preview, Qt::LeftButton, {}, bar.center());
        QVERIFY(preview.isVisible());

        QTest::mouseClick(&preview, Qt::LeftButton, {},
                          CaptionFrame::clientRect(outer).topLeft() + QPoint(5, 5));
        QVERIFY(!preview.isVisible());
        QCOMPARE(CutForm::loaded(), &preview); // hidden, not closed
        QVERIFY(form->MakeBut->isEnabled());
    }

    void closingDisablesThePreviewCommand_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("close") << "close";
        QTest::newRow("close box") << "box";
        QTest::newRow("Alt+F4") << "key";
        QTest::newRow("double click on the icon") << "icon";
    }

    void closingDisablesThePreviewCommand() {
        QFETCH(QString, how);
        trace(kTriangle);
        form->MakeBut_Click();
        form->MakeBut->setEnabled(true);
        QPointer<CutForm> preview = &CutForm::ref();
        const QSize outer = preview->size();
        if (how == "close")
            preview->close();
        else if (how == "box")
            QTest::mouseClick(preview, Qt::LeftButton, {},
                              CaptionFrame::closeBoxRect(outer).center());
        else if (how == "key")
            QTest::keyClick(preview, Qt::Key_F4, Qt::AltModifier);
        else
            doubleClickIcon(preview);
        QVERIFY(!form->MakeBut->isEnabled());
        QVERIFY(!CutForm::loaded());
        flushDeletes();
        QVERIFY(!preview);
        // The next one is fresh: hidden, unshaped, at its first size.
        QVERIFY(!CutForm::ref().isVisible());
        QVERIFY(!previewRegion());
        QVERIFY(CutForm::ref().mask().isEmpty());
        QCOMPARE(CutForm::ref().size(), CaptionFrame::outerSizeFor(QSize(333, 310)));
    }

    void sizeFollowsTheMainWindowTheRegionStays() {
        trace(kTriangle);
        form->Form_Resize();
        form->MakeBut_Click();
        CutForm &preview = CutForm::ref();
        QCOMPARE(preview.size(), form->frameGeometry().size());
        const QRegion region = preview.mask();

        // Sizing the window by its corner leaves the shape as it was.
        const QSize size = preview.size();
        drag(&preview, QPoint(size.width() - 1, size.height() - 1), QPoint(60, 70));
        QCOMPARE(preview.size(), size + QSize(60, 70));
        QCOMPARE(preview.mask(), region);
        QCOMPARE(previewRegion(), std::optional<QRegion>(region));
    }
};

QTEST_MAIN(TestPolygon)
#include "tst_polygon.moc"
