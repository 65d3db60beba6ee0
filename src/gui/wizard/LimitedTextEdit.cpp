#include "wizard/LimitedTextEdit.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace vantor::gui {

LimitedTextEdit::LimitedTextEdit(int maxLength, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_maxLength(maxLength)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    connect(document(), &QTextDocument::contentsChange, this, &LimitedTextEdit::onContentsChange);
}

QString LimitedTextEdit::storedText() const
{
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void LimitedTextEdit::setStoredText(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(shown);
}

int LimitedTextEdit::storedLength() const
{
    const QString text = toPlainText();
    return static_cast<int>(text.size() + text.count(QLatin1Char('\n')));
}

void LimitedTextEdit::onContentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (m_trimming || added <= 0)
        return;
    int over = storedLength() - m_maxLength;
    if (over <= 0)
        return;
    m_trimming = true;
    // The document counts one character more than its text: the last
    // paragraph's end, which cannot be removed.
    const int end = std::min(position + added, document()->characterCount() - 1);
    int start = end;
    while (start > position && over > 0) {
        --start;
        over -= document()->characterAt(start) == QChar::ParagraphSeparator ? 2 : 1;
    }
    QTextCursor cursor(document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_trimming = false;
    // Whatever was cut, what remains must fit; a paste into a full field
    // that the loop could not shorten enough ends here too.
    if (storedLength() > m_maxLength) {
        m_trimming = true;
        QString text = toPlainText();
        while (!text.isEmpty() && text.size() + text.count(QLatin1Char('\n')) > m_maxLength)
            text.chop(1);
        setPlainText(text);
        moveCursor(QTextCursor::End);
        m_trimming = false;
    }
}

} // namespace vantor::gui
