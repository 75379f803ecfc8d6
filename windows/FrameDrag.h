#pragma once

#include "windows/CaptionFrame.h"

#include <QPoint>
#include <QRect>

#include <optional>

// What the preview's own frame does with the mouse and the keys, as a window manager would for a
// frame of its own: moving by the caption and sizing by the border, the move and size chosen from
// the system menu and done with the arrow keys, the caption boxes, maximizing by hand and the click
// on the client area. It holds no window: each call takes the event and the window as it stands
// and answers with what the window should become, which the preview then applies.
class FrameDrag {
public:
    // The window when an event arrives.
    struct Window {
        QRect geometry;  // outer rectangle on the screen
        QRect available; // the room its screen leaves for windows; null when it is on no screen
    };

    enum class Grab { Keep, Take, Release }; // the mouse and the keyboard together
    enum class Repaint { None, Caption, Whole };
    enum class Command { None, Click, Close, Minimize, SystemMenu };

    struct Reaction {
        std::optional<QRect> geometry = {}; // the window's new outer rectangle
        // Where the pointer goes; the window then follows the pointer from where it really went.
        std::optional<QPoint> pointer = {};
        // The window manager, if there is one, is asked to do the move (no edges) or the sizing;
        // if it declines, the frame follows the mouse itself.
        std::optional<Qt::Edges> windowManager = {};
        std::optional<Qt::CursorShape> cursor = {}; // Qt::ArrowCursor: back to the window's own
        Grab grab = Grab::Keep;
        Repaint repaint = Repaint::None;
        Command command = Command::None;
        bool keyUnused = false; // a key the frame has no use for
    };

    Reaction press(Qt::MouseButton button, QPoint pos, QPoint globalPos, const Window &window);
    Reaction doubleClick(Qt::MouseButton button, QPoint pos, QPoint globalPos,
                         const Window &window);
    Reaction move(Qt::MouseButtons buttons, QPoint pos, QPoint globalPos, const Window &window);
    Reaction release(QPoint pos, const Window &window);
    Reaction key(int key, Qt::KeyboardModifiers modifiers, QPoint pointer);

    // The window follows the pointer, now at globalPos, while it is moved or sized.
    Reaction follow(QPoint globalPos);
    // The window manager took the move or the sizing it was asked to do.
    void leftToWindowManager();

    // "Move" and "Size" from the system menu: the pointer takes the caption's middle or the
    // bottom-right corner along, the arrow keys step it, Enter or a click ends, Esc goes back.
    Reaction keyboardMove(const Window &window);
    Reaction keyboardSize(const Window &window);

    Reaction toggleMaximized(const Window &window);
    bool maximized() const { return m_maximized; }
    // The program gave the window a size of its own.
    void forgetMaximized() { m_maximized = false; }

    // The caption box drawn pushed in.
    CaptionFrame::Part pushedBox() const;

private:
    enum class Mode { None, Move, Size };
    Reaction startDrag(CaptionFrame::Part part, QPoint globalPos, const Window &window);
    Reaction startKeyboardDrag(Mode mode, const Window &window);
    Reaction endDrag();

    Mode m_mode = Mode::None;
    bool m_byKeyboard = false; // chosen from the system menu: no button held, ends at a click
    CaptionFrame::Part m_sizingPart = CaptionFrame::Part::Nowhere;
    std::optional<QPoint> m_anchor; // where the pointer was when the move or sizing began
    QRect m_startGeometry;
    CaptionFrame::Part m_pressedBox = CaptionFrame::Part::Nowhere;
    bool m_boxHeldOver = false;
    bool m_clientPressed = false;
    bool m_maximized = false;
    QRect m_normalGeometry;
};
