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

int twipsToPixelsX(double twips) {
    return toInt32(twips / twipsPerPixelX());
}

int twipsToPixelsY(double twips) {
    return toInt32(twips / twipsPerPixelY());
}

QRect twipsToPixels(const TwipsRect &twips) {
    return QRect(twipsToPixelsX(twips.left), twipsToPixelsY(twips.top), twipsToPixelsX(twips.width),
                 twipsToPixelsY(twips.height));
}

} // namespace platform
