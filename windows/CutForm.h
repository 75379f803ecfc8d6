#pragma once

#include "windows/FrameDrag.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <optional>

class QMenu;

// The preview window: a red picture in a window that the generators clip to their region.
class CutForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 4995;
    static constexpr int kClientHeightTwips = 4650;

    // Made hidden, at its initial size, in the middle of the screen and with no region.
    CutForm();

    // Outer size in pixels, frame included (Width and Height in the main window's terms).
    void setOuterSize(const QSize &size);

    void Form_Click();
    // Tells the main window, which disables "&Пример".
    void Form_QueryUnload();

signals:
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The window's own frame at work: moving, sizing and the caption boxes.
    FrameDrag::Window frameWindow() const;
    void apply(const FrameDrag::Reaction &reaction, const QMouseEvent *press = nullptr);
    void pressIcon(const QMouseEvent *event);
    void showSystemMenu();
    void minimizeWindow();
    void toggleMaximized();

    FrameDrag m_frame;

    // A mouse press by its time and place on the screen.
    struct Press {
        quint64 time = 0;
        QPoint globalPos;
    };
    // The press on the icon that last opened the system menu: a second press close to it in time
    // and place makes a double click, which closes the window.
    std::optional<Press> m_iconPress;
    QPointer<QMenu> m_systemMenu; // while the system menu's own loop runs
    bool m_closedUnderMenu = false;
};
