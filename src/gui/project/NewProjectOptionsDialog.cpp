#include "project/NewProjectOptionsDialog.h"

#include "optimizer/OptimizationRunUi.h"
#include "platform/Help.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "ui/QtText.h"
#include "ui/Ui.h"
#include "ui/UmlautRoom.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

struct KeepBox {
    const char *text;
    const char *name;
};

// The order matters: it is the order of the keep flags of a new project.
constexpr KeepBox kKeepBoxes[] = {
    { "Titel, Autor und Beschreibung(en) der Homepage", "keepHomepageTextsCheck" },
    { "Suchbegriffe der Homepage", "keepHomepageKeywordsCheck" },
    { "Titel und Beschreibung(en) der Kopien", "keepCopyTextsCheck" },
    { "Suchbegriffe der Kopien (Gruppe 1-9)", "keepCopyKeywordsCheck" },
    { "Suchbegriffe für Zugangsdokumente", "keepDoorwaysCheck" },
};

} // namespace

NewProjectOptionsDialog::NewProjectOptionsDialog(const std::string &name, QWidget *parent)
    : SkinnedDialog(parent)
    , m_name(name)
{
    setObjectName(QStringLiteral("newProjectOptionsDialog"));
    setWindowTitle(QStringLiteral("Neues Projekt"));
    setHelpTopic(help::kNewProject);

    auto *header = new QLabel(QStringLiteral("Neues Projekt: ") + fromCp1252(name), this);
    header->setObjectName(QStringLiteral("headerLabel"));
    header->setTextFormat(Qt::PlainText);
    QFont headerFont = header->font();
    headerFont.setBold(true);
    header->setFont(headerFont);
    makeRoomForUmlautDots(header);
    auto *from = new QLabel(QStringLiteral("Vom aktuellen Projekt \"")
            + fromCp1252(displayNameMain(programSettings().currentProject))
            + QStringLiteral("\" folgende Daten übernehmen:"),
        this);
    from->setObjectName(QStringLiteral("fromLabel"));
    from->setTextFormat(Qt::PlainText);
    makeRoomForUmlautDots(from);

    m_currentOptions = new QRadioButton(QStringLiteral("Aktuelle Einstellungen für Parameter übernehmen"), this);
    m_currentOptions->setObjectName(QStringLiteral("currentOptionsRadio"));
    m_standardOptions = new QRadioButton(QStringLiteral("Standard-Einstellungen für Parameter verwenden"), this);
    m_standardOptions->setObjectName(QStringLiteral("standardOptionsRadio"));
    m_standardOptions->setChecked(true);
    auto *group = new QButtonGroup(this);
    group->addButton(m_currentOptions);
    group->addButton(m_standardOptions);
    auto *parameterBox = new QGroupBox(QStringLiteral(" Parameter "), this);
    auto *parameterLayout = new QVBoxLayout(parameterBox);
    parameterLayout->addWidget(m_currentOptions);
    parameterLayout->addWidget(m_standardOptions);

    auto *dataBox = new QGroupBox(QStringLiteral(" Daten "), this);
    auto *dataLayout = new QVBoxLayout(dataBox);
    for (std::size_t i = 0; i < m_keep.size(); ++i) {
        m_keep[i] = new QCheckBox(QString::fromUtf8(kKeepBoxes[i].text), dataBox);
        m_keep[i]->setObjectName(QString::fromLatin1(kKeepBoxes[i].name));
        dataLayout->addWidget(m_keep[i]);
    }

    auto *create = new QPushButton(QStringLiteral("Neues Projekt erstellen"), this);
    create->setObjectName(QStringLiteral("createButton"));
    create->setDefault(true);
    auto *helpButton = new QPushButton(QStringLiteral("Hilfe"), this);
    helpButton->setObjectName(QStringLiteral("helpButton"));
    helpButton->setAutoDefault(false);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    connect(create, &QPushButton::clicked, this, &NewProjectOptionsDialog::onCreateClicked);
    connect(helpButton, &QPushButton::clicked, this, &NewProjectOptionsDialog::onHelpClicked);
    connect(cancel, &QPushButton::clicked, this, &NewProjectOptionsDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(create);
    buttons->addStretch();
    buttons->addWidget(helpButton);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->addWidget(header);
    layout->addSpacing(4);
    layout->addWidget(from);
    layout->addWidget(parameterBox);
    layout->addWidget(dataBox);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    create->setFocus();
}

projects::NewProjectChoice NewProjectOptionsDialog::choice() const
{
    projects::NewProjectChoice choice;
    choice.currentOptions = m_currentOptions->isChecked();
    choice.keepHomepageTexts = m_keep[0]->isChecked();
    choice.keepHomepageKeywords = m_keep[1]->isChecked();
    choice.keepCopyTexts = m_keep[2]->isChecked();
    choice.keepCopyKeywords = m_keep[3]->isChecked();
    choice.keepDoorways = m_keep[4]->isChecked();
    return choice;
}

void NewProjectOptionsDialog::onCreateClicked()
{
    // The writes are quick, but the user must not click twice meanwhile.
    OptimizationRunUi ui(currentUi(), nullptr);
    ui.setWaiting(true);
    const bool created = projects::create(m_name, choice(), ui);
    ui.setWaiting(false);
    // A failed write was shown; the user may try again or cancel.
    if (created)
        accept();
}

void NewProjectOptionsDialog::onHelpClicked()
{
    openHelp(help::kNewProject);
}

} // namespace vantor::gui
