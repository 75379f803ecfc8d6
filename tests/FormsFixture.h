// Set-up shared by the window tests: the main window at a chosen scale, the messages it shows, and
// what the windows show of themselves: object names, the menu's actions, the open windows.
#pragma once

#include "app/MainForm.h"
#include "capture/TracingSurface.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"
#include "platform/WindowRegion.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QAction>
#include <QLineEdit>
#include <QtTest>
#include <memory>

struct FormsFixture {
    std::unique_ptr<MainForm> form;
    QStringList warnings;

    void makeForm(float twipsPerPixel) {
        form.reset();
        platform::setTwipsPerPixelForTesting(twipsPerPixel, twipsPerPixel);
        form = std::make_unique<MainForm>();
        warnings.clear();
        platform::setWarningSinkForTesting([this](const QString &text) { warnings << text; });
    }
    void tearDown() {
        form.reset(); // with the windows it made
        flushDeletes();
        platform::setTwipsPerPixelForTesting(0, 0);
        platform::setWarningSinkForTesting({});
    }
    template <class T = QWidget> T *named(const QString &name) const {
        return form->findChild<T *>(name);
    }
    QAction *action(const char *name) const { return named<QAction>(QLatin1String(name)); }
    QLineEdit *SetPar(int i) const { return named<QLineEdit>(QStringLiteral("SetPar(%1)").arg(i)); }
    QWidget *ParFrm(int i) const { return named(QStringLiteral("ParFrm(%1)").arg(i)); }
    TracingSurface *surface() const { return form->findChild<TracingSurface *>(); }
    // A real click on the surface at a position in pixels.
    void click(QPoint pixel, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(surface(), button, Qt::NoModifier, pixel);
    }
    void clickAll(std::initializer_list<QPoint> pixels) {
        for (QPoint pixel : pixels)
            click(pixel);
    }
    // The open window of a class, or nullptr; closed windows are gone first.
    template <class W> static W *open() {
        flushDeletes();
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *found = qobject_cast<W *>(window))
                return found;
        }
        return nullptr;
    }
    static QString saveFormat() { return open<OutForm>() ? open<OutForm>()->saveFormatText() : ""; }
    static QString declareText() { return open<OutForm>()->declareText(); }
    static std::optional<QRegion> previewRegion() {
        return platform::windowRegion(open<CutForm>());
    }
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};
