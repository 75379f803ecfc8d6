#pragma once

#include <QString>
#include <vector>

// The rules of the main window's menu bar that need no widgets: how its items wrap onto lines when
// the window is too narrow for one line of them, and which item a key reaches.
namespace menubar {

// How one line of the bar measures, in pixels: its items' widths, the room between two items, and
// what the line takes before its first and after its last item.
struct LineMetrics {
    std::vector<int> itemWidths;
    int spacing = 0;
    int leadIn = 0;
    int leadOut = 0;
};

// The index of the first item of each line when the bar is `width` pixels wide. The items keep
// their order; a line takes every item that still fits, and at least one however narrow it is.
std::vector<int> lineStarts(const LineMetrics &metrics, int width);

// One item of the bar as the keys see it.
struct Item {
    QString caption; // its access key is the letter after the "&"
    bool enabled = true;
    bool hasMenu = false;
};

enum class KeyEffect {
    None,      // no item takes the key, or its one item is disabled
    Open,      // the item's menu opens
    Run,       // the item's command runs
    Highlight, // the item is only highlighted: Enter runs it
};

struct KeyTarget {
    int item = -1;
    KeyEffect effect = KeyEffect::None;
    bool operator==(const KeyTarget &) const = default;
};

// The access key of a caption, in upper case ("&Сброс" gives С, "A && B" none); null when there is
// none.
QChar accessKeyOf(const QString &caption);

// The item that an access key reaches. `current` is the item the user has reached in the bar (its
// menu open or the item highlighted), or -1 when the bar is not in use. A key that one item alone
// has opens that item's menu or runs its command. A key that several items share goes round them,
// starting after `current`: the one it reaches opens its menu or is highlighted, and never runs.
KeyTarget accessKeyTarget(const std::vector<Item> &items, QChar key, int current);

// The enabled item that Left (step -1) or Right (step +1) reaches from `current`, along the lines
// as along one bar and round from either end to the other; -1 when no item is enabled.
int arrowTarget(const std::vector<Item> &items, int current, int step);

} // namespace menubar
