#pragma once

#include "project/InternetAccess.h"
#include "ui/SkinnedDialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vantor::gui {

// How the program reaches the Internet: system settings, direct, or a proxy.
class InternetAccessDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit InternetAccessDialog(QWidget *parent = nullptr);

    // What the widgets hold right now.
    InternetAccessInput input() const;

private:
    void showInput(const InternetAccessInput &input);
    void enableProxyFields(bool enabled);
    void onAccessTypeToggled();
    void onTestClicked();
    void onTOnlineClicked();
    void onOkClicked();
    void onHelpClicked();

    QRadioButton *m_system = nullptr;
    QRadioButton *m_direct = nullptr;
    QRadioButton *m_proxyAccess = nullptr;
    QLineEdit *m_proxy = nullptr;
    QLineEdit *m_port = nullptr;
    QLineEdit *m_updateServer = nullptr;
    QCheckBox *m_inform = nullptr;
    QPushButton *m_test = nullptr;
};

} // namespace vantor::gui
