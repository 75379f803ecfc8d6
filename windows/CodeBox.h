#pragma once

#include <QPlainTextEdit>
#include <QString>

// A text box of the code window. It shows its text with plain line breaks but keeps it exactly as
// written, CR LF included, and gives a selection out (copy, drag, the X primary selection) as the
// same part of that exact text.
class CodeBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CodeBox(QWidget *parent);

    QString exactText() const;
    void setExactText(const QString &text);
    // Same as setting the whole text to the old text plus `text`, without redrawing it all.
    void appendExactText(const QString &text);

protected:
    QMimeData *createMimeDataFromSelection() const override;

private:
    QString m_text;
};
