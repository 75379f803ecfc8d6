#pragma once

#include <QRegion>
#include <optional>

class QWidget;

namespace platform {

// SetWindowRgn: clips a top-level window to a region measured from its outer top-left corner and
// redraws it. The window keeps the region from then on; a newer one replaces it. A null region
// (std::nullopt, a failed constructor's handle 0) removes any shape; an empty region leaves
// nothing of the window visible.
void SetWindowRgn(QWidget *window, const std::optional<QRegion> &region);

// The region last given to a window (nullopt when it has none), for the window's own use and tests.
std::optional<QRegion> windowRegion(const QWidget *window);

} // namespace platform
