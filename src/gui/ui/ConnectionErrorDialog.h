#pragma once

#include "ui/SkinnedDialog.h"
#include "ui/Ui.h"

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vantor::gui {

// "Fehler beim Verbindungsaufbau" with "Nochmal", "Abbrechen",
// "Konfigurieren" and "Details". Only the first two always close it.
class ConnectionErrorDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    ConnectionErrorDialog(const QString &title, const QString &text, bool configureCloses,
                          QWidget *parent = nullptr);

    // What "Konfigurieren" opens when it does not close the box.
    void setConfigureHandler(std::function<void(QWidget *parent)> handler) { m_configure = std::move(handler); }

    ConnectionAnswer answer() const { return m_answer; }
    bool detailsShown() const;
    QString detailsText() const;

private:
    void onRetryClicked();
    void onCancelClicked();
    void onConfigureClicked();
    void onDetailsClicked();

    bool m_configureCloses;
    ConnectionAnswer m_answer = ConnectionAnswer::Cancel;
    std::function<void(QWidget *)> m_configure;
    QLabel *m_text = nullptr;
    QPlainTextEdit *m_details = nullptr;
};

} // namespace vantor::gui
