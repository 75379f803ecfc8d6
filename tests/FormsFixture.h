// Set-up shared by the window tests: the main window at a chosen scale, the warnings it shows,
// clicks on its tracing surface and the code window's texts.
#pragma once

#include "app/MainForm.h"
#include "capture/TracingSurface.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"
#include "platform/WindowRegion.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QtTest>
#include <memory>

struct FormsFixture {
    std::unique_ptr<MainForm> form;
    QStringList warnings;

    void makeForm(float twipsPerPixel) {
        form.reset();
        platform::setTwipsPerPixelForTesting(twipsPerPixel, twipsPerPixel);
        form = std::make_unique<MainForm>();
    }
    void recordWarnings() {
        warnings.clear();
        platform::setWarningSinkForTesting([this](const QString &text) { warnings << text; });
    }
    void tearDown() {
        if (CutForm *preview = CutForm::loaded())
            preview->close();
        if (OutForm *code = OutForm::loaded())
            code->close();
        form.reset();
        flushDeletes();
        platform::setTwipsPerPixelForTesting(0, 0);
        platform::setWarningSinkForTesting({});
    }
    // A real click on the surface at a position in pixels.
    void click(QPoint pixel, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(form->surface(), button, Qt::NoModifier, pixel);
    }
    void clickAll(std::initializer_list<QPoint> pixels) {
        for (QPoint pixel : pixels)
            click(pixel);
    }
    static QString saveFormat() {
        return OutForm::loaded() ? OutForm::loaded()->saveFormatText() : QString();
    }
    static QString declareText() { return OutForm::ref().declareText(); }
    static std::optional<QRegion> previewRegion() {
        return platform::windowRegion(CutForm::loaded());
    }
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};
