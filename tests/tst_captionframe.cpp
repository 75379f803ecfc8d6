#include "windows/CaptionFrame.h"

#include <QtTest>

using CaptionFrame::Part;

// The frame the preview draws for itself: where a press lands and what dragging the border does.
class TestCaptionFrame : public QObject {
    Q_OBJECT

private slots:
    void hitTest_data();
    void hitTest();
    void resized_data();
    void resized();
};

void TestCaptionFrame::hitTest_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<Part>("part");
    const QSize outer = CaptionFrame::outerSizeFor(QSize(333, 310));
    const int w = outer.width(), h = outer.height(), b = CaptionFrame::kBorderPx;
    const QRect client = CaptionFrame::clientRect(outer);
    const QRect close = CaptionFrame::closeBoxRect(outer);
    QTest::newRow("client corners") << client.topLeft() << Part::Client;
    QTest::newRow("client bottom-right") << client.bottomRight() << Part::Client;
    QTest::newRow("caption") << QPoint(w / 2, b + 5) << Part::Caption;
    QTest::newRow("line under the caption") << QPoint(w / 2, client.top() - 1) << Part::Caption;
    QTest::newRow("icon") << CaptionFrame::iconRect(outer).center() << Part::SystemMenu;
    QTest::newRow("close box") << close.center() << Part::CloseBox;
    QTest::newRow("maximize box") << CaptionFrame::maximizeBoxRect(outer).center()
                                  << Part::MaximizeBox;
    QTest::newRow("minimize box") << CaptionFrame::minimizeBoxRect(outer).center()
                                  << Part::MinimizeBox;
    QTest::newRow("gap before close")
        << QPoint(close.left() - 1, close.center().y()) << Part::Caption;
    QTest::newRow("left border inner pixel") << QPoint(b - 1, h / 2) << Part::Left;
    QTest::newRow("right border") << QPoint(w - 1, h / 2) << Part::Right;
    QTest::newRow("bottom border") << QPoint(w / 2, h - 1) << Part::Bottom;
    QTest::newRow("top-left along the top") << QPoint(10, 1) << Part::TopLeft;
    QTest::newRow("bottom-left corner") << QPoint(0, h - 1) << Part::BottomLeft;
    QTest::newRow("bottom-right up the side") << QPoint(w - 2, h - 12) << Part::BottomRight;
    QTest::newRow("outside") << QPoint(w, h / 2) << Part::Nowhere;
}

void TestCaptionFrame::hitTest() {
    QFETCH(QPoint, point);
    QFETCH(Part, part);
    QCOMPARE(CaptionFrame::hitTest(CaptionFrame::outerSizeFor(QSize(333, 310)), point), part);
}

void TestCaptionFrame::resized_data() {
    QTest::addColumn<Part>("part");
    QTest::addColumn<QPoint>("by");
    QTest::addColumn<QRect>("result");
    const int minW = CaptionFrame::kMinimumWidthPx, minH = CaptionFrame::kMinimumHeightPx;
    // Starting from QRect(100, 50, 341, 337): only the held edges move.
    QTest::newRow("right") << Part::Right << QPoint(20, 7) << QRect(100, 50, 361, 337);
    QTest::newRow("left") << Part::Left << QPoint(20, 7) << QRect(120, 50, 321, 337);
    QTest::newRow("top") << Part::Top << QPoint(20, -7) << QRect(100, 43, 341, 344);
    QTest::newRow("top-right") << Part::TopRight << QPoint(3, 4) << QRect(100, 54, 344, 333);
    QTest::newRow("bottom-left") << Part::BottomLeft << QPoint(3, 4) << QRect(103, 50, 338, 341);
    QTest::newRow("smallest") << Part::BottomRight << QPoint(-1000, -1000)
                              << QRect(100, 50, minW, minH);
    QTest::newRow("past the far edges")
        << Part::TopLeft << QPoint(1000, 1000) << QRect(441 - minW, 387 - minH, minW, minH);
}

void TestCaptionFrame::resized() {
    QFETCH(Part, part);
    QFETCH(QPoint, by);
    QTEST(CaptionFrame::resized(QRect(100, 50, 341, 337), part, by), "result");
}

QTEST_APPLESS_MAIN(TestCaptionFrame)
#include "tst_captionframe.moc"
