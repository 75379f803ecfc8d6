#pragma once

#include <QFont>
#include <QStringList>

namespace platform {

// The forms' classic "MS Sans Serif" at the given size. Where it is missing, the nearest font of
// the same width stands in (Liberation Sans has Arial's metrics), so that captions laid out for
// the classic font still fit their labels.
QFont classicFont(qreal pointSize);

} // namespace platform
