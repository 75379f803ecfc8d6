#include "windows/FrameDrag.h"

using CaptionFrame::Part;

namespace {

constexpr int kKeyboardStepPx = 8; // how far an arrow key moves or sizes the window

Qt::CursorShape cursorOver(Part part) {
    switch (part) {
    case Part::Left:
    case Part::Right:
        return Qt::SizeHorCursor;
    case Part::Top:
    case Part::Bottom:
        return Qt::SizeVerCursor;
    case Part::TopLeft:
    case Part::BottomRight:
        return Qt::SizeFDiagCursor;
    case Part::TopRight:
    case Part::BottomLeft:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

Qt::Edges edgesOf(Part part) {
    Qt::Edges edges;
    if (CaptionFrame::movesLeftEdge(part))
        edges |= Qt::LeftEdge;
    if (CaptionFrame::movesRightEdge(part))
        edges |= Qt::RightEdge;
    if (CaptionFrame::movesTopEdge(part))
        edges |= Qt::TopEdge;
    if (CaptionFrame::movesBottomEdge(part))
        edges |= Qt::BottomEdge;
    return edges;
}

} // namespace

FrameDrag::Reaction FrameDrag::press(Qt::MouseButton button, QPoint pos, QPoint globalPos,
                                     const Window &window) {
    if (m_mode != Mode::None)
        return endDrag(); // a click ends a move or a sizing begun from the system menu
    const Part part = CaptionFrame::hitTest(window.geometry.size(), pos);
    if (part == Part::Client) {
        m_clientPressed = true;
        return {};
    }
    if (button != Qt::LeftButton)
        return {};
    switch (part) {
    case Part::Caption:
        return startDrag(part, globalPos, window);
    case Part::SystemMenu:
        return {.command = Command::SystemMenu};
    case Part::MinimizeBox:
    case Part::MaximizeBox:
    case Part::CloseBox:
        m_pressedBox = part;
        m_boxHeldOver = true;
        return {.repaint = Repaint::Caption};
    default:
        if (CaptionFrame::isSizingPart(part))
            return startDrag(part, globalPos, window);
        return {};
    }
}

FrameDrag::Reaction FrameDrag::doubleClick(Qt::MouseButton button, QPoint pos, QPoint globalPos,
                                           const Window &window) {
    const Part part = CaptionFrame::hitTest(window.geometry.size(), pos);
    if (button == Qt::LeftButton && part == Part::Caption)
        return toggleMaximized(window);
    if (button == Qt::LeftButton && part == Part::SystemMenu)
        return {}; // its press was taken as the second of a double click already
    return press(button, pos, globalPos, window);
}

FrameDrag::Reaction FrameDrag::move(Qt::MouseButtons buttons, QPoint pos, QPoint globalPos,
                                    const Window &window) {
    if (m_mode != Mode::None)
        return follow(globalPos);
    const Part part = CaptionFrame::hitTest(window.geometry.size(), pos);
    if (m_pressedBox != Part::Nowhere) {
        // A held box pops out while the mouse is off it, and in again when it comes back.
        const bool over = part == m_pressedBox;
        if (over == m_boxHeldOver)
            return {};
        m_boxHeldOver = over;
        return {.repaint = Repaint::Caption};
    }
    if (buttons != Qt::NoButton)
        return {};
    return {.cursor = cursorOver(part)};
}

FrameDrag::Reaction FrameDrag::release(QPoint pos, const Window &window) {
    const Part part = CaptionFrame::hitTest(window.geometry.size(), pos);
    if (m_clientPressed) {
        m_clientPressed = false;
        if (part == Part::Client)
            return {.command = Command::Click};
        return {};
    }
    if (m_mode != Mode::None && !m_byKeyboard)
        return endDrag();
    if (m_pressedBox == Part::Nowhere)
        return {};
    const Part box = m_pressedBox;
    m_pressedBox = Part::Nowhere;
    m_boxHeldOver = false;
    Reaction reaction{.repaint = Repaint::Caption};
    if (part != box)
        return reaction; // let go elsewhere: nothing happens, as with any push button
    if (box == Part::CloseBox)
        reaction.command = Command::Close;
    else if (box == Part::MinimizeBox)
        reaction.command = Command::Minimize;
    else
        reaction = toggleMaximized(window);
    return reaction;
}

FrameDrag::Reaction FrameDrag::key(int key, Qt::KeyboardModifiers modifiers, QPoint pointer) {
    if (modifiers & Qt::AltModifier) {
        // The window manager's keys on X11, and with no window manager nobody else's.
        if (key == Qt::Key_F4)
            return {.command = Command::Close};
        if (key == Qt::Key_Space)
            return {.command = Command::SystemMenu};
    }
    if (m_mode != Mode::None && m_byKeyboard) {
        switch (key) {
        case Qt::Key_Escape: {
            Reaction reaction = endDrag();
            reaction.geometry = m_startGeometry;
            return reaction;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return endDrag();
        case Qt::Key_Left:
            return {.pointer = pointer + QPoint(-kKeyboardStepPx, 0)};
        case Qt::Key_Right:
            return {.pointer = pointer + QPoint(kKeyboardStepPx, 0)};
        case Qt::Key_Up:
            return {.pointer = pointer + QPoint(0, -kKeyboardStepPx)};
        case Qt::Key_Down:
            return {.pointer = pointer + QPoint(0, kKeyboardStepPx)};
        default:
            break;
        }
    }
    return {.keyUnused = true};
}

FrameDrag::Reaction FrameDrag::follow(QPoint globalPos) {
    if (m_mode == Mode::None)
        return {};
    if (!m_anchor) {
        m_anchor = globalPos; // where the pointer landed when a move or size from the menu began
        return {};
    }
    const QPoint delta = globalPos - *m_anchor;
    if (m_mode == Mode::Move)
        return {.geometry = m_startGeometry.translated(delta)};
    return {.geometry = CaptionFrame::resized(m_startGeometry, m_sizingPart, delta)};
}

void FrameDrag::leftToWindowManager() {
    endDrag();
}

FrameDrag::Reaction FrameDrag::keyboardMove(const Window &window) {
    return startKeyboardDrag(Mode::Move, window);
}

FrameDrag::Reaction FrameDrag::keyboardSize(const Window &window) {
    return startKeyboardDrag(Mode::Size, window);
}

FrameDrag::Reaction FrameDrag::toggleMaximized(const Window &window) {
    // Done by hand rather than by the window manager, which knows nothing of this frame and may
    // not be there at all.
    Reaction reaction{.repaint = Repaint::Whole};
    if (m_maximized) {
        m_maximized = false;
        reaction.geometry = m_normalGeometry;
    } else if (!window.available.isNull()) {
        m_normalGeometry = window.geometry;
        m_maximized = true;
        reaction.geometry = window.available;
    }
    return reaction;
}

Part FrameDrag::pushedBox() const {
    return m_boxHeldOver ? m_pressedBox : Part::Nowhere;
}

FrameDrag::Reaction FrameDrag::startDrag(Part part, QPoint globalPos, const Window &window) {
    if (m_maximized)
        return {};
    m_mode = part == Part::Caption ? Mode::Move : Mode::Size;
    m_byKeyboard = false;
    m_sizingPart = part;
    m_anchor = globalPos;
    m_startGeometry = window.geometry;
    return {.windowManager = edgesOf(part)};
}

FrameDrag::Reaction FrameDrag::startKeyboardDrag(Mode mode, const Window &window) {
    if (m_maximized)
        return {};
    m_mode = mode;
    m_byKeyboard = true;
    m_anchor.reset(); // set where the pointer really lands
    m_startGeometry = window.geometry;
    const QPoint origin = window.geometry.topLeft();
    if (mode == Mode::Move) {
        m_sizingPart = Part::Nowhere;
        return {.pointer = origin + CaptionFrame::captionRect(window.geometry.size()).center(),
                .cursor = Qt::SizeAllCursor,
                .grab = Grab::Take};
    }
    m_sizingPart = Part::BottomRight;
    return {.pointer = origin + QPoint(window.geometry.width() - 1, window.geometry.height() - 1),
            .cursor = Qt::SizeFDiagCursor,
            .grab = Grab::Take};
}

FrameDrag::Reaction FrameDrag::endDrag() {
    Reaction reaction;
    if (m_byKeyboard) {
        reaction.grab = Grab::Release;
        reaction.cursor = Qt::ArrowCursor;
    }
    m_mode = Mode::None;
    m_byKeyboard = false;
    m_sizingPart = Part::Nowhere;
    m_anchor.reset();
    return reaction;
}
