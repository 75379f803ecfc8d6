#include "windows/FrameDrag.h"

#include <QtTest>

using CaptionFrame::Part;
using Grab = FrameDrag::Grab;
using enum FrameDrag::Command;

namespace {

// The preview at its first size, on a screen that leaves 1280 by 1000 pixels to windows.
const FrameDrag::Window kWindow{QRect(100, 50, 341, 337), QRect(0, 0, 1280, 1000)};
const QSize kOuter = kWindow.geometry.size();
const QPoint kCaption = CaptionFrame::captionRect(kOuter).center();

QPoint onScreen(QPoint pos) {
    return kWindow.geometry.topLeft() + pos;
}

} // namespace

// The frame the preview draws for itself and what it makes of the mouse and the keys.
class TestCaptionFrame : public QObject {
    Q_OBJECT

private slots:
    // A left press, a move with the button held, the release there. A move or sizing goes to the
    // window manager (with the edges to move); with none the frame follows the mouse, keeping its
    // smallest size. A box or the client area acts when let go over it.
    void pressMoveRelease() {
        const int w = CaptionFrame::kMinimumWidthPx, h = CaptionFrame::kMinimumHeightPx;
        const int T = Qt::TopEdge, L = Qt::LeftEdge, R = Qt::RightEdge, B = Qt::BottomEdge;
        const QPoint close = CaptionFrame::closeBoxRect(kOuter).center();
        const QPoint maximize = CaptionFrame::maximizeBoxRect(kOuter).center();
        const QPoint minimize = CaptionFrame::minimizeBoxRect(kOuter).center();
        struct Row {
            const char *name;
            QPoint at, to;
            int edges = -1; // -1: the window manager is not asked
            QRect geometry = {};
            FrameDrag::Command command = None;
        };
        for (const Row &row : std::initializer_list<Row>{
                 {"caption", kCaption, kCaption + QPoint(30, -20), 0, {130, 30, 341, 337}},
                 {"top border", {200, 1}, {220, -6}, T, {100, 43, 341, 344}},
                 {"left border's inner pixel", {3, 200}, {-7, 205}, L, {90, 50, 351, 337}},
                 {"right border", {340, 200}, {350, 190}, R, {100, 50, 351, 337}},
                 {"top-right", {338, 2}, {341, 6}, T | R, {100, 54, 344, 333}},
                 {"bottom-right, up the side", {339, 325}, {399, 395}, R | B, {100, 50, 401, 407}},
                 {"bottom-left, smallest", {0, 336}, {1000, -700}, L | B, {441 - w, 50, w, h}},
                 {"top-left, too far", {10, 1}, {1010, 1001}, T | L, {441 - w, 387 - h, w, h}},
                 {"close box", close, close, -1, {}, Close},
                 {"close box let go beside it", close, close - QPoint(9, 0)},
                 {"minimize box", minimize, minimize, -1, {}, Minimize},
                 {"maximize box", maximize, maximize, -1, kWindow.available},
                 {"client's top-left", {4, 23}, {4, 23}, -1, {}, Click},
                 {"client's bottom-right", {336, 332}, {336, 332}, -1, {}, Click},
                 {"client let go under the caption", {200, 200}, {200, 22}},
             }) {
            FrameDrag drag;
            const auto pressed = drag.press(Qt::LeftButton, row.at, onScreen(row.at), kWindow);
            const auto moved = drag.move(Qt::LeftButton, row.to, onScreen(row.to), kWindow);
            const auto released = drag.release(row.to, kWindow);
            const int edges = pressed.windowManager ? int(*pressed.windowManager) : -1;
            const QRect geometry = moved.geometry.value_or(released.geometry.value_or(QRect()));
            QVERIFY2(edges == row.edges && geometry == row.geometry &&
                         released.command == row.command,
                     row.name);
            // Let go, the window stays; and a window manager that takes over leaves it alone.
            QVERIFY(!drag.move(Qt::NoButton, row.at, onScreen(row.to * 2), kWindow).geometry);
            drag.press(Qt::LeftButton, row.at, onScreen(row.at), kWindow);
            drag.leftToWindowManager();
            QVERIFY(!drag.move(Qt::LeftButton, row.to, onScreen(row.to), kWindow).geometry);
        }
    }

    // "Move" and "Size" from the system menu: the pointer goes to the caption's middle or the
    // bottom-right corner, each arrow key steps it 8 pixels, and the window follows it from where
    // it really landed until Enter or a click; Esc puts the window back.
    void keyboardMoveAndSize() {
        for (const bool size : {false, true})
            for (const int ending : {int(Qt::Key_Return), int(Qt::Key_Escape), 0 /* a click */}) {
                FrameDrag drag;
                const auto start = size ? drag.keyboardSize(kWindow) : drag.keyboardMove(kWindow);
                QCOMPARE(start.pointer, onScreen(size ? QPoint(340, 336) : kCaption));
                QCOMPARE(start.grab, Grab::Take);
                QPoint at = *start.pointer - QPoint(3, 0); // held short by the screen's edge
                QVERIFY(!drag.follow(at).geometry);
                QCOMPARE(drag.release(at, kWindow).grab, Grab::Keep); // no button to let go of
                std::optional<QRect> stepped;
                for (const int key : {Qt::Key_Right, Qt::Key_Down}) {
                    at = drag.key(key, {}, at).pointer.value();
                    stepped = drag.follow(at).geometry;
                }
                QCOMPARE(stepped, size ? QRect(100, 50, 349, 345) : QRect(108, 58, 341, 337));
                const auto end =
                    ending ? drag.key(ending, {}, at) : drag.press(Qt::LeftButton, {}, at, {});
                QCOMPARE(end.grab, Grab::Release);
                QCOMPARE(end.cursor, Qt::ArrowCursor);
                QCOMPARE(end.geometry,
                         ending == Qt::Key_Escape ? std::optional(kWindow.geometry) : std::nullopt);
                QVERIFY(!drag.follow(at + QPoint(50, 50)).geometry);
            }
    }

    // Maximized by hand (a double click on the caption), the window fills the screen's room and
    // neither moves nor sizes; restored, it is back where it was. Sizing cursors over the border;
    // a held box drawn pushed in only while the mouse is over it; the window manager's keys; the
    // icon's menu, whose double click the menu itself watches for.
    void maximizeCursorsBoxesKeysAndIcon() {
        FrameDrag drag;
        QCOMPARE(drag.doubleClick(Qt::LeftButton, kCaption, {}, kWindow).geometry,
                 kWindow.available);
        const FrameDrag::Window full{kWindow.available, kWindow.available};
        QVERIFY(!drag.press(Qt::LeftButton, kCaption, {}, full).windowManager);
        QCOMPARE(drag.toggleMaximized(full).geometry, kWindow.geometry);
        for (const auto &[at, cursor] : {std::pair{QPoint(340, 200), Qt::SizeHorCursor},
                                         {QPoint(200, 336), Qt::SizeVerCursor},
                                         {QPoint(2, 2), Qt::SizeFDiagCursor},
                                         {QPoint(339, 325), Qt::SizeFDiagCursor},
                                         {QPoint(338, 2), Qt::SizeBDiagCursor},
                                         {QPoint(0, 336), Qt::SizeBDiagCursor},
                                         {kCaption, Qt::ArrowCursor}})
            QCOMPARE(drag.move(Qt::NoButton, at, {}, kWindow).cursor, cursor);
        drag.press(Qt::LeftButton, CaptionFrame::closeBoxRect(kOuter).center(), {}, kWindow);
        QCOMPARE(drag.pushedBox(), Part::CloseBox);
        QCOMPARE(drag.move(Qt::LeftButton, kCaption, {}, kWindow).repaint,
                 FrameDrag::Repaint::Caption);
        QCOMPARE(drag.pushedBox(), Part::Nowhere);
        drag.release(kCaption, kWindow);
        QCOMPARE(drag.key(Qt::Key_F4, Qt::AltModifier, {}).command, Close);
        QCOMPARE(drag.key(Qt::Key_Space, Qt::AltModifier, {}).command, SystemMenu);
        const QPoint icon = CaptionFrame::iconRect(kOuter).center();
        QCOMPARE(drag.press(Qt::LeftButton, icon, {}, kWindow).command, SystemMenu);
        QCOMPARE(drag.doubleClick(Qt::LeftButton, icon, {}, kWindow).command, None);
    }
};

QTEST_APPLESS_MAIN(TestCaptionFrame)
#include "tst_captionframe.moc"
