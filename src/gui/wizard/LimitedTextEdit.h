#pragma once

#include <QPlainTextEdit>

namespace vantor::gui {

// A field of several lines that takes no more than its slot holds. The
// slot keeps line breaks as CR LF, so a break counts two characters; input
// beyond the limit is cut where it was typed or pasted. Tab moves on to the
// next field, as in every other field of the wizard.
class LimitedTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    LimitedTextEdit(int maxLength, QWidget *parent = nullptr);

    int maxLength() const { return m_maxLength; }

    // The text as the record holds it, with CR LF.
    QString storedText() const;
    void setStoredText(const QString &text);
    // Characters the text takes in its slot.
    int storedLength() const;

private:
    void onContentsChange(int position, int removed, int added);

    int m_maxLength;
    bool m_trimming = false;
};

} // namespace vantor::gui
