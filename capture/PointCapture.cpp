// The mouse handlers of the main window: each left click and each move with the right button held
// adds a vertex to the outline, draws it and writes its line into the code window.
#include "app/MainForm.h"

#include "capture/TracingSurface.h"
#include "platform/Numbers.h"
#include "platform/Screen.h"
#include "windows/OutForm.h"

#include <QAction>

namespace {

constexpr float kDotRadiusTwips = 10.0f;

// A vertex is stored as the runtime converts a quotient to an Integer: halves to even.
int16_t pixelsX(float x) {
    return platform::toInt16(platform::pixelsFromTwips(x, platform::twipsPerPixelX()));
}

int16_t pixelsY(float y) {
    return platform::toInt16(platform::pixelsFromTwips(y, platform::twipsPerPixelY()));
}

void appendToSaveFormat(const std::string &line) {
    OutForm::ref().appendSaveFormatText(QString::fromStdString(line));
}

} // namespace

void MainForm::emptyOutline() {
    outline.clear();
    // Generated code before the lines stays: the user may still want to copy it.
    if (OutForm *code = OutForm::loaded())
        code->removeAppendedSaveFormatLines();
    surface()->Cls();
}

void MainForm::Form_MouseDown(int Button, int Shift, float X, float Y) {
    Q_UNUSED(Shift);
    capacityNotice.newMouseDown();
    setMenuState(Commands::mouseDown(menuState(), outline.PointCount));

    if (outline.PointCount == 0) {
        outline.PrevX = outline.CurX = X;
        outline.PrevY = outline.CurY = Y;
    } else {
        outline.PrevX = outline.CurX;
        outline.PrevY = outline.CurY;
        outline.CurX = X;
        outline.CurY = Y;
    }
    surface()->Line(outline.PrevX.value_or(0), outline.PrevY.value_or(0), outline.CurX.value_or(0),
                    outline.CurY.value_or(0));

    // Code has been generated since the last reset: this click starts a new outline.
    if (Program->isEnabled()) {
        setMenuState(Commands::startOver(menuState()));
        RestBut_Click();
    }

    if (Button != 1)
        return;
    surface()->Circle(X, Y, kDotRadiusTwips);
    appendToSaveFormat(pointLine(outline.PointCount, pixelsX(X), pixelsY(Y)));
    capacityNotice.captureVertex(outline, pixelsX(X), pixelsY(Y));
}

void MainForm::Form_MouseMove(int Button, int Shift, float X, float Y) {
    Q_UNUSED(Shift);
    if (Button != 2)
        return;
    surface()->Circle(X, Y, kDotRadiusTwips);
    appendToSaveFormat(dragLine(outline.PointCount,
                                platform::pixelsFromTwips(X, platform::twipsPerPixelX()),
                                platform::pixelsFromTwips(Y, platform::twipsPerPixelY())));
    capacityNotice.captureVertex(outline, pixelsX(X), pixelsY(Y));
}
