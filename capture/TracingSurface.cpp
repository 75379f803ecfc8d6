#include "capture/TracingSurface.h"

#include "platform/Numbers.h"
#include "platform/Screen.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

// The form's button numbers: 1 left, 2 right, 4 middle.
int buttonCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

// The form's shift state: 1 Shift, 2 Ctrl, 4 Alt.
int shiftCode(Qt::KeyboardModifiers modifiers) {
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

// Where the drawing puts a point: the painter's rounding, halves away from zero, as the drawing
// has always been made, while a vertex is stored with halves to even. The two differ only at an
// exact half pixel, which a mouse never reports; only a handler called with such a position draws
// its dot a pixel beside the stored vertex.
QPoint wholePixelsOf(float x, float y) {
    return QPointF(platform::pixelsFromTwips(x, platform::twipsPerPixelX()),
                   platform::pixelsFromTwips(y, platform::twipsPerPixelY()))
        .toPoint();
}

// Keeps the drawing as large as the surface, without losing what is on it.
void fit(QImage &drawing, const QSize &size, const QColor &background) {
    if (drawing.size() == size)
        return;
    QImage grown(size, QImage::Format_RGB32);
    grown.fill(background);
    QPainter painter(&grown);
    painter.drawImage(0, 0, drawing);
    painter.end();
    drawing = grown;
}

} // namespace

TracingSurface::TracingSurface(QWidget *parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TracingSurface::Cls() {
    // A blank surface needs no image of its own (380 KB at the start size): the first line makes
    // one.
    m_drawing = QImage();
    update();
}

QImage TracingSurface::drawing() const {
    QImage shown = m_drawing;
    fit(shown, size(), palette().color(QPalette::Window));
    return shown;
}

void TracingSurface::Line(float x1, float y1, float x2, float y2) {
    fit(m_drawing, size(), palette().color(QPalette::Window));
    QPainter painter(&m_drawing);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(wholePixelsOf(x1, y1), wholePixelsOf(x2, y2));
    update();
}

void TracingSurface::Circle(float x, float y, float radius) {
    fit(m_drawing, size(), palette().color(QPalette::Window));
    QPainter painter(&m_drawing);
    painter.setPen(QPen(Qt::black, 1));
    const QPoint centre = wholePixelsOf(x, y);
    const double rx = platform::pixelsFromTwips(radius, platform::twipsPerPixelX());
    const double ry = platform::pixelsFromTwips(radius, platform::twipsPerPixelY());
    // A circle whose radius rounds (as the painter rounds) to no pixel still leaves its mark: the
    // dot at a clicked vertex.
    if (std::lround(rx) < 1 && std::lround(ry) < 1)
        painter.drawPoint(centre);
    else
        painter.drawEllipse(QPointF(centre), rx, ry);
    update();
}

void TracingSurface::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    if (m_drawing.isNull())
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
    else
        painter.drawImage(event->rect(), m_drawing, event->rect());
}

void TracingSurface::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (!m_drawing.isNull())
        fit(m_drawing, size(), palette().color(QPalette::Window));
}

void TracingSurface::mousePressEvent(QMouseEvent *event) {
    const int button = buttonCode(event->button());
    if (button == 0)
        return;
    emit mouseDown(button, shiftCode(event->modifiers()),
                   float(event->position().x()) * platform::twipsPerPixelX(),
                   float(event->position().y()) * platform::twipsPerPixelY());
}

void TracingSurface::mouseDoubleClickEvent(QMouseEvent *event) {
    // A fast second click comes as a double click; for the form it is a mouse-down like any other.
    mousePressEvent(event);
}

void TracingSurface::mouseMoveEvent(QMouseEvent *event) {
    // While a button is held the surface keeps the mouse, so positions outside it (negative ones
    // included) still arrive here.
    emit mouseMove(buttonCode(event->buttons()), shiftCode(event->modifiers()),
                   float(event->position().x()) * platform::twipsPerPixelX(),
                   float(event->position().y()) * platform::twipsPerPixelY());
}
