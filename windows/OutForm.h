#pragma once

#include "windows/CodeBox.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class QCheckBox;

// The code window: the generated declarations and procedure text, each copied whole to the
// clipboard on a click, and a check box that keeps the window above the others.
class OutForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 4695;
    static constexpr int kClientHeightTwips = 4080;

    // Made hidden, with its initial contents; at its first showing it is centred on `owner`.
    explicit OutForm(const QWidget *owner);

    // The text boxes' whole texts: the only store of the generated code.
    QString declareText() const;
    void setDeclareText(const QString &text);
    QString saveFormatText() const;
    void setSaveFormatText(const QString &text);
    // Same as setting the whole text to the old text plus the line, without redrawing it all.
    void appendSaveFormatText(const QString &line);
    // Takes back the lines appended since the text was last set whole: the point lines of the
    // outline being traced.
    void removeAppendedSaveFormatLines();

    void DeclareText_Click();
    void SaveFormat_Click();
    void OnTop_Click();
    // Empties SaveFormat; the main window takes the other close steps when told.
    void Form_QueryUnload();

signals:
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    CodeBox *DeclareText = nullptr;
    CodeBox *SaveFormat = nullptr;
    QCheckBox *OnTop = nullptr;
    QPointer<const QWidget> m_owner;
    qsizetype m_appendedFrom = 0; // where the appended lines begin in SaveFormat's text
    bool m_placed = false;        // centred on the main window at its first showing
};
