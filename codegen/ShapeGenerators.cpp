#include "app/MainForm.h"
#include "codegen/ShapeCode.h"
#include "platform/Numbers.h"
#include "platform/Regions.h"
#include "platform/Screen.h"
#include "platform/ShowWindow.h"
#include "platform/WindowRegion.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QAction>
#include <QFrame>
#include <QLineEdit>

namespace {

// A box's number: its numeric prefix rounded to 16 bits; out of range is the overflow error.
int16_t readBox(const QLineEdit *box) {
    return platform::toInt16(platform::numericPrefix(box->text().toStdString()));
}

void prefixDeclarations(const std::string &lines) {
    OutForm &out = OutForm::ref();
    out.setDeclareText(QString::fromStdString(lines) + out.declareText());
}

void showPreviewWith(const std::optional<QRegion> &region) {
    CutForm &preview = CutForm::ref();
    platform::SetWindowRgn(&preview, region);
    platform::showRestored(&preview);
}

} // namespace

void MainForm::MakeEllipse_Click() {
    ParFrm[1]->setVisible(false);
    ParFrm[0]->setVisible(true);
}

void MainForm::RoundRect_Click() {
    ParFrm[0]->setVisible(false);
    ParFrm[1]->setVisible(true);
}

// Each box goes into its slot as soon as it is read: an overflow in a later box stops the click
// with the earlier slots already changed and nothing else written.
void MainForm::CircleOkBut_Click() {
    setMenuState(Commands::shape(menuState()));
    ParFrm[0]->setVisible(false);
    for (int i = 0; i < 4; ++i)
        shapeParameters[i] = readBox(SetPar[i]);
    const shapecode::EllipseParameters p{shapeParameters[0], shapeParameters[1], shapeParameters[2],
                                         shapeParameters[3]};

    prefixDeclarations(shapecode::ellipseDeclarations());
    OutForm::ref().setSaveFormatText(QString::fromStdString(shapecode::ellipseProcedure(p)));

    const float tx = platform::twipsPerPixelX();
    const float ty = platform::twipsPerPixelY();
    const auto [x1, y1, x2, y2] = shapecode::ellipseRegionArguments(p, tx, ty);
    showPreviewWith(platform::CreateEllipticRgn(x1, y1, x2, y2));
}

void MainForm::RectOkBut_Click() {
    setMenuState(Commands::shape(menuState()));
    ParFrm[1]->setVisible(false);
    for (int i = 0; i < 6; ++i)
        shapeParameters[i] = readBox(SetPar[4 + i]);
    const shapecode::RoundRectParameters q{shapeParameters[0], shapeParameters[1],
                                           shapeParameters[2], shapeParameters[3],
                                           shapeParameters[4], shapeParameters[5]};

    prefixDeclarations(shapecode::roundRectDeclarations());
    OutForm::ref().setSaveFormatText(QString::fromStdString(shapecode::roundRectProcedure(q)));

    const float tx = platform::twipsPerPixelX();
    const float ty = platform::twipsPerPixelY();
    const auto [x1, y1, x2, y2, w, h] = shapecode::roundRectRegionArguments(q, tx, ty);
    showPreviewWith(platform::CreateRoundRectRgn(x1, y1, x2, y2, w, h));
}
