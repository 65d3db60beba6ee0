#include "wizard/WizardPageDialog.h"

#include "platform/Help.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"
#include "research/WatchListWindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

bool g_analysisTimerEnabled = true;

QPushButton *pageButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

void WizardPageDialog::setAnalysisTimerEnabled(bool enabled) { g_analysisTimerEnabled = enabled; }

WizardPageDialog::WizardPageDialog(const QString &objectName, const QString &title, int helpTopic, Header header,
                                   Back back, QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setHelpTopic(helpTopic);

    const QString name = fromCp1252(displayNameWizard(programSettings().currentProject));
    const QString path = fromCp1252(projectRecord().path.str());
    m_header = new QLabel(QStringLiteral("Projekt: ") + name +
                              (header == Header::PathOnNewLine ? QStringLiteral("\n") : QStringLiteral(" ")) +
                              QLatin1Char('(') + path + QLatin1Char(')'),
                          this);
    m_header->setObjectName(QStringLiteral("headerLabel"));
    m_header->setTextFormat(Qt::PlainText);
    m_header->setWordWrap(true);
    QFont bold = m_header->font();
    bold.setBold(true);
    m_header->setFont(bold);

    auto *watchList = m_watchList = pageButton(QStringLiteral("Merkliste"), QStringLiteral("watchListButton"), this);
    auto *helpButton = m_help = pageButton(QStringLiteral("Hilfe"), QStringLiteral("helpButton"), this);
    auto *next = m_next = pageButton(QStringLiteral("Weiter"), QStringLiteral("nextButton"), this);
    next->setDefault(true);
    auto *cancel = m_cancel = pageButton(QStringLiteral("Abbrechen"), QStringLiteral("cancelButton"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(watchList);
    buttons->addWidget(helpButton);
    buttons->addStretch();
    if (back == Back::Shown) {
        auto *backButton = m_back = pageButton(QStringLiteral("Zurück"), QStringLiteral("backButton"), this);
        connect(backButton, &QPushButton::clicked, this, [this]() { finish(PageResult::Back); });
        buttons->addWidget(backButton);
    }
    buttons->addWidget(next);
    buttons->addWidget(cancel);

    connect(next, &QPushButton::clicked, this, [this]() { finish(PageResult::Next); });
    connect(cancel, &QPushButton::clicked, this, &WizardPageDialog::reject);
    connect(watchList, &QPushButton::clicked, this, []() { openWatchList(false); });
    connect(helpButton, &QPushButton::clicked, this, &WizardPageDialog::onHelpClicked);

    m_content = new QVBoxLayout;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 12);
    layout->addWidget(m_header);
    layout->addSpacing(8);
    layout->addLayout(m_content, 1);
    layout->addSpacing(10);
    layout->addLayout(buttons);

    m_analysisTimer = new QTimer(this);
    m_analysisTimer->setObjectName(QStringLiteral("analysisTimer"));
    m_analysisTimer->setSingleShot(true);
    m_analysisTimer->setInterval(1000);
    connect(m_analysisTimer, &QTimer::timeout, this, &WizardPageDialog::offerAnalysisNow);
}

void WizardPageDialog::buttonsAfter(QWidget *lastField)
{
    QWidget *previous = lastField;
    for (QWidget *button : {static_cast<QWidget *>(m_watchList), static_cast<QWidget *>(m_help),
                            static_cast<QWidget *>(m_back), static_cast<QWidget *>(m_next),
                            static_cast<QWidget *>(m_cancel)}) {
        if (!button)
            continue;
        setTabOrder(previous, button);
        previous = button;
    }
}

void WizardPageDialog::showEvent(QShowEvent *event)
{
    SkinnedDialog::showEvent(event);
    // Once per opening: the page is shown again after a box above it closed.
    if (!m_timerStarted && g_analysisTimerEnabled)
        m_analysisTimer->start();
    m_timerStarted = true;
}

void WizardPageDialog::offerAnalysisNow()
{
    m_analysisTimer->stop();
    offerAnalysis();
}

void WizardPageDialog::reject() { finish(PageResult::Cancel); }

void WizardPageDialog::finish(PageResult result)
{
    if (!storePage(result))
        return;
    m_analysisTimer->stop();
    m_result = result;
    done(result == PageResult::Cancel ? QDialog::Rejected : QDialog::Accepted);
}

void WizardPageDialog::onHelpClicked() { openHelp(helpTopic()); }

QLabel *WizardPageDialog::adviceLabel(const QString &text, const QString &name)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QGridLayout *WizardPageDialog::beginCopyFields(const QString &adviceText, const QString &adviceName, int rowSpacing)
{
    m_content->addWidget(adviceLabel(adviceText, adviceName));
    m_content->addSpacing(8);

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->setVerticalSpacing(rowSpacing);
    fields->setColumnStretch(1, 1);
    return fields;
}

void WizardPageDialog::finishCopyFields(QGridLayout *fields, QWidget *lastField, QWidget *firstOpen)
{
    m_content->addLayout(fields);
    buttonsAfter(lastField);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    if (firstOpen)
        firstOpen->setFocus();
}

} // namespace vantor::gui
