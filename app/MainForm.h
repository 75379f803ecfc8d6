#pragma once

#include "app/Commands.h"
#include "capture/Outline.h"

#include <QMainWindow>
#include <array>
#include <cstdint>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class TracingSurface;

// The start-up window: the tracing surface, the parameter panels and the command menu. It owns
// the outline state and the six shape parameters.
//
// Its handlers are spread over the folders by subject: the window's lifecycle and the menu in
// app/, the mouse handlers in capture/, the generators and panels in codegen/.
class MainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 4980;
    static constexpr int kClientHeightTwips = 4395;

    MainForm();
    ~MainForm() override;

    // The one main window of the program, or nullptr before it is made and after it is gone.
    static MainForm *instance();

    // "Zarnik v" + major + "." + minor.
    static QString captionFor(int major, int minor);

    // app/MainForm.cpp
    void Form_Load();
    void Form_GotFocus();
    void Form_Resize();
    void Form_QueryUnload();
    void RestBut_Click();
    void Program_Click();
    void about_Click();

    // capture/PointCapture.cpp. Button: 1 left, 2 right, 4 middle (a sum of them for a move);
    // X and Y in twips relative to the client area.
    void Form_MouseDown(int Button, int Shift, float X, float Y);
    void Form_MouseMove(int Button, int Shift, float X, float Y);

    // codegen/PolygonGenerator.cpp
    void MakeBut_Click();

    // codegen/ShapeGenerators.cpp
    void MakeEllipse_Click();
    void RoundRect_Click();
    void CircleOkBut_Click();
    void RectOkBut_Click();

    // The menu items whose enabled flags are the command state.
    QAction *MakeBut = nullptr; // "&Пример"
    QAction *Program = nullptr; // "&Код"
    QMenu *MnuSet = nullptr;    // "&Создать"
    QAction *MakeEllipse = nullptr;
    QAction *RoundRect = nullptr;
    QAction *RestBut = nullptr;
    QAction *about = nullptr;

    // The parameter panels and their controls (codegen/ParameterPanels.cpp builds them).
    std::array<QFrame *, 2> ParFrm{};
    std::array<QLineEdit *, 10> SetPar{};
    std::array<QLabel *, 10> Label1{};
    QPushButton *CircleOkBut = nullptr;
    QPushButton *RectOkBut = nullptr;

    // Called by the surface before it passes on a mouse-down. A click on an inactive window
    // activates it; the activation counts before the click, so the click is not lost to the focus
    // handler.
    void activateBeforeMouseDown();

    // The drawing on the client area: Cls, Line and Circle in twips.
    TracingSurface *surface() const { return m_surface; }

    // capture/PointCapture.cpp. The outline goes as a whole: its vertices, its closing line, its
    // point lines in the code window and its drawing.
    void emptyOutline();

    Outline outline;
    CapacityNotice capacityNotice; // the full-outline message, once per mouse-down
    std::array<int16_t, 6>
        shapeParameters{}; // filled by the ellipse and rounded-rectangle generators

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    Commands menuState() const;
    void setMenuState(Commands state);
    void createMenu();
    void createParameterPanels(); // codegen/ParameterPanels.cpp
    bool panelShown() const;
    // Runs Form_Resize when the outer size has changed: at a resize, and when the window manager's
    // frame arrives or changes, for which Qt sends no event.
    void followOuterSize();
    void gotFocus(); // runs the focus rule for an activation that counts

    TracingSurface *m_surface = nullptr;
    bool m_activatedByClick = false;
    QSize m_outerSize; // as the preview last took it
};
