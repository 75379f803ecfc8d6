#include "app/MenuBar.h"
#include "app/MenuBarLine.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>

#include <algorithm>

MenuBar::MenuBar(QWidget *parent)
    : QWidget(parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    m_lines.push_back(newLine());
    // The keyboard goes back to where it was when the bar took it, as a single bar does.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (isLine(now) && !isLine(old) && (!old || old->window() == window()))
            m_focusBefore = old;
    });
}

QMenu *MenuBar::addMenu(const QString &caption) {
    auto *menu = new QMenu(caption, this);
    connect(menu, &QMenu::aboutToHide, this, &MenuBar::settle, Qt::QueuedConnection);
    menu->installEventFilter(this);
    append(menu->menuAction());
    return menu;
}

QAction *MenuBar::addAction(const QString &caption) {
    auto *item = new QAction(caption, this);
    append(item);
    return item;
}

void MenuBar::append(QAction *item) {
    m_items.append(item);
    m_lines[m_linesInUse - 1]->addAction(item);
    scheduleLayout();
}

MenuBarLine *MenuBar::newLine() {
    auto *line = new MenuBarLine(this, m_lines.empty());
    connect(line, &QMenuBar::triggered, this, &MenuBar::settle, Qt::QueuedConnection);
    connect(line, &QMenuBar::hovered, this, [this](QAction *item) {
        if (m_items.contains(item)) // not an entry of an item's menu
            m_reached = item;
    });
    return line;
}

QList<QMenuBar *> MenuBar::lines() const {
    return {m_lines.begin(), m_lines.begin() + m_linesInUse};
}

MenuBarLine *MenuBar::lineOf(const QAction *item) const {
    for (MenuBarLine *line : m_lines) {
        if (line->actions().contains(item))
            return line;
    }
    return m_lines.front();
}

bool MenuBar::isLine(const QObject *object) const {
    return object && std::find(m_lines.begin(), m_lines.end(), object) != m_lines.end();
}

// --- wrapping ---------------------------------------------------------------------------------

menubar::LineMetrics MenuBar::metrics() const {
    // Every line measures alike; an item measures the same on whichever line holds it.
    menubar::LineMetrics metrics;
    const MenuBarLine *first = m_lines.front();
    first->ensurePolished();
    for (const QAction *item : m_items)
        metrics.itemWidths.push_back(
            lineOf(item)->actionGeometry(const_cast<QAction *>(item)).width());
    metrics.spacing = first->style()->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, first);
    const QList<QAction *> held = first->actions();
    if (!held.isEmpty()) {
        metrics.leadIn = first->actionGeometry(held.front()).left();
        metrics.leadOut =
            first->sizeHint().width() - first->actionGeometry(held.back()).right() - 1;
    }
    return metrics;
}

int MenuBar::heightForWidth(int width) const {
    const int lineCount = std::max<int>(1, menubar::lineStarts(metrics(), width).size());
    return lineCount * m_lines.front()->heightForWidth(width);
}

QSize MenuBar::sizeHint() const {
    // As wide as one line of every item, and as high as the bar is at its present width.
    const QSize oneLine = m_lines.front()->sizeHint();
    return {oneLine.width(), width() > 0 ? heightForWidth(width()) : oneLine.height()};
}

QSize MenuBar::minimumSizeHint() const {
    return {0, m_lines.front()->heightForWidth(width())};
}

void MenuBar::scheduleLayout() {
    // Fonts change widget by widget: measure once all of them have the new one.
    updateGeometry();
    if (m_layoutPending)
        return;
    m_layoutPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_layoutPending = false;
            layoutLines();
            updateGeometry();
        },
        Qt::QueuedConnection);
}

void MenuBar::layoutLines() {
    const std::vector<int> starts = menubar::lineStarts(metrics(), width());
    const int lineCount = std::max<int>(1, starts.size());
    while (int(m_lines.size()) < lineCount)
        m_lines.push_back(newLine());
    std::vector<QList<QAction *>> wanted(m_lines.size()); // none on the lines not in use
    for (int line = 0; line < int(starts.size()); ++line) {
        const int end = line + 1 < int(starts.size()) ? starts[line + 1] : int(m_items.size());
        wanted[line] = m_items.mid(starts[line], end - starts[line]);
    }

    bool moved = false;
    for (int line = 0; line < int(m_lines.size()); ++line) {
        const QList<QAction *> held = m_lines[line]->actions();
        moved = moved ||
                !std::equal(held.begin(), held.end(), wanted[line].begin(), wanted[line].end());
    }
    if (moved) {
        leaveAll();
        for (MenuBarLine *line : m_lines) {
            for (QAction *item : line->actions())
                line->removeAction(item);
        }
        for (int line = 0; line < lineCount; ++line)
            m_lines[line]->addActions(wanted[line]);
    }
    m_linesInUse = lineCount;

    int top = 0;
    for (int line = 0; line < int(m_lines.size()); ++line) {
        MenuBarLine *bar = m_lines[line];
        bar->setVisible(line < lineCount);
        if (line >= lineCount)
            continue;
        const int height = bar->heightForWidth(width());
        bar->setGeometry(0, top, width(), height);
        top += height;
    }
}

bool MenuBar::event(QEvent *event) {
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::ApplicationFontChange:
    case QEvent::StyleChange:
        scheduleLayout();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void MenuBar::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    layoutLines();
}

// --- keys -------------------------------------------------------------------------------------

std::vector<menubar::Item> MenuBar::keyItems(bool arrows) const {
    // The arrows pass over disabled items unless the style lets them be highlighted.
    const bool disabledReachable =
        arrows &&
        style()->styleHint(QStyle::SH_Menu_AllowActiveAndDisabled, nullptr, m_lines.front());
    std::vector<menubar::Item> items;
    for (const QAction *item : m_items)
        items.push_back(
            {item->text(), item->isEnabled() || disabledReachable, item->menu() != nullptr});
    return items;
}

bool MenuBar::menuOpen() const {
    return std::any_of(m_items.begin(), m_items.end(), [](const QAction *item) {
        return item->menu() && item->menu()->isVisible();
    });
}

MenuBarLine *MenuBar::focusedLine() const {
    const auto line = std::find_if(m_lines.begin(), m_lines.end(),
                                   [](const MenuBarLine *line) { return line->hasFocus(); });
    return line == m_lines.end() ? nullptr : *line;
}

QAction *MenuBar::highlightedItem() const {
    for (const MenuBarLine *line : m_lines) {
        if (line->activeAction())
            return line->activeAction();
    }
    return nullptr;
}

int MenuBar::reachedItem() const {
    if (!focusedLine() && !menuOpen())
        return -1; // the bar is not in use
    // An Alt pressed in an open menu closes it, and the line forgets its item: it is kept here.
    const QAction *item = highlightedItem();
    return m_items.indexOf(item ? item : m_reached.data());
}

bool MenuBar::accessKey(QChar key) {
    const menubar::KeyTarget target = menubar::accessKeyTarget(keyItems(false), key, reachedItem());
    if (target.item < 0)
        return false;
    m_altPending = false; // the Alt went with this key
    QAction *item = m_items[target.item];
    switch (target.effect) {
    case menubar::KeyEffect::None:
        break;
    case menubar::KeyEffect::Run:
        leaveAll();
        item->trigger();
        break;
    case menubar::KeyEffect::Open:
    case menubar::KeyEffect::Highlight:
        reach(item);
        break;
    }
    return true;
}

bool MenuBar::crossLine(MenuBarLine *line, int step) {
    const QAction *current = line->activeAction();
    if (!current)
        return false;
    const int target = menubar::arrowTarget(keyItems(true), m_items.indexOf(current), step);
    // Along its own line Qt moves the highlight itself.
    if (target < 0 || lineOf(m_items[target]) == line)
        return false;
    reach(m_items[target]);
    return true;
}

void MenuBar::reach(QAction *item) {
    leaveAll();
    MenuBarLine *line = lineOf(item);
    line->setFocus(Qt::MenuBarFocusReason);
    // Opens the item's menu, or highlights an item that has none without running it.
    line->setActiveAction(item);
    if (QMenu *menu = item->menu()) {
        const QList<QAction *> entries = menu->actions();
        const auto first = std::find_if(entries.begin(), entries.end(),
                                        [](const QAction *entry) { return entry->isEnabled(); });
        if (first != entries.end())
            menu->setActiveAction(*first);
    }
    m_reached = item;
}

void MenuBar::leaveAll() {
    for (MenuBarLine *line : m_lines) {
        if (line->activeAction() || line->hasFocus())
            line->leave();
    }
}

bool MenuBar::eventFilter(QObject *watched, QEvent *event) {
    // Alt pressed in a menu that the keys opened closes it at once. A letter may follow it and go
    // on from that menu's item; Alt released alone leaves the bar.
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (key && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Alt) {
        if (event->type() == QEvent::KeyRelease)
            altReleased();
        else if (isLine(window()->focusWidget()))
            m_altPending = true;
    }
    return QWidget::eventFilter(watched, event);
}

bool MenuBar::altPressed() {
    // A lone Alt enters the bar when it is not in use, and leaves it when it is.
    if (!focusedLine() && !highlightedItem() && !menuOpen())
        return false;
    m_altPending = true;
    return true;
}

void MenuBar::altReleased() {
    if (!m_altPending)
        return;
    m_altPending = false;
    leaveAll();
    settle();
}

void MenuBar::settle() {
    // Once no item is highlighted and no menu open, the keyboard goes back where it was.
    if (highlightedItem() || menuOpen() || m_altPending)
        return;
    m_reached = nullptr;
    if (MenuBarLine *line = focusedLine()) {
        if (m_focusBefore)
            m_focusBefore->setFocus(Qt::MenuBarFocusReason);
        else
            line->clearFocus();
    }
}

void MenuBar::lineLostFocus(MenuBarLine *line) {
    if (isLine(QApplication::focusWidget()))
        return; // the keyboard moved along the bar
    line->leave();
    m_reached = nullptr;
}

void MenuBar::lineClicked(MenuBarLine *line) {
    // The mouse takes over: what the keys highlighted on the other lines goes.
    for (MenuBarLine *other : m_lines) {
        if (other != line && (other->activeAction() || other->hasFocus()))
            other->leave();
    }
    m_reached = nullptr;
}
