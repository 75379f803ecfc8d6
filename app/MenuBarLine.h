#pragma once

#include <QMenuBar>

class MenuBar;

// One line of the main window's menu bar. Qt draws its items and serves the mouse and the keys
// inside the line; the keys that concern the whole bar (access keys, which may be shared by items
// on different lines, and Left or Right past the line's ends) go to the MenuBar that holds it.
class MenuBarLine : public QMenuBar {
    Q_OBJECT

public:
    // Only the leading (first) line enters the bar on a lone Alt, as a single bar would.
    MenuBarLine(MenuBar *bar, bool leading);

    // Leaves the line as Esc does: its highlight goes and its open menu closes.
    void leave();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    MenuBar *m_bar;
    bool m_leading;
};
