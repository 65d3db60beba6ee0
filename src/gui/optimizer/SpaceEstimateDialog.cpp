#include "optimizer/SpaceEstimateDialog.h"

#include "platform/Help.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vantor::gui {

SpaceEstimateDialog::SpaceEstimateDialog(ProjectRecord &record, QWidget *parent)
    : SkinnedDialog(parent)
    , m_record(record)
    , m_estimate(estimateSpace(record).withLowerLimits())
{
    setObjectName(QStringLiteral("spaceEstimateDialog"));
    setWindowTitle(QStringLiteral("Projekt: ") + fromCp1252(displayNameWizard(programSettings().currentProject)) +
                   QStringLiteral(" (") + fromCp1252(record.path.str()) + QLatin1Char(')'));
    setHelpTopic(help::kSpaceEstimate);

    auto *intro = new QLabel(
        QStringLiteral("Sie können nun noch bestimmen, welche Prioritäten Vantor!! bei der Optimierung verwenden soll: "),
        this);
    intro->setObjectName(QStringLiteral("introLabel"));
    intro->setTextFormat(Qt::PlainText);
    intro->setWordWrap(true);

    m_least = new QRadioButton(QStringLiteral("Möglichst wenig Speicherplatz verwenden"), this);
    m_least->setObjectName(QStringLiteral("leastSpaceRadio"));
    m_middle = new QRadioButton(QStringLiteral("Mittelweg aus Speicherplatz und Optimierung"), this);
    m_middle->setObjectName(QStringLiteral("middleWayRadio"));
    m_most = new QRadioButton(QStringLiteral("Maximale Optimierung, größter Speicherplatzbedarf"), this);
    m_most->setObjectName(QStringLiteral("maximumRadio"));
    auto *group = new QButtonGroup(this);
    group->addButton(m_least, 0);
    group->addButton(m_middle, 1);
    group->addButton(m_most, 2);

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("spaceLabel"));
    m_label->setTextFormat(Qt::PlainText);
    m_value = new QLabel(this);
    m_value->setObjectName(QStringLiteral("spaceValue"));
    m_value->setTextFormat(Qt::PlainText);
    m_value->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    // Room for the largest figure, so the line does not jump while choosing.
    m_value->setMinimumWidth(m_value->fontMetrics().horizontalAdvance(QStringLiteral("0000000 kB")));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("spaceBar"));
    m_bar->setRange(0, 100);
    m_bar->setTextVisible(false);

    auto *back = new QPushButton(QStringLiteral("Zurück"), this);
    back->setObjectName(QStringLiteral("backButton"));
    back->setAutoDefault(false);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    auto *helpButton = new QPushButton(QStringLiteral("?"), this);
    helpButton->setObjectName(QStringLiteral("helpButton"));
    helpButton->setToolTip(QStringLiteral("Hilfe"));
    helpButton->setAutoDefault(false);
    helpButton->setFixedWidth(helpButton->sizeHint().height() + 8);

    connect(group, &QButtonGroup::idClicked, this, &SpaceEstimateDialog::onScopeChosen);
    connect(back, &QPushButton::clicked, this, &SpaceEstimateDialog::onBackClicked);
    connect(ok, &QPushButton::clicked, this, &SpaceEstimateDialog::onOkClicked);
    connect(cancel, &QPushButton::clicked, this, &SpaceEstimateDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, &SpaceEstimateDialog::onHelpClicked);

    auto *space = new QGridLayout;
    space->addWidget(m_label, 0, 0, Qt::AlignBottom);
    space->addWidget(m_value, 0, 1, Qt::AlignBottom);
    space->addWidget(m_bar, 1, 0, 1, 2);
    space->setColumnStretch(0, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(helpButton);
    buttons->addStretch();
    buttons->addWidget(back);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->addWidget(intro);
    layout->addSpacing(6);
    layout->addWidget(m_least);
    layout->addWidget(m_middle);
    layout->addWidget(m_most);
    layout->addLayout(space);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    intro->setMinimumWidth(420);

    // What the page shows chosen is what the record holds.
    if (m_record.scope < 0 || m_record.scope > 2)
        m_record.scope = 1;
    QAbstractButton *chosen = group->button(m_record.scope);
    chosen->setChecked(true);
    showScope(m_record.scope);
    chosen->setFocus();
}

void SpaceEstimateDialog::showScope(int scope)
{
    const SpaceDisplay display = spaceDisplay(m_estimate, scope);
    m_label->setText(fromCp1252(display.label));
    m_value->setText(QString::number(display.kilobytes) + QStringLiteral(" kB"));
    m_bar->setValue(display.bar);
}

void SpaceEstimateDialog::onScopeChosen()
{
    if (m_least->isChecked())
        m_record.scope = 0;
    else if (m_most->isChecked())
        m_record.scope = 2;
    else
        m_record.scope = 1;
    showScope(m_record.scope);
}

void SpaceEstimateDialog::onOkClicked()
{
    m_result = PageResult::Next;
    accept();
}

void SpaceEstimateDialog::onBackClicked()
{
    m_result = PageResult::Back;
    accept();
}

void SpaceEstimateDialog::reject()
{
    m_result = PageResult::Cancel;
    SkinnedDialog::reject();
}

void SpaceEstimateDialog::onHelpClicked() { openHelp(help::kSpaceEstimate); }

} // namespace vantor::gui
