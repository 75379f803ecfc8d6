#pragma once

#include <QFrame>

#include <vector>

class QLineEdit;

// A parameter panel of the main window: a frame captioned "Параметры" with a labelled box per
// number, filled with its default, and the button "Создать" below them. The ellipse panel ParFrm(0)
// holds SetPar(0) to SetPar(3), the rounded-rectangle panel ParFrm(1) SetPar(4) to SetPar(9).
//
// Drawn as a classic group box: a child window with its own background, so that the outline traced
// on the surface under it does not show through, an etched line around it and the caption on that
// line. A press on it ends there instead of adding a vertex on the surface underneath.
class ParameterPanel : public QFrame {
    Q_OBJECT

public:
    enum Shape { Ellipse = 0, RoundRect = 1 }; // the panel's index in ParFrm

    ParameterPanel(Shape shape, QWidget *parent);

    // The text of a box, the top row's first: what the user left there, the default at first.
    QString boxText(int row) const;

signals:
    void createClicked(); // "Создать"

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<QLineEdit *> m_boxes;
};
