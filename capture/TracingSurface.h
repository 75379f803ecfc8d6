#pragma once

#include <QImage>
#include <QWidget>

// The main window's client area: the surface the outline is traced on. What is drawn is kept in an
// image, so that it survives repaints until it is cleared; a blank surface keeps none. Mouse events
// go out as the form's: the buttons as 1 left, 2 right, 4 middle (a sum of those held, for a move),
// the shift state as 1 Shift, 2 Ctrl, 4 Alt, and the position in twips.
class TracingSurface : public QWidget {
    Q_OBJECT

public:
    explicit TracingSurface(QWidget *parent);

    // The drawing operations of the form, with coordinates in twips and the colour black.
    void Cls();
    void Line(float x1, float y1, float x2, float y2);
    void Circle(float x, float y, float radius);

    // What the surface shows, as large as the surface.
    QImage drawing() const;

signals:
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int buttons, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QImage m_drawing; // null while the surface is blank
};
