#include "windows/CaptionFrame.h"

#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace CaptionFrame {

namespace {

// The classic "Windows Standard" colour scheme.
const QColor kFaceColor(192, 192, 192);
const QColor kLightColor(192, 192, 192);
const QColor kHighlightColor(255, 255, 255);
const QColor kShadowColor(128, 128, 128);
const QColor kDarkShadowColor(0, 0, 0);
const QColor kGlyphColor(0, 0, 0);
const QColor kActiveCaptionColor(0, 0, 128);
const QColor kActiveCaptionGradientColor(16, 132, 208);
const QColor kInactiveCaptionColor(128, 128, 128);
const QColor kInactiveCaptionGradientColor(181, 181, 181);
const QColor kActiveCaptionTextColor(255, 255, 255);
const QColor kInactiveCaptionTextColor(192, 192, 192);

// One-pixel lines along the four sides of r: top and left in one colour, bottom and right in
// another, as the 3D edges of the classic look are drawn.
void drawEdgeLines(QPainter &painter, const QRect &r, const QColor &topLeft,
                   const QColor &bottomRight) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

void drawCloseGlyph(QPainter &painter, const QPoint &origin) {
    // Two strokes two pixels wide, eight pixels across and seven down.
    for (int row = 0; row < 7; ++row) {
        painter.fillRect(QRect(origin.x() + row, origin.y() + row, 2, 1), kGlyphColor);
        painter.fillRect(QRect(origin.x() + 6 - row, origin.y() + row, 2, 1), kGlyphColor);
    }
}

void drawMinimizeGlyph(QPainter &painter, const QPoint &origin) {
    painter.fillRect(QRect(origin.x() + 1, origin.y() + 6, 6, 2), kGlyphColor);
}

void drawMaximizeGlyph(QPainter &painter, const QPoint &origin) {
    painter.fillRect(QRect(origin.x(), origin.y() - 1, 9, 2), kGlyphColor);
    drawEdgeLines(painter, QRect(origin.x(), origin.y() - 1, 9, 9), kGlyphColor, kGlyphColor);
}

void drawRestoreGlyph(QPainter &painter, const QPoint &origin) {
    const QRect back(origin.x() + 2, origin.y() - 1, 6, 5);
    const QRect front(origin.x(), origin.y() + 2, 6, 5);
    painter.fillRect(QRect(back.left(), back.top(), back.width(), 2), kGlyphColor);
    drawEdgeLines(painter, back, kGlyphColor, kGlyphColor);
    painter.fillRect(front, kFaceColor);
    painter.fillRect(QRect(front.left(), front.top(), front.width(), 2), kGlyphColor);
    drawEdgeLines(painter, front, kGlyphColor, kGlyphColor);
}

void drawBox(QPainter &painter, const QRect &box, bool pressed, Part part, bool maximized) {
    painter.fillRect(box, kFaceColor);
    if (pressed) {
        drawEdgeLines(painter, box, kDarkShadowColor, kHighlightColor);
        drawEdgeLines(painter, box.adjusted(1, 1, -1, -1), kShadowColor, kLightColor);
    } else {
        drawEdgeLines(painter, box, kHighlightColor, kDarkShadowColor);
        drawEdgeLines(painter, box.adjusted(1, 1, -1, -1), kLightColor, kShadowColor);
    }
    // The glyph sits a pixel lower and to the right while the box is held down.
    const QPoint origin = box.topLeft() + QPoint(4, 3) + (pressed ? QPoint(1, 1) : QPoint());
    switch (part) {
    case Part::CloseBox:
        drawCloseGlyph(painter, origin);
        break;
    case Part::MinimizeBox:
        drawMinimizeGlyph(painter, origin);
        break;
    case Part::MaximizeBox:
        if (maximized)
            drawRestoreGlyph(painter, origin);
        else
            drawMaximizeGlyph(painter, origin);
        break;
    default:
        break;
    }
}

} // namespace

QSize outerSizeFor(const QSize &client) {
    return QSize(client.width() + 2 * kBorderPx,
                 client.height() + 2 * kBorderPx + kCaptionHeightPx + kCaptionGapPx);
}

QRect clientRect(const QSize &outer) {
    const int top = kBorderPx + kCaptionHeightPx + kCaptionGapPx;
    return QRect(kBorderPx, top, std::max(0, outer.width() - 2 * kBorderPx),
                 std::max(0, outer.height() - top - kBorderPx));
}

QRect captionRect(const QSize &outer) {
    return QRect(kBorderPx, kBorderPx, std::max(0, outer.width() - 2 * kBorderPx),
                 kCaptionHeightPx);
}

QRect iconRect(const QSize &outer) {
    const QRect caption = captionRect(outer);
    return QRect(caption.left() + kIconLeftPx, caption.top() + (kCaptionHeightPx - kIconSizePx) / 2,
                 kIconSizePx, kIconSizePx);
}

QRect closeBoxRect(const QSize &outer) {
    const QRect caption = captionRect(outer);
    return QRect(caption.left() + caption.width() - kBoxRightPx - kBoxWidthPx,
                 caption.top() + kBoxTopPx, kBoxWidthPx, kBoxHeightPx);
}

QRect maximizeBoxRect(const QSize &outer) {
    return closeBoxRect(outer).translated(-(kBoxWidthPx + kCloseGapPx), 0);
}

QRect minimizeBoxRect(const QSize &outer) {
    return maximizeBoxRect(outer).translated(-kBoxWidthPx, 0);
}

Part hitTest(const QSize &outer, const QPoint &point) {
    const QRect window(QPoint(0, 0), outer);
    if (!window.contains(point))
        return Part::Nowhere;
    if (clientRect(outer).contains(point))
        return Part::Client;
    const QRect caption = captionRect(outer);
    if (caption.contains(point)) {
        if (closeBoxRect(outer).contains(point))
            return Part::CloseBox;
        if (maximizeBoxRect(outer).contains(point))
            return Part::MaximizeBox;
        if (minimizeBoxRect(outer).contains(point))
            return Part::MinimizeBox;
        if (iconRect(outer).contains(point))
            return Part::SystemMenu;
        return Part::Caption;
    }
    const int x = point.x();
    const int y = point.y();
    const bool nearLeft = x < kCornerGripPx;
    const bool nearRight = x >= outer.width() - kCornerGripPx;
    const bool nearTop = y < kCornerGripPx;
    const bool nearBottom = y >= outer.height() - kCornerGripPx;
    const bool onLeft = x < kBorderPx;
    const bool onRight = x >= outer.width() - kBorderPx;
    const bool onTop = y < kBorderPx;
    const bool onBottom = y >= outer.height() - kBorderPx;
    if ((onTop && nearLeft) || (onLeft && nearTop))
        return Part::TopLeft;
    if ((onTop && nearRight) || (onRight && nearTop))
        return Part::TopRight;
    if ((onBottom && nearLeft) || (onLeft && nearBottom))
        return Part::BottomLeft;
    if ((onBottom && nearRight) || (onRight && nearBottom))
        return Part::BottomRight;
    if (onLeft)
        return Part::Left;
    if (onRight)
        return Part::Right;
    if (onTop)
        return Part::Top;
    if (onBottom)
        return Part::Bottom;
    // The face-coloured line under the caption bar belongs to the caption, as on Windows.
    return Part::Caption;
}

bool movesLeftEdge(Part part) {
    return part == Part::Left || part == Part::TopLeft || part == Part::BottomLeft;
}

bool movesRightEdge(Part part) {
    return part == Part::Right || part == Part::TopRight || part == Part::BottomRight;
}

bool movesTopEdge(Part part) {
    return part == Part::Top || part == Part::TopLeft || part == Part::TopRight;
}

bool movesBottomEdge(Part part) {
    return part == Part::Bottom || part == Part::BottomLeft || part == Part::BottomRight;
}

bool isSizingPart(Part part) {
    return movesLeftEdge(part) || movesRightEdge(part) || movesTopEdge(part) ||
           movesBottomEdge(part);
}

QRect resized(const QRect &start, Part part, const QPoint &delta) {
    int x = start.x();
    int y = start.y();
    int width = start.width();
    int height = start.height();
    if (movesLeftEdge(part)) {
        width = std::max(kMinimumWidthPx, start.width() - delta.x());
        x = start.x() + start.width() - width;
    } else if (movesRightEdge(part)) {
        width = std::max(kMinimumWidthPx, start.width() + delta.x());
    }
    if (movesTopEdge(part)) {
        height = std::max(kMinimumHeightPx, start.height() - delta.y());
        y = start.y() + start.height() - height;
    } else if (movesBottomEdge(part)) {
        height = std::max(kMinimumHeightPx, start.height() + delta.y());
    }
    return QRect(x, y, width, height);
}

void paint(QPainter &painter, const QSize &outer, const QString &caption, const QIcon &icon,
           const State &state) {
    const QRect window(QPoint(0, 0), outer);
    const QRect client = clientRect(outer);

    // The face colour under everything that is not client area, then the raised edge.
    const QRegion frame = QRegion(window).subtracted(QRegion(client));
    painter.save();
    painter.setClipRegion(frame);
    painter.fillRect(window, kFaceColor);
    painter.restore();
    drawEdgeLines(painter, window, kLightColor, kDarkShadowColor);
    drawEdgeLines(painter, window.adjusted(1, 1, -1, -1), kHighlightColor, kShadowColor);

    const QRect bar = captionRect(outer);
    if (bar.isEmpty())
        return;
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    gradient.setColorAt(0, state.active ? kActiveCaptionColor : kInactiveCaptionColor);
    gradient.setColorAt(1,
                        state.active ? kActiveCaptionGradientColor : kInactiveCaptionGradientColor);
    painter.fillRect(bar, gradient);

    painter.save();
    painter.setClipRect(bar);
    const QRect iconBox = iconRect(outer);
    icon.paint(&painter, iconBox);

    const QRect minimizeBox = minimizeBoxRect(outer);
    const int textLeft = iconBox.right() + 1 + kTextGapPx;
    const QRect textBox(textLeft, bar.top(), std::max(0, minimizeBox.left() - 2 - textLeft),
                        bar.height());
    QFont font = painter.font();
    font.setPixelSize(kCaptionFontPx);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(state.active ? kActiveCaptionTextColor : kInactiveCaptionTextColor);
    const QString text = QFontMetrics(font).elidedText(caption, Qt::ElideRight, textBox.width());
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);

    drawBox(painter, minimizeBox, state.pressedBox == Part::MinimizeBox, Part::MinimizeBox,
            state.maximized);
    drawBox(painter, maximizeBoxRect(outer), state.pressedBox == Part::MaximizeBox,
            Part::MaximizeBox, state.maximized);
    drawBox(painter, closeBoxRect(outer), state.pressedBox == Part::CloseBox, Part::CloseBox,
            state.maximized);
    painter.restore();
}

} // namespace CaptionFrame
