#include "app/MenuBarLine.h"
#include "app/MenuBar.h"

#include <QKeyEvent>
#include <QShortcutEvent>

MenuBarLine::MenuBarLine(MenuBar *bar, bool leading)
    : QMenuBar(bar)
    , m_bar(bar)
    , m_leading(leading) {
    setNativeMenuBar(false); // part of the window, above the client area, on every desktop
}

void MenuBarLine::leave() {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QMenuBar::keyPressEvent(&escape);
}

bool MenuBarLine::event(QEvent *event) {
    // Qt hands an access key to one of the items that have it, a different one at each press when
    // several share it; the bar decides instead, from the key alone.
    if (event->type() == QEvent::Shortcut) {
        const QKeyCombination key = static_cast<QShortcutEvent *>(event)->key()[0];
        if (m_bar->accessKey(QChar(int(key.key()))))
            return true;
    }
    return QMenuBar::event(event);
}

bool MenuBarLine::eventFilter(QObject *watched, QEvent *event) {
    // Every line watches the window for a lone Alt. Only the first answers it, so that Alt
    // highlights the bar's first item and leaves the other lines alone; and while the bar is in
    // use the bar answers it itself, by leaving.
    if (!m_leading)
        return false;
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Alt && m_bar->altPressed())
        return false;
    return QMenuBar::eventFilter(watched, event);
}

void MenuBarLine::keyPressEvent(QKeyEvent *event) {
    const int key = event->key();
    if ((key == Qt::Key_Left || key == Qt::Key_Right) &&
        m_bar->crossLine(this, key == Qt::Key_Right ? 1 : -1)) {
        event->accept();
        return;
    }
    // A letter typed while the bar has the keyboard is an access key, as with Alt.
    const bool plainLetter = !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) &&
                             event->text().size() == 1 && event->text()[0].isLetterOrNumber();
    if (plainLetter && activeAction() && m_bar->accessKey(event->text()[0])) {
        event->accept();
        return;
    }
    QMenuBar::keyPressEvent(event);
    m_bar->settle(); // after Esc or Enter the keyboard goes back where it was
}

void MenuBarLine::keyReleaseEvent(QKeyEvent *event) {
    QMenuBar::keyReleaseEvent(event);
    if (event->key() == Qt::Key_Alt)
        m_bar->altReleased();
}

void MenuBarLine::focusOutEvent(QFocusEvent *event) {
    QMenuBar::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        m_bar->lineLostFocus(this);
}

void MenuBarLine::mousePressEvent(QMouseEvent *event) {
    m_bar->lineClicked(this);
    QMenuBar::mousePressEvent(event);
}

void MenuBarLine::changeEvent(QEvent *event) {
    QMenuBar::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_bar->scheduleLayout();
}
