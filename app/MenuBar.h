#pragma once

#include "app/MenuBarRules.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <vector>

class MenuBarLine;
class QAction;
class QMenu;
class QMenuBar;

// The main window's menu bar, set with QMainWindow::setMenuWidget. A bar too wide for the window
// wraps onto further lines, as a Windows menu bar does: each line is a QMenuBar, filled with the
// items in menu order, and the window grows by the extra lines. The keys work across the lines as
// on one bar: Left and Right go on past a line's end, and an access key that several items share
// goes round them, highlighting an item without running it, so that Enter runs it and Esc leaves.
class MenuBar : public QWidget {
    Q_OBJECT

public:
    explicit MenuBar(QWidget *parent);

    // The items, in menu order. Each stays one QAction, shown by whichever line holds it.
    QMenu *addMenu(const QString &caption);
    QAction *addAction(const QString &caption);

    // The lines in use, top to bottom.
    QList<QMenuBar *> lines() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class MenuBarLine;

    // Called by the lines.
    bool accessKey(QChar key); // with Alt, or typed in the bar; false if no item has it
    bool crossLine(MenuBarLine *line, int step); // false where Qt moves along the line itself
    void settle();     // the keyboard goes back once nothing is highlighted
    bool altPressed(); // true when the bar takes the Alt itself
    void altReleased();
    void lineLostFocus(MenuBarLine *line);
    void lineClicked(MenuBarLine *line);
    void scheduleLayout();

    void append(QAction *item);
    MenuBarLine *newLine();
    MenuBarLine *lineOf(const QAction *item) const;
    bool isLine(const QObject *object) const;
    menubar::LineMetrics metrics() const;
    void layoutLines();
    std::vector<menubar::Item> keyItems(bool arrows) const;
    bool menuOpen() const;
    MenuBarLine *focusedLine() const;
    QAction *highlightedItem() const;
    int reachedItem() const;
    void reach(QAction *item);
    void leaveAll();

    QList<QAction *> m_items;
    std::vector<MenuBarLine *> m_lines; // the first always holds the first item
    int m_linesInUse = 1;
    bool m_layoutPending = false;
    bool m_altPending = false;       // Alt is down while the bar is in use, with no letter yet
    QPointer<QAction> m_reached;     // the item the keys last reached, while the bar is in use
    QPointer<QWidget> m_focusBefore; // where the keyboard goes back to when the bar is left
};
