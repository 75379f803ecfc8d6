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

const QColor kBackgroundColor(192, 0, 0);
const QString kCaption = QStringLiteral("Пример");
constexpr char kPicturePath[] = ":/preview.jpg";

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
    m_frame.forgetMaximized();
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
    state.maximized = m_frame.maximized();
    state.pressedBox = m_frame.pushedBox();
    CaptionFrame::paint(painter, size(), windowTitle(), windowIcon(), state);

    const QRect client = CaptionFrame::clientRect(size());
    painter.setClipRect(client);
    painter.fillRect(client, kBackgroundColor);
    painter.drawImage(client.topLeft(), picture()); // unscaled, whatever the window's size
}

void CutForm::mousePressEvent(QMouseEvent *event) {
    apply(m_frame.press(event->button(), event->position().toPoint(), globalPosOf(event),
                        frameWindow()),
          event);
}

void CutForm::mouseMoveEvent(QMouseEvent *event) {
    apply(m_frame.move(event->buttons(), event->position().toPoint(), globalPosOf(event),
                       frameWindow()));
}

void CutForm::mouseReleaseEvent(QMouseEvent *event) {
    apply(m_frame.release(event->position().toPoint(), frameWindow()));
}

void CutForm::mouseDoubleClickEvent(QMouseEvent *event) {
    apply(m_frame.doubleClick(event->button(), event->position().toPoint(), globalPosOf(event),
                              frameWindow()),
          event);
}

void CutForm::keyPressEvent(QKeyEvent *event) {
    const FrameDrag::Reaction reaction =
        m_frame.key(event->key(), event->modifiers(), QCursor::pos());
    if (reaction.keyUnused)
        QWidget::keyPressEvent(event);
    else
        apply(reaction);
}

void CutForm::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ActivationChange)
        update(); // the caption bar shows whether the window is active
    QWidget::changeEvent(event);
}

FrameDrag::Window CutForm::frameWindow() const {
    const QScreen *shown = screen();
    return {geometry(), shown ? shown->availableGeometry() : QRect()};
}

void CutForm::apply(const FrameDrag::Reaction &reaction, const QMouseEvent *press) {
    using Command = FrameDrag::Command;
    if (reaction.windowManager) {
        // The window manager moves and sizes the window when there is one; on a bare X server
        // the frame follows the mouse itself.
        QWindow *window = windowHandle();
        const Qt::Edges edges = *reaction.windowManager;
        if (window && (edges ? window->startSystemResize(edges) : window->startSystemMove()))
            m_frame.leftToWindowManager();
    }
    if (reaction.geometry)
        setGeometry(*reaction.geometry);
    if (reaction.pointer) {
        QCursor::setPos(*reaction.pointer);
        apply(m_frame.follow(QCursor::pos())); // the screen's edge may have stopped it short
    }
    if (reaction.cursor == Qt::ArrowCursor)
        unsetCursor();
    else if (reaction.cursor)
        setCursor(*reaction.cursor);
    if (reaction.grab == FrameDrag::Grab::Take) {
        grabMouse();
        grabKeyboard();
    } else if (reaction.grab == FrameDrag::Grab::Release) {
        releaseMouse();
        releaseKeyboard();
    }
    if (reaction.repaint == FrameDrag::Repaint::Whole)
        update();
    else if (reaction.repaint == FrameDrag::Repaint::Caption)
        update(CaptionFrame::captionRect(size()));
    switch (reaction.command) {
    case Command::Click:
        platform::runHandler([this] { Form_Click(); });
        break;
    case Command::Close:
        close();
        break;
    case Command::Minimize:
        minimizeWindow();
        break;
    case Command::SystemMenu:
        if (press)
            pressIcon(press); // a press on the icon: its menu, or a double click's second press
        else
            showSystemMenu();
        break;
    case Command::None:
        break;
    }
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
    restore->setEnabled(m_frame.maximized() || minimized);
    QAction *moveAction = menu.addAction(QStringLiteral("&Переместить"));
    moveAction->setEnabled(!m_frame.maximized() && !minimized);
    QAction *sizeAction = menu.addAction(QStringLiteral("Р&азмер"));
    sizeAction->setEnabled(!m_frame.maximized() && !minimized);
    QAction *minimize = menu.addAction(QStringLiteral("&Свернуть"));
    minimize->setEnabled(!minimized);
    QAction *maximize = menu.addAction(QStringLiteral("Р&азвернуть"));
    maximize->setEnabled(!m_frame.maximized());
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
        if (m_frame.maximized())
            toggleMaximized();
    } else if (chosen == moveAction) {
        apply(m_frame.keyboardMove(frameWindow()));
    } else if (chosen == sizeAction) {
        apply(m_frame.keyboardSize(frameWindow()));
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
    apply(m_frame.toggleMaximized(frameWindow()));
}
