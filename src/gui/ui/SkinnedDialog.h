#pragma once

#include <QDialog>

namespace vantor::gui {

// What every dialog of ours shares: a title bar with the close button only,
// the light background that stands in for the old bitmap skin, F1 for the
// dialog's help topic, and the report to the dialog hooks once it is on
// screen.
class SkinnedDialog : public QDialog
{
    Q_OBJECT
public:
    // Spelled out, without minimise and maximise: a dialog is answered, not
    // parked, and its layout has one size.
    static constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                     Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

    explicit SkinnedDialog(QWidget *parent = nullptr);

    int helpTopic() const { return m_helpTopic; }

protected:
    // 0 leaves F1 without effect.
    void setHelpTopic(int topic) { m_helpTopic = topic; }
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_helpTopic = 0;
};

// The background colour of our windows; the wait window and the help window
// use it too.
void applySkin(QWidget *window);

} // namespace vantor::gui
