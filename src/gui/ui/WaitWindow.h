#pragma once

#include <QFrame>

class QLabel;

namespace vantor::gui {

// The small window without buttons that stands while the program blocks,
// e.g. "Bitte warten...\nVerbindung wird getestet".
class WaitWindow : public QFrame
{
    Q_OBJECT
public:
    explicit WaitWindow(const QString &text, QWidget *parent = nullptr);

    QString text() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_text = nullptr;
};

} // namespace vantor::gui
