#pragma once

#include "app/Commands.h"
#include "app/Forms.h"
#include "capture/Outline.h"
#include "codegen/ParameterPanel.h"

#include <QMainWindow>
#include <QRegion>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class QAction;
class QMenu;
class TracingSurface;

// The start-up window: the tracing surface, the two parameter panels and the command menu. It owns
// the outline, the six shape parameters and, through Forms, the windows it shows. Every handler of
// the program's rules is here, thin over the plain code of capture/ and codegen/.
class MainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 4980;
    static constexpr int kClientHeightTwips = 4395;

    MainForm();

    const Outline &outline() const { return m_outline; }

    void Form_Load();
    void Form_GotFocus();
    void Form_Resize();
    void Form_QueryUnload();
    void RestBut_Click();
    void Program_Click();
    void about_Click();

    // Button: 1 left, 2 right, 4 middle (a sum of those held, for a move); X and Y in twips
    // relative to the client area.
    void Form_MouseDown(int Button, int Shift, float X, float Y);
    void Form_MouseMove(int Button, int Shift, float X, float Y);

    void MakeBut_Click(); // the polygon: its code and the shaped preview
    void MakeEllipse_Click();
    void RoundRect_Click();
    void CircleOkBut_Click();
    void RectOkBut_Click();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createMenu();
    ParameterPanel &panel(ParameterPanel::Shape shape); // made on first use
    void hidePanel(ParameterPanel::Shape shape);
    // Hides the panel and reads its first boxes into m_shapeParameters, in order.
    void readPanel(ParameterPanel::Shape shape, int boxes);
    Commands menuState() const;
    void setMenuState(Commands state);
    // The outline goes as a whole: its vertices, its closing line, its point lines in the code
    // window and its drawing.
    void emptyOutline();
    void appendToSaveFormat(const std::string &line);
    void prefixDeclareText(const std::string &lines);
    void showPreviewWith(const std::optional<QRegion> &region);

    // A click on an inactive window activates it; the activation counts before the click, so the
    // click is not lost to the focus handler.
    void activateBeforeMouseDown();
    void gotFocus(); // runs the focus rule for an activation that counts
    // Runs Form_Resize when the outer size has changed: at a resize, and when the window manager's
    // frame arrives or changes, for which Qt sends no event.
    void followOuterSize();

    // The menu items; the enabled flags of MakeBut ("&Пример") and Program ("&Код") are the
    // command state.
    QMenu *MnuSet = nullptr; // "&Создать"
    QAction *MakeEllipse = nullptr;
    QAction *RoundRect = nullptr;
    QAction *MakeBut = nullptr;
    QAction *Program = nullptr;
    QAction *RestBut = nullptr;
    QAction *about = nullptr;
    std::array<ParameterPanel *, 2> ParFrm{}; // null until first shown
    TracingSurface *m_surface = nullptr;
    Forms m_forms{this};

    Outline m_outline;
    CapacityNotice m_capacityNotice;            // the full-outline message, once per mouse-down
    std::array<int16_t, 6> m_shapeParameters{}; // filled by the two shape generators
    bool m_cameBack = false; // the user is at the window: its focus rule has run for this visit
    QSize m_outerSize;       // as the preview last took it
};
