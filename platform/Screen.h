#pragma once

#include <QRect>

namespace platform {

// Screen.TwipsPerPixelX and Screen.TwipsPerPixelY: 1440 divided by the screen's logical dots per
// inch, read anew at each call (15 on a 96-dpi screen, 12 at 120 dpi).
float twipsPerPixelX();
float twipsPerPixelY();

// Tests fix the factors to check the figures for other screens. A value of 0 restores the screen's.
void setTwipsPerPixelForTesting(float x, float y);

// Twips to whole pixels as the forms toolkit lays out windows and controls, halves to even.
int twipsToPixelsX(int twips);
int twipsToPixelsY(int twips);

// A control's place in twips: left, top, width, height.
struct TwipsRect {
    int left, top, width, height;
};
// Converted by its edges: left, top, right and bottom each become whole pixels as above, and the
// size is what lies between them, so that edges that line up in twips line up in pixels.
QRect twipsToPixels(const TwipsRect &twips);

} // namespace platform
