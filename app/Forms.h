#pragma once

#include <QObject>
#include <QPointer>

class CutForm;
class Form2;
class OutForm;
class QWidget;

// The windows the main window shows: the code window, the preview and the about window. Each is
// made on first use and held here until it closes, which it tells with a signal; the next use
// makes a fresh one.
class Forms : public QObject {
    Q_OBJECT

public:
    explicit Forms(QWidget *mainWindow);
    ~Forms() override;

    // The window, made hidden with its initial contents when none is open.
    OutForm &code();
    CutForm &preview();
    // The about window, made, loaded and centred on the screen when none is open.
    Form2 &about();

    // The window if it is open, else nullptr.
    OutForm *openCode() const;
    CutForm *openPreview() const;

signals:
    void codeClosing();
    void previewClosing();

private:
    QWidget *m_mainWindow;
    QPointer<OutForm> m_code;
    QPointer<CutForm> m_preview;
    QPointer<Form2> m_about;
};
