#pragma once

#include <QWidget>

class QLabel;

// The about window: the icon, the versioned title, the description, the rights line, the web and
// mail links, and the maker's notice, inside a dialog edge that the window draws itself. Any click
// inside the edge closes it.
class Form2 : public QWidget {
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 4905;
    static constexpr int kClientHeightTwips = 3225;

    Form2();

    void Form_Load();

    // Each click handler ends by unloading the window.
    void Form_Click();
    void Image1_Click();
    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label4_Click(int Index);
    void Label5_Click();
    void Label6_Click(int Index);
    void Label7_Click();

signals:
    // The window is closing: it goes once control is back in the event loop.
    void unloading();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QRect clientArea() const; // inside the dialog edge
    void createControls();
    void clickOn(QObject *control);
    void unload();

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr; // title line
    QLabel *Label2 = nullptr; // what the program does
    QLabel *Label3 = nullptr; // rights line
    QLabel *Label4 = nullptr; // "FREEWARE"
    QLabel *Label5 = nullptr; // mail link
    QLabel *Label6 = nullptr; // maker's notice
    QLabel *Label7 = nullptr; // web link
    QObject *m_pressedControl = nullptr;
};
