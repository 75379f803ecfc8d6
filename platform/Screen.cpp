#include "platform/Screen.h"

#include "platform/Numbers.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

namespace {

constexpr float kTwipsPerInch = 1440.0f;
constexpr float kDefaultTwipsPerPixel = 15.0f;

float s_overrideX = 0;
float s_overrideY = 0;

float fromDpi(qreal dpi) {
    return dpi > 0 ? kTwipsPerInch / float(dpi) : kDefaultTwipsPerPixel;
}

QScreen *primaryScreen() {
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance())
               ? QGuiApplication::primaryScreen()
               : nullptr;
}

} // namespace

float twipsPerPixelX() {
    if (s_overrideX > 0)
        return s_overrideX;
    QScreen *screen = primaryScreen();
    return screen ? fromDpi(screen->logicalDotsPerInchX()) : kDefaultTwipsPerPixel;
}

float twipsPerPixelY() {
    if (s_overrideY > 0)
        return s_overrideY;
    QScreen *screen = primaryScreen();
    return screen ? fromDpi(screen->logicalDotsPerInchY()) : kDefaultTwipsPerPixel;
}

void setTwipsPerPixelForTesting(float x, float y) {
    s_overrideX = x;
    s_overrideY = y;
}

int twipsToPixelsX(int twips) {
    return toInt32(pixelsFromTwips(float(twips), twipsPerPixelX())); // halves to even
}

int twipsToPixelsY(int twips) {
    return toInt32(pixelsFromTwips(float(twips), twipsPerPixelY())); // halves to even
}

QRect twipsToPixels(const TwipsRect &twips) {
    // Rounding a width apart from its left edge can end two lined-up controls a pixel apart; each
    // edge rounded for itself keeps them lined up.
    const int left = twipsToPixelsX(twips.left);
    const int top = twipsToPixelsY(twips.top);
    const int right = twipsToPixelsX(twips.left + twips.width);
    const int bottom = twipsToPixelsY(twips.top + twips.height);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace platform
