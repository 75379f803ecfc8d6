#pragma once

#include <QWidget>

// The preview window: a red picture in a window that the generators clip to their region.
class CutForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 4995;
    static constexpr int kClientHeightTwips = 4650;

    // A reference to the window: made hidden, at its initial size and with no region, when none
    // exists.
    static CutForm &ref();
    static CutForm *loaded();

    // Outer size in pixels, frame included (Width and Height in the main window's terms).
    void setOuterSize(const QSize &size);

    void Form_Click();
    void Form_QueryUnload();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    CutForm();
    ~CutForm() override;
};
