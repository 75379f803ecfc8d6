#pragma once

#include <QImage>
#include <QWidget>

class MainForm;

// The main window's client area: the surface the outline is traced on. What is drawn is kept in an
// image, so that it survives repaints until it is cleared; a blank surface keeps none.
class TracingSurface : public QWidget {
    Q_OBJECT

public:
    explicit TracingSurface(MainForm *form);

    // The drawing operations of the form, with coordinates in twips and the colour black.
    void Cls();
    void Line(float x1, float y1, float x2, float y2);
    void Circle(float x, float y, float radius);

    // What the surface shows, as large as the surface.
    QImage drawing() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    MainForm *m_form;
    QImage m_drawing; // null while the surface is blank
};
