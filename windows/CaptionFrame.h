#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QIcon;
class QPainter;

// The frame of a sizable window as classic Windows draws it at 96 dots per inch: a sizing border
// with a raised 3D edge, a caption bar with the small icon, the caption and the minimize,
// maximize and close boxes. The preview draws this frame itself, so that a window region, which
// Windows measures from the outer corner and which clips the frame too, looks as it would there.
// Everything here is geometry and paint; what a press does is FrameDrag's.
namespace CaptionFrame {

// All the metrics, in pixels.
constexpr int kBorderPx = 4;         // sizing border: 2 pixels of 3D edge, 2 of face colour
constexpr int kCaptionHeightPx = 18; // caption bar
constexpr int kCaptionGapPx = 1;     // face-coloured line between the caption bar and the client
constexpr int kIconSizePx = 16;      // the small icon, at the left of the caption bar
constexpr int kIconLeftPx = 2;       // from the caption bar's left edge
constexpr int kTextGapPx = 3;        // between the icon and the caption text
constexpr int kBoxWidthPx = 16;      // caption boxes
constexpr int kBoxHeightPx = 14;
constexpr int kBoxTopPx = 2;         // from the caption bar's top edge
constexpr int kBoxRightPx = 2;       // between the close box and the caption bar's right edge
constexpr int kCloseGapPx = 2;       // between the maximize and the close box
constexpr int kCornerGripPx = 16;    // how far a corner's sizing zone runs along each edge
constexpr int kCaptionFontPx = 11;   // bold caption text
constexpr int kMinimumWidthPx = 112; // the smallest outer size the border can be dragged to
constexpr int kMinimumHeightPx = kBorderPx * 2 + kCaptionHeightPx + kCaptionGapPx;

// Where a point of the window lies. The edges and corners are the sizing border.
enum class Part {
    Nowhere,
    Client,
    Caption,
    SystemMenu,
    MinimizeBox,
    MaximizeBox,
    CloseBox,
    Left,
    Right,
    Top,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

// The outer size of a window whose client area has the given size.
QSize outerSizeFor(const QSize &client);

// Rectangles within a window of the given outer size, in its own coordinates.
QRect clientRect(const QSize &outer);
QRect captionRect(const QSize &outer);
QRect iconRect(const QSize &outer);
QRect closeBoxRect(const QSize &outer);
QRect maximizeBoxRect(const QSize &outer);
QRect minimizeBoxRect(const QSize &outer);

Part hitTest(const QSize &outer, const QPoint &point);

// The sizing parts and which edges they move.
bool isSizingPart(Part part);
bool movesLeftEdge(Part part);
bool movesRightEdge(Part part);
bool movesTopEdge(Part part);
bool movesBottomEdge(Part part);

// The outer rectangle after the mouse moved by delta while the given sizing part was held,
// starting from start and keeping at least the minimum outer size (the opposite edges stay put).
QRect resized(const QRect &start, Part part, const QPoint &delta);

struct State {
    bool active = true;
    bool maximized = false;          // the maximize box shows the restore glyph
    Part pressedBox = Part::Nowhere; // a box drawn pushed in
};

// Paints the border and the caption bar; the client area is left to the window.
void paint(QPainter &painter, const QSize &outer, const QString &caption, const QIcon &icon,
           const State &state);

} // namespace CaptionFrame
