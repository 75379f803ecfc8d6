#include "windows/CodeBox.h"

#include <QMimeData>
#include <QTextCursor>

namespace {

// The text box shows each CR LF as one line break; every other character, a lone CR included,
// takes one position of the shown text.
QString shownText(const QString &text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

// Where a position of the shown text falls in the exact text.
qsizetype exactPosition(const QString &exact, int shownPosition) {
    qsizetype at = 0;
    for (int shown = 0; shown < shownPosition && at < exact.size(); ++shown) {
        const bool lineEnd = exact[at] == u'\r' && at + 1 < exact.size() && exact[at + 1] == u'\n';
        at += lineEnd ? 2 : 1;
    }
    return at;
}

} // namespace

CodeBox::CodeBox(QWidget *parent)
    : QPlainTextEdit(parent) {}

QString CodeBox::exactText() const {
    return m_text;
}

void CodeBox::setExactText(const QString &text) {
    m_text = text;
    setPlainText(shownText(text));
}

void CodeBox::appendExactText(const QString &text) {
    if (m_text.endsWith(u'\r') && text.startsWith(u'\n')) {
        setExactText(m_text + text); // the CR LF that the two halves make is one line break
        return;
    }
    m_text += text;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(shownText(text));
}

QMimeData *CodeBox::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    const qsizetype start = exactPosition(m_text, cursor.selectionStart());
    const qsizetype end = exactPosition(m_text, cursor.selectionEnd());
    auto *data = new QMimeData;
    data->setText(m_text.mid(start, end - start));
    return data;
}
