#include "project/UserLevelDialog.h"

#include "platform/Help.h"
#include "project/ProgramSettings.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {
constexpr int kLevelUser = 1;
constexpr int kLevelDeveloper = 2;
} // namespace

UserLevelDialog::UserLevelDialog(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("userLevelDialog"));
    setWindowTitle(QStringLiteral("Anwenderstufe"));
    setHelpTopic(help::kUserLevel);

    auto *intro = new QLabel(QStringLiteral("Wie gut kennen Sie sich mit HTML und Suchmaschinen aus?\n"
                                            "Die Wahl ändert nur die Beschriftungen und Erklärungen."),
                             this);
    intro->setTextFormat(Qt::PlainText);

    m_user = new QRadioButton(QStringLiteral("Anwender"), this);
    m_user->setObjectName(QStringLiteral("userRadio"));
    m_developer = new QRadioButton(QStringLiteral("Entwickler"), this);
    m_developer->setObjectName(QStringLiteral("developerRadio"));
    auto *group = new QButtonGroup(this);
    group->addButton(m_user);
    group->addButton(m_developer);

    auto *userNote = new QLabel(QStringLiteral("Mit zusätzlichen Erklärungen in den Dialogen."), this);
    auto *developerNote = new QLabel(QStringLiteral("Mit technischen Bezeichnungen, z.B. <TITLE> Tag."), this);
    userNote->setTextFormat(Qt::PlainText);
    developerNote->setTextFormat(Qt::PlainText);
    userNote->setIndent(24);
    developerNote->setIndent(24);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &UserLevelDialog::onOkClicked);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->addWidget(intro);
    layout->addSpacing(8);
    layout->addWidget(m_user);
    layout->addWidget(userNote);
    layout->addWidget(m_developer);
    layout->addWidget(developerNote);
    layout->addSpacing(8);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (programSettings().userLevel == kLevelDeveloper)
        m_developer->setChecked(true);
    else
        m_user->setChecked(true);
}

int UserLevelDialog::chosenLevel() const { return m_developer->isChecked() ? kLevelDeveloper : kLevelUser; }

void UserLevelDialog::onOkClicked()
{
    SaveUserLevel(chosenLevel());
    accept();
}

} // namespace vantor::gui
