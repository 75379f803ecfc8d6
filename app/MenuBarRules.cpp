#include "app/MenuBarRules.h"

namespace menubar {

std::vector<int> lineStarts(const LineMetrics &metrics, int width) {
    std::vector<int> starts;
    int used = 0; // the width of the line so far, its lead-in and lead-out included
    for (int i = 0; i < int(metrics.itemWidths.size()); ++i) {
        const int item = metrics.itemWidths[i];
        if (!starts.empty() && used + metrics.spacing + item <= width) {
            used += metrics.spacing + item;
            continue;
        }
        starts.push_back(i);
        used = metrics.leadIn + item + metrics.leadOut;
    }
    return starts;
}

QChar accessKeyOf(const QString &caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toUpper();
        ++i; // "&&" is an ampersand of the text
    }
    return {};
}

KeyTarget accessKeyTarget(const std::vector<Item> &items, QChar key, int current) {
    const int count = int(items.size());
    std::vector<int> owners;
    for (int i = 0; i < count; ++i) {
        if (!key.isNull() && accessKeyOf(items[i].caption) == key.toUpper())
            owners.push_back(i);
    }
    if (owners.empty())
        return {};
    if (owners.size() == 1) {
        const Item &item = items[owners[0]];
        if (!item.enabled)
            return {owners[0], KeyEffect::None};
        return {owners[0], item.hasMenu ? KeyEffect::Open : KeyEffect::Run};
    }
    // Round the shared key's items from the one after the current item.
    const int start = current < 0 ? 0 : current + 1;
    for (int step = 0; step < count; ++step) {
        const int i = (start + step) % count;
        if (accessKeyOf(items[i].caption) == key.toUpper() && items[i].enabled)
            return {i, items[i].hasMenu ? KeyEffect::Open : KeyEffect::Highlight};
    }
    return {owners[0], KeyEffect::None};
}

int arrowTarget(const std::vector<Item> &items, int current, int step) {
    const int count = int(items.size());
    for (int moved = 1; moved <= count; ++moved) {
        const int i = ((current + step * moved) % count + count) % count;
        if (items[i].enabled)
            return i;
    }
    return -1;
}

} // namespace menubar
