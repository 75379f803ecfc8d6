#include "windows/CaptionFrame.h"

#include <QtTest>

using CaptionFrame::Part;

// The geometry of the frame the preview draws for itself: where a press lands and what dragging
// the border does.
class TestCaptionFrame : public QObject {
    Q_OBJECT

private slots:
    void clientAreaSitsInsideTheFrame();
    void hitTest_data();
    void hitTest();
    void boxesLieInTheCaptionBarFromTheRight();
    void resizingMovesOnlyTheHeldEdges();
    void resizingStopsAtTheSmallestSize();
};

void TestCaptionFrame::clientAreaSitsInsideTheFrame() {
    const QSize client(333, 310);
    const QSize outer = CaptionFrame::outerSizeFor(client);
    const QRect inside = CaptionFrame::clientRect(outer);
    QCOMPARE(inside.size(), client);
    QCOMPARE(inside.left(), CaptionFrame::kBorderPx);
    QCOMPARE(inside.top(), CaptionFrame::kBorderPx + CaptionFrame::kCaptionHeightPx +
                               CaptionFrame::kCaptionGapPx);
    QCOMPARE(outer.width() - inside.right() - 1, CaptionFrame::kBorderPx);
    QCOMPARE(outer.height() - inside.bottom() - 1, CaptionFrame::kBorderPx);
    // The caption bar spans the width between the side borders, right above the client area.
    const QRect bar = CaptionFrame::captionRect(outer);
    QCOMPARE(bar.left(), inside.left());
    QCOMPARE(bar.width(), inside.width());
    QVERIFY(bar.bottom() < inside.top());
}

void TestCaptionFrame::hitTest_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<Part>("part");
    const QSize outer = CaptionFrame::outerSizeFor(QSize(333, 310));
    const int w = outer.width();
    const int h = outer.height();
    const int b = CaptionFrame::kBorderPx;
    const QRect client = CaptionFrame::clientRect(outer);
    QTest::newRow("client top-left") << client.topLeft() << Part::Client;
    QTest::newRow("client bottom-right") << client.bottomRight() << Part::Client;
    QTest::newRow("client middle") << client.center() << Part::Client;
    QTest::newRow("caption") << QPoint(w / 2, b + 5) << Part::Caption;
    QTest::newRow("line under the caption") << QPoint(w / 2, client.top() - 1) << Part::Caption;
    QTest::newRow("icon") << CaptionFrame::iconRect(outer).center() << Part::SystemMenu;
    QTest::newRow("close box") << CaptionFrame::closeBoxRect(outer).center() << Part::CloseBox;
    QTest::newRow("maximize box") << CaptionFrame::maximizeBoxRect(outer).center()
                                  << Part::MaximizeBox;
    QTest::newRow("minimize box") << CaptionFrame::minimizeBoxRect(outer).center()
                                  << Part::MinimizeBox;
    QTest::newRow("gap between maximize and close")
        << QPoint(CaptionFrame::closeBoxRect(outer).left() - 1,
                  CaptionFrame::closeBoxRect(outer).center().y())
        << Part::Caption;
    QTest::newRow("left border") << QPoint(0, h / 2) << Part::Left;
    QTest::newRow("left border inner pixel") << QPoint(b - 1, h / 2) << Part::Left;
    QTest::newRow("right border") << QPoint(w - 1, h / 2) << Part::Right;
    QTest::newRow("top border") << QPoint(w / 2, 0) << Part::Top;
    QTest::newRow("bottom border") << QPoint(w / 2, h - 1) << Part::Bottom;
    QTest::newRow("top-left corner") << QPoint(0, 0) << Part::TopLeft;
    QTest::newRow("top-left along the top") << QPoint(10, 1) << Part::TopLeft;
    QTest::newRow("top-left down the side") << QPoint(1, 10) << Part::TopLeft;
    QTest::newRow("top-right corner") << QPoint(w - 1, 0) << Part::TopRight;
    QTest::newRow("bottom-left corner") << QPoint(0, h - 1) << Part::BottomLeft;
    QTest::newRow("bottom-right corner") << QPoint(w - 1, h - 1) << Part::BottomRight;
    QTest::newRow("bottom-right up the side") << QPoint(w - 2, h - 12) << Part::BottomRight;
    QTest::newRow("outside") << QPoint(w, h / 2) << Part::Nowhere;
    QTest::newRow("above") << QPoint(w / 2, -1) << Part::Nowhere;
}

void TestCaptionFrame::hitTest() {
    QFETCH(QPoint, point);
    QFETCH(Part, part);
    const QSize outer = CaptionFrame::outerSizeFor(QSize(333, 310));
    QCOMPARE(CaptionFrame::hitTest(outer, point), part);
}

void TestCaptionFrame::boxesLieInTheCaptionBarFromTheRight() {
    for (const QSize outer : {QSize(341, 337), QSize(800, 600), QSize(150, 40)}) {
        const QRect bar = CaptionFrame::captionRect(outer);
        const QRect close = CaptionFrame::closeBoxRect(outer);
        const QRect maximize = CaptionFrame::maximizeBoxRect(outer);
        const QRect minimize = CaptionFrame::minimizeBoxRect(outer);
        QVERIFY(bar.contains(close));
        QVERIFY(bar.contains(maximize));
        QVERIFY(bar.contains(minimize));
        QCOMPARE(bar.right() - close.right(), CaptionFrame::kBoxRightPx);
        QCOMPARE(close.left() - maximize.right() - 1, CaptionFrame::kCloseGapPx);
        QCOMPARE(maximize.left(), minimize.right() + 1);
        QVERIFY(CaptionFrame::iconRect(outer).right() < minimize.left());
    }
}

void TestCaptionFrame::resizingMovesOnlyTheHeldEdges() {
    const QRect start(100, 50, 341, 337);
    QCOMPARE(CaptionFrame::resized(start, Part::Right, QPoint(20, 7)), QRect(100, 50, 361, 337));
    QCOMPARE(CaptionFrame::resized(start, Part::Bottom, QPoint(20, 7)), QRect(100, 50, 341, 344));
    QCOMPARE(CaptionFrame::resized(start, Part::Left, QPoint(20, 7)), QRect(120, 50, 321, 337));
    QCOMPARE(CaptionFrame::resized(start, Part::Top, QPoint(20, -7)), QRect(100, 43, 341, 344));
    QCOMPARE(CaptionFrame::resized(start, Part::TopLeft, QPoint(-5, -6)), QRect(95, 44, 346, 343));
    QCOMPARE(CaptionFrame::resized(start, Part::BottomRight, QPoint(100, 200)),
             QRect(100, 50, 441, 537));
    QCOMPARE(CaptionFrame::resized(start, Part::TopRight, QPoint(3, 4)), QRect(100, 54, 344, 333));
    QCOMPARE(CaptionFrame::resized(start, Part::BottomLeft, QPoint(3, 4)),
             QRect(103, 50, 338, 341));
}

void TestCaptionFrame::resizingStopsAtTheSmallestSize() {
    const QRect start(100, 50, 341, 337);
    const QRect small = CaptionFrame::resized(start, Part::BottomRight, QPoint(-1000, -1000));
    QCOMPARE(small, QRect(100, 50, CaptionFrame::kMinimumWidthPx, CaptionFrame::kMinimumHeightPx));
    // Dragged past the opposite edge, the left and top edges stop and the others stay put.
    const QRect fromTopLeft = CaptionFrame::resized(start, Part::TopLeft, QPoint(1000, 1000));
    QCOMPARE(fromTopLeft.right(), start.right());
    QCOMPARE(fromTopLeft.bottom(), start.bottom());
    QCOMPARE(fromTopLeft.size(),
             QSize(CaptionFrame::kMinimumWidthPx, CaptionFrame::kMinimumHeightPx));
}

QTEST_APPLESS_MAIN(TestCaptionFrame)
#include "tst_captionframe.moc"
