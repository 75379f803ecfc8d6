#include "platform/WindowFrame.h"

#include "platform/X11.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <thread>

namespace platform {

namespace {

// How long a window waits for its frame before its first showing. A window manager that takes the
// question answers within a millisecond or so, which a short first look catches; the looks then
// grow further apart, sparing the server when the manager is slow. One that is stuck costs the
// window its centring, not the start.
constexpr std::chrono::milliseconds kFrameAnswerWait{500};
constexpr std::chrono::microseconds kFrameAnswerFirstPoll{250};
constexpr std::chrono::microseconds kFrameAnswerLongestPoll{8000};

// _NET_FRAME_EXTENTS: left, right, top, bottom. Empty when the window manager has set none.
std::vector<uint32_t> publishedExtents(xcb_connection_t *connection, xcb_window_t window) {
    const std::vector<uint32_t> extents = x11::property32(
        connection, window, x11::atom(connection, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL);
    return extents.size() == 4 ? extents : std::vector<uint32_t>{};
}

class FrameExtentsWatcher : public QObject, public QAbstractNativeEventFilter {
public:
    FrameExtentsWatcher(QWidget *window, xcb_atom_t property, std::function<void()> changed)
        : QObject(window)
        , m_window(window)
        , m_property(property)
        , m_changed(std::move(changed)) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~FrameExtentsWatcher() override {
        if (QCoreApplication *application = QCoreApplication::instance())
            application->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (notify->atom == m_property && notify->window == m_window->internalWinId()) {
            // After Qt's own handling of the event, and outside the event dispatch.
            QMetaObject::invokeMethod(
                this, [this] { m_changed(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget *m_window;
    xcb_atom_t m_property;
    std::function<void()> m_changed;
};

} // namespace

QMargins frameExtents(const QWidget *window) {
    xcb_connection_t *connection = x11::connection();
    if (connection && window->internalWinId()) {
        const std::vector<uint32_t> extents =
            publishedExtents(connection, xcb_window_t(window->internalWinId()));
        if (!extents.empty())
            return QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3]));
    }
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

QRect outerGeometry(const QWidget *window) {
    return window->geometry().marginsAdded(frameExtents(window));
}

void moveOuterTo(QWidget *window, const QPoint &topLeft) {
    // The client area's place: the window manager then puts its frame around it where it stands.
    const QMargins frame = frameExtents(window);
    window->setGeometry(QRect(topLeft + QPoint(frame.left(), frame.top()), window->size()));
}

void centreOnScreen(QWidget *window) {
    if (const QScreen *screen = window->screen()) {
        QRect outer = outerGeometry(window);
        outer.moveCenter(screen->availableGeometry().center());
        moveOuterTo(window, outer.topLeft());
    }
}

void askFrameExtents(QWidget *window) {
    xcb_connection_t *connection = x11::connection();
    if (!connection)
        return;
    const xcb_atom_t request = x11::atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (!x11::windowManagerSupports(connection, request))
        return;
    const auto native = xcb_window_t(window->winId());
    if (!publishedExtents(connection, native).empty())
        return;
    x11::sendToWindowManager(connection, native, request, {0, 0, 0, 0, 0});
    const auto deadline = std::chrono::steady_clock::now() + kFrameAnswerWait;
    auto poll = kFrameAnswerFirstPoll;
    while (publishedExtents(connection, native).empty() &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(poll);
        poll = std::min(2 * poll, kFrameAnswerLongestPoll);
    }
}

void watchFrameExtents(QWidget *window, std::function<void()> changed) {
    xcb_connection_t *connection = x11::connection();
    if (!connection)
        return;
    new FrameExtentsWatcher(window, x11::atom(connection, "_NET_FRAME_EXTENTS"),
                            std::move(changed));
}

} // namespace platform
