#include "app/MainForm.h"

#include "capture/TracingSurface.h"
#include "codegen/PolygonCode.h"
#include "platform/Regions.h"
#include "platform/RuntimeError.h"
#include "platform/ShowWindow.h"
#include "platform/WindowRegion.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QAction>
#include <optional>

namespace {

constexpr int32_t kWindingFillMode = 2; // the same fill mode the generated code asks for

} // namespace

// "&Пример": shapes the preview with the traced outline and writes the code that does the same.
void MainForm::MakeBut_Click() {
    setMenuState(Commands::polygon(menuState(), outline.PointCount));
    surface()->Cls();
    // The keyboard stays with the main window and its menu, where "&Код" comes next.
    platform::showRestored(&CutForm::ref(), platform::Focus::Leave);

    // From here on a failing step does not stop the next one, and nobody is told.
    std::optional<QRegion> region; // stays null when the region cannot be made
    platform::resumeNext([&] {
        region = platform::CreatePolygonRgn(outline.XY.data(), int32_t{outline.PointCount},
                                            kWindingFillMode);
    });
    platform::resumeNext([&] { platform::SetWindowRgn(&CutForm::ref(), region); });
    platform::resumeNext([&] {
        OutForm &code = OutForm::ref();
        const std::string text = PolygonCode::procedureText(
            outline.PointCount, code.saveFormatText().toStdString(), outline.ClosingLine);
        code.setSaveFormatText(QString::fromStdString(text));
    });
    platform::resumeNext([&] {
        OutForm::ref().setDeclareText(QString::fromStdString(PolygonCode::declarationsText()));
    });
}
