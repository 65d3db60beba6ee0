#pragma once

#include "ui/SkinnedDialog.h"

class QLineEdit;

namespace vantor::gui {

// User name and password after a 401 or 407 answer.
class CredentialsDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit CredentialsDialog(const QString &title, QWidget *parent = nullptr);

    void setUser(const QString &user);
    QString user() const;
    QString password() const;

private:
    void onOkClicked();
    void onCancelClicked();

    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
};

} // namespace vantor::gui
