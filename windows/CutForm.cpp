#include "windows/CutForm.h"

#include "platform/MessageBox.h"
#include "platform/Screen.h"
#include "platform/WindowFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyleHints>
#include <QWindow>

#include <cstdlib>

// The resources live in a static library: the linker keeps them only when asked to.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {

using CaptionFrame::Part;

const QColor kBackgroundColor(192, 0, 0);
const QString kCaption = QStringLiteral("Пример");
constexpr char kPicturePath[] = ":/preview.jpg";
constexpr int kKeyboardStepPx = 8; // how far an arrow key moves or sizes the window

const QImage &picture() {
    static const QImage image = [] {
        initResources();
        return QImage(QString::fromLatin1(kPicturePath));
    }();
    return image;
}

QPoint globalPosOf(const QMouseEvent *event) {
    return event->globalPosition().toPoint();
}

// Whether a press at `time` and `pos` makes a double click with an earlier one, by the desktop's
// interval and distance.
bool isSecondClick(quint64 firstTime, QPoint firstPos, quint64 time, QPoint pos) {
    const QStyleHints *hints = QGuiApplication::styleHints();
    const int distance = hints->mouseDoubleClickDistance();
    return time >= firstTime && time - firstTime < quint64(hints->mouseDoubleClickInterval()) &&
           std::abs(pos.x() - firstPos.x()) <= distance &&
           std::abs(pos.y() - firstPos.y()) <= distance;
}

// Catches, while the system menu is open, the second press of a double click on the icon: the
// open menu holds the mouse, so that press goes to the menu, which would only close.
class SecondPressWatch : public QObject {
public:
    SecondPressWatch(quint64 firstTime, QPoint firstPos)
        : m_firstTime(firstTime)
        , m_firstPos(firstPos) {}

    bool doubleClicked = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick)
            return false;
        if (doubleClicked)
            return true; // Qt's own double click that follows the same press
        const auto *mouse = static_cast<const QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton ||
            !isSecondClick(m_firstTime, m_firstPos, mouse->timestamp(), globalPosOf(mouse)))
            return false;
        doubleClicked = true;
        if (QWidget *menu = QApplication::activePopupWidget())
            menu->close();
        return true;
    }

private:
    quint64 m_firstTime;
    QPoint m_firstPos;
};

} // namespace

CutForm::CutForm()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setWindowIcon(QApplication::windowIcon());
    setMouseTracking(true); // the border shows the sizing cursors
    setFocusPolicy(Qt::StrongFocus);

    const QSize client(platform::twipsToPixelsX(kClientWidthTwips),
                       platform::twipsToPixelsY(kClientHeightTwips));
    resize(CaptionFrame::outerSizeFor(client));
    platform::centreOnScreen(this);
}

void CutForm::setOuterSize(const QSize &size) {
    m_maximized = false;
    resize(size);
}

void CutForm::Form_Click() {
    hide();
}

void CutForm::Form_QueryUnload() {
    emit unloading();
}

void CutForm::closeEvent(QCloseEvent *event) {
    platform::runHandler([this] { Form_QueryUnload(); });
    event->accept();
    // Closed while its system menu waits for a choice (a task bar's close request): the menu goes
    // now, the window only once the menu's loop has returned to the caller below it.
    if (m_systemMenu) {
        setAttribute(Qt::WA_DeleteOnClose, false);
        m_closedUnderMenu = true;
        m_systemMenu->close();
    }
}

void CutForm::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    CaptionFrame::State state;
    state.active = isActiveWindow();
    state.maximized = m_maximized;
    state.pressedBox = m_boxHeldOver ? m_pressedBox : Part::Nowhere;
    CaptionFrame::paint(painter, size(), windowTitle(), windowIcon(), state);

    const QRect client = CaptionFrame::clientRect(size());
    painter.setClipRect(client);
    painter.fillRect(client, kBackgroundColor);
    painter.drawImage(client.topLeft(), picture()); // unscaled, whatever the window's size
}

void CutForm::mousePressEvent(QMouseEvent *event) {
    if (m_drag != Drag::None) {
        // A click ends a move or a sizing begun from the system menu.
        endDrag();
        return;
    }
    const Part part = CaptionFrame::hitTest(size(), event->position().toPoint());
    if (part == Part::Client) {
        m_clientPressed = true;
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    switch (part) {
    case Part::Caption:
        startMove(globalPosOf(event));
        break;
    case Part::SystemMenu:
        pressIcon(event);
        break;
    case Part::MinimizeBox:
    case Part::MaximizeBox:
    case Part::CloseBox:
        pressBox(part);
        break;
    default:
        if (CaptionFrame::isSizingPart(part))
            startResize(part, globalPosOf(event));
        break;
    }
}

void CutForm::mouseMoveEvent(QMouseEvent *event) {
    if (m_drag != Drag::None) {
        followMouse(globalPosOf(event));
        return;
    }
    const Part part = CaptionFrame::hitTest(size(), event->position().toPoint());
    if (m_pressedBox != Part::Nowhere) {
        const bool over = part == m_pressedBox;
        if (over != m_boxHeldOver) {
            m_boxHeldOver = over;
            update(CaptionFrame::captionRect(size()));
        }
        return;
    }
    if (event->buttons() != Qt::NoButton)
        return;
    if (part == Part::Left || part == Part::Right)
        setCursor(Qt::SizeHorCursor);
    else if (part == Part::Top || part == Part::Bottom)
        setCursor(Qt::SizeVerCursor);
    else if (part == Part::TopLeft || part == Part::BottomRight)
        setCursor(Qt::SizeFDiagCursor);
    else if (part == Part::TopRight || part == Part::BottomLeft)
        setCursor(Qt::SizeBDiagCursor);
    else
        unsetCursor();
}

void CutForm::mouseReleaseEvent(QMouseEvent *event) {
    const Part part = CaptionFrame::hitTest(size(), event->position().toPoint());
    if (m_clientPressed) {
        m_clientPressed = false;
        if (part == Part::Client)
            platform::runHandler([this] { Form_Click(); });
        return;
    }
    if (m_drag != Drag::None && !m_dragWithoutButton) {
        endDrag();
        return;
    }
    if (m_pressedBox != Part::Nowhere) {
        const Part box = m_pressedBox;
        m_pressedBox = Part::Nowhere;
        m_boxHeldOver = false;
        update(CaptionFrame::captionRect(size()));
        if (part != box)
            return; // let go elsewhere: nothing happens, as with any push button
        if (box == Part::CloseBox)
            close();
        else if (box == Part::MaximizeBox)
            toggleMaximized();
        else
            minimizeWindow();
    }
}

void CutForm::mouseDoubleClickEvent(QMouseEvent *event) {
    const Part part = CaptionFrame::hitTest(size(), event->position().toPoint());
    if (event->button() == Qt::LeftButton && part == Part::Caption) {
        toggleMaximized();
    } else if (event->button() == Qt::LeftButton && part == Part::SystemMenu) {
        return; // its press was compared with the one before (pressIcon)
    } else {
        mousePressEvent(event);
    }
}

void CutForm::keyPressEvent(QKeyEvent *event) {
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (alt && event->key() == Qt::Key_F4) {
        // The window manager's key on X11, and with no window manager nobody else's.
        close();
        return;
    }
    if (alt && event->key() == Qt::Key_Space) {
        showSystemMenu();
        return;
    }
    if (m_drag != Drag::None && m_dragWithoutButton) {
        QPoint step;
        switch (event->key()) {
        case Qt::Key_Escape:
            setGeometry(m_dragStartGeometry);
            endDrag();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            endDrag();
            return;
        case Qt::Key_Left:
            step = QPoint(-kKeyboardStepPx, 0);
            break;
        case Qt::Key_Right:
            step = QPoint(kKeyboardStepPx, 0);
            break;
        case Qt::Key_Up:
            step = QPoint(0, -kKeyboardStepPx);
            break;
        case Qt::Key_Down:
            step = QPoint(0, kKeyboardStepPx);
            break;
        default:
            break;
        }
        if (!step.isNull()) {
            QCursor::setPos(QCursor::pos() + step);
            followMouse(QCursor::pos());
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void CutForm::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ActivationChange)
        update(); // the caption bar shows whether the window is active
    QWidget::changeEvent(event);
}

void CutForm::startMove(const QPoint &globalPos) {
    if (m_maximized)
        return;
    // The window manager moves it when there is one; on a bare X server we follow the mouse.
    if (QWindow *window = windowHandle(); window && window->startSystemMove())
        return;
    m_drag = Drag::Move;
    m_dragWithoutButton = false;
    m_dragStartGlobal = globalPos;
    m_dragStartGeometry = geometry();
}

void CutForm::startResize(Part part, const QPoint &globalPos) {
    if (m_maximized)
        return;
    Qt::Edges edges;
    if (CaptionFrame::movesLeftEdge(part))
        edges |= Qt::LeftEdge;
    if (CaptionFrame::movesRightEdge(part))
        edges |= Qt::RightEdge;
    if (CaptionFrame::movesTopEdge(part))
        edges |= Qt::TopEdge;
    if (CaptionFrame::movesBottomEdge(part))
        edges |= Qt::BottomEdge;
    if (QWindow *window = windowHandle(); window && window->startSystemResize(edges))
        return;
    m_drag = Drag::Resize;
    m_dragPart = part;
    m_dragWithoutButton = false;
    m_dragStartGlobal = globalPos;
    m_dragStartGeometry = geometry();
}

void CutForm::startKeyboardDrag(Drag drag) {
    if (m_maximized)
        return;
    m_drag = drag;
    m_dragWithoutButton = true;
    m_dragStartGeometry = geometry();
    if (drag == Drag::Move) {
        // The pointer goes to the middle of the caption bar and the window follows it.
        QCursor::setPos(mapToGlobal(CaptionFrame::captionRect(size()).center()));
        setCursor(Qt::SizeAllCursor);
    } else {
        m_dragPart = Part::BottomRight;
        QCursor::setPos(mapToGlobal(QPoint(width() - 1, height() - 1)));
        setCursor(Qt::SizeFDiagCursor);
    }
    m_dragStartGlobal = QCursor::pos();
    grabMouse();
    grabKeyboard();
}

void CutForm::followMouse(const QPoint &globalPos) {
    const QPoint delta = globalPos - m_dragStartGlobal;
    if (m_drag == Drag::Move)
        move(m_dragStartGeometry.topLeft() + delta);
    else if (m_drag == Drag::Resize)
        setGeometry(CaptionFrame::resized(m_dragStartGeometry, m_dragPart, delta));
}

void CutForm::endDrag() {
    if (m_dragWithoutButton) {
        releaseMouse();
        releaseKeyboard();
        unsetCursor();
    }
    m_drag = Drag::None;
    m_dragWithoutButton = false;
    m_dragPart = Part::Nowhere;
}

void CutForm::pressBox(Part box) {
    m_pressedBox = box;
    m_boxHeldOver = true;
    update(CaptionFrame::captionRect(size()));
}

void CutForm::pressIcon(const QMouseEvent *event) {
    const quint64 time = event->timestamp();
    const QPoint pos = globalPosOf(event);
    if (m_iconPress && isSecondClick(m_iconPress->time, m_iconPress->globalPos, time, pos)) {
        close(); // a double click whose first press's menu had closed already
        return;
    }
    m_iconPress = Press{time, pos};
    SecondPressWatch watch(time, pos);
    qApp->installEventFilter(&watch);
    QPointer<CutForm> alive(this);
    showSystemMenu();
    qApp->removeEventFilter(&watch);
    if (watch.doubleClicked && alive)
        close();
}

void CutForm::showSystemMenu() {
    // No parent: the window may close while the menu runs, and must not take the menu with it.
    QMenu menu;
    m_systemMenu = &menu;
    const bool minimized = isMinimized();
    QAction *restore = menu.addAction(QStringLiteral("&Восстановить"));
    restore->setEnabled(m_maximized || minimized);
    QAction *moveAction = menu.addAction(QStringLiteral("&Переместить"));
    moveAction->setEnabled(!m_maximized && !minimized);
    QAction *sizeAction = menu.addAction(QStringLiteral("Р&азмер"));
    sizeAction->setEnabled(!m_maximized && !minimized);
    QAction *minimize = menu.addAction(QStringLiteral("&Свернуть"));
    minimize->setEnabled(!minimized);
    QAction *maximize = menu.addAction(QStringLiteral("Р&азвернуть"));
    maximize->setEnabled(!m_maximized);
    menu.addSeparator();
    QAction *closeAction = menu.addAction(QStringLiteral("&Закрыть\tAlt+F4"));
    QFont bold = closeAction->font();
    bold.setBold(true); // the default command, as a double click on the icon runs it
    closeAction->setFont(bold);
    menu.setDefaultAction(closeAction);

    const QRect bar = CaptionFrame::captionRect(size());
    const QPointer<CutForm> self(this);
    const QAction *chosen = menu.exec(mapToGlobal(QPoint(bar.left(), bar.bottom() + 1)));
    if (!self)
        return;
    m_systemMenu = nullptr;
    if (m_closedUnderMenu) {
        deleteLater(); // now that no loop runs on the window
        return;
    }
    if (chosen == closeAction) {
        close();
    } else if (chosen == restore) {
        if (minimized)
            showNormal();
        if (m_maximized)
            toggleMaximized();
    } else if (chosen == moveAction) {
        startKeyboardDrag(Drag::Move);
    } else if (chosen == sizeAction) {
        startKeyboardDrag(Drag::Resize);
    } else if (chosen == minimize) {
        minimizeWindow();
    } else if (chosen == maximize) {
        toggleMaximized();
    }
}

void CutForm::minimizeWindow() {
    showMinimized();
}

void CutForm::toggleMaximized() {
    // Done by hand rather than through the window manager, which knows nothing of our frame and
    // may not be there at all.
    if (m_maximized) {
        m_maximized = false;
        setGeometry(m_normalGeometry);
    } else if (const QScreen *shown = screen()) {
        m_normalGeometry = geometry();
        m_maximized = true;
        setGeometry(shown->availableGeometry());
    }
    update();
}
