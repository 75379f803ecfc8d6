#include "platform/WindowRegion.h"

#include <QVariant>
#include <QWidget>

namespace platform {

namespace {

constexpr char kRegionProperty[] = "zarnikWindowRegion";

// Qt takes an empty mask to mean "no mask at all". A mask that covers only a pixel outside the
// window gives the window an empty shape on screen instead.
QRegion maskFor(const QRegion &region) {
    return region.isEmpty() ? QRegion(-1, -1, 1, 1) : region;
}

} // namespace

void SetWindowRgn(QWidget *window, const std::optional<QRegion> &region) {
    if (!window)
        return;
    if (region) {
        window->setProperty(kRegionProperty, QVariant::fromValue(*region));
        window->setMask(maskFor(*region));
    } else {
        window->setProperty(kRegionProperty, QVariant());
        window->clearMask();
    }
    window->update();
}

std::optional<QRegion> windowRegion(const QWidget *window) {
    const QVariant value = window ? window->property(kRegionProperty) : QVariant();
    if (!value.isValid())
        return std::nullopt;
    return value.value<QRegion>();
}

} // namespace platform
