#include "project/ConfigurationDialog.h"

#include "platform/Help.h"
#include "project/Guidelines.h"
#include "project/InternetAccessDialog.h"
#include "project/ProjectOptions.h"
#include "ui/QtText.h"
#include "ui/Ui.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

constexpr int kLevelUser = 1;
constexpr int kLevelDeveloper = 2;
constexpr int kSignSets = 4;

// The boxes sit under their column heads; a box column is as wide as "HP".
QCheckBox *rowBox(const QString &name, const QString &accessible, QWidget *parent)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    return box;
}

QLabel *plainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// Dark enough to read on the light skin, and the word itself says the same,
// for whoever cannot tell green from red.
QColor markColour(guidelines::Mark mark)
{
    switch (mark) {
    case guidelines::Mark::Recommended:
        return QColor(0x1A, 0x6B, 0x1A);
    case guidelines::Mark::Ineffective:
        return QColor(0x5C, 0x5C, 0x5C);
    case guidelines::Mark::Risky:
        return QColor(0xA8, 0x1C, 0x1C);
    }
    return QColor(0x20, 0x20, 0x40);
}

QString markCss(guidelines::Mark mark) { return markColour(mark).name(); }

// Rich text, so that a long reason wraps into a tool tip of readable width;
// escaped, because reasons name elements such as <html> as they are written.
QString reasonToolTip(const guidelines::Technique &technique)
{
    return QStringLiteral("<p>%1</p>").arg(fromCp1252(guidelines::reason(technique)).toHtmlEscaped());
}

} // namespace

ConfigurationDialog::ConfigurationDialog(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("configurationDialog"));
    setWindowTitle(QStringLiteral("Konfiguration"));
    setHelpTopic(help::kConfiguration);

    // Created in the order the user tabs through them.
    QGroupBox *header = optionGroup(QStringLiteral("Header-Informationen"), configuration::Group::Header,
                                    QStringLiteral("headerDetailsButton"), help::kConfigHeader);
    QGroupBox *meta = optionGroup(QStringLiteral("Standard META-Daten"), configuration::Group::Meta,
                                  QStringLiteral("metaDetailsButton"), help::kConfigMeta);
    QGroupBox *techniques = optionGroup(QStringLiteral("Techniken"), configuration::Group::Techniques,
                                        QStringLiteral("techniquesDetailsButton"), help::kConfigTechniques);
    QLabel *legend = plainLabel(QStringLiteral("HP: Homepage\nZK: Zugangsseiten und Kopien"), this);
    legend->setObjectName(QStringLiteral("legendLabel"));
    QWidget *signSets = signSetBox();
    QWidget *userLevel = userLevelBox();
    QLabel *marksLegend = guidelinesLegend();

    auto *reset = new QPushButton(QStringLiteral("Zurücksetzen auf Standard"), this);
    reset->setObjectName(QStringLiteral("resetButton"));
    QLabel *resetCaption =
        plainLabel(QStringLiteral("Alle Einstellungen auf empfohlene Standardwerte zurücksetzen."), this);
    resetCaption->setObjectName(QStringLiteral("resetCaption"));
    resetCaption->setBuddy(reset);
    auto *modern = new QPushButton(QStringLiteral("Zeitgemäß"), this);
    modern->setObjectName(QStringLiteral("modernButton"));
    modern->setToolTip(QStringLiteral("Riskante und wirkungslose Techniken aus-, empfohlene einschalten; keine Kopien "
                                      "und keine Zugangsseiten."));
    QLabel *modernCaption =
        plainLabel(QStringLiteral("Nur noch empfohlene Techniken, ohne Kopien und Zugangsseiten."), this);
    modernCaption->setObjectName(QStringLiteral("modernCaption"));
    modernCaption->setBuddy(modern);
    auto *internet = new QPushButton(QStringLiteral("Internet Zugang"), this);
    internet->setObjectName(QStringLiteral("internetAccessButton"));
    QLabel *internetCaption = plainLabel(QStringLiteral("Hier konfigurieren Sie Ihren Internet-Zugang."), this);
    internetCaption->setObjectName(QStringLiteral("internetAccessCaption"));
    internetCaption->setBuddy(internet);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto *helpButton = new QPushButton(QStringLiteral("Hilfe"), this);
    helpButton->setObjectName(QStringLiteral("helpButton"));
    for (QPushButton *button : {ok, cancel, helpButton})
        button->setMinimumWidth(90);

    connect(reset, &QPushButton::clicked, this, &ConfigurationDialog::onResetClicked);
    connect(modern, &QPushButton::clicked, this, &ConfigurationDialog::onModernClicked);
    connect(internet, &QPushButton::clicked, this, &ConfigurationDialog::onInternetAccessClicked);
    connect(ok, &QPushButton::clicked, this, &ConfigurationDialog::onOkClicked);
    connect(cancel, &QPushButton::clicked, this, &ConfigurationDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, &ConfigurationDialog::onHelpClicked);

    auto *leftColumn = new QVBoxLayout;
    leftColumn->addWidget(header);
    leftColumn->addWidget(meta);
    leftColumn->addStretch();
    auto *middleColumn = new QVBoxLayout;
    middleColumn->addWidget(techniques);
    middleColumn->addWidget(legend);
    middleColumn->addStretch();
    auto *rightColumn = new QVBoxLayout;
    rightColumn->addWidget(signSets);
    rightColumn->addWidget(userLevel);
    rightColumn->addStretch();
    auto *columns = new QHBoxLayout;
    columns->setSpacing(14);
    columns->addLayout(leftColumn);
    columns->addLayout(middleColumn);
    columns->addLayout(rightColumn);

    auto *actions = new QGridLayout;
    actions->setHorizontalSpacing(12);
    actions->addWidget(reset, 0, 0);
    actions->addWidget(resetCaption, 0, 1);
    actions->addWidget(modern, 1, 0);
    actions->addWidget(modernCaption, 1, 1);
    actions->addWidget(internet, 2, 0);
    actions->addWidget(internetCaption, 2, 1);
    actions->setColumnStretch(1, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(helpButton);
    auto *bottom = new QHBoxLayout;
    bottom->addLayout(actions, 1);
    bottom->addSpacing(24);
    bottom->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(14);
    layout->addLayout(columns);
    layout->addWidget(marksLegend);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_values = configuration::open(currentUi());
    showValues(m_values);
    if (m_boxes[0].homepage)
        m_boxes[0].homepage->setFocus();
}

QGroupBox *ConfigurationDialog::optionGroup(const QString &title, configuration::Group group,
                                            const QString &detailsName, int helpTopic)
{
    auto *box = new QGroupBox(title, this);
    auto *grid = new QGridLayout(box);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(0, 1);
    grid->addWidget(plainLabel(QStringLiteral("HP"), box), 0, 1, Qt::AlignHCenter);
    grid->addWidget(plainLabel(QStringLiteral("ZK"), box), 0, 2, Qt::AlignHCenter);

    const auto &rows = configuration::rows();
    int line = 1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const configuration::Row &row = rows[i];
        if (row.group != group)
            continue;
        const QString label = QString::fromLatin1(row.label);
        const QString code = QString::fromLatin1(row.code);
        auto *text = plainLabel(label, box);
        grid->addWidget(text, line, 0);
        RowBoxes &boxes = m_boxes[i];
        if (!row.single) {
            boxes.homepage = rowBox(code + QStringLiteral("Hp"), label + QStringLiteral(" HP"), box);
            grid->addWidget(boxes.homepage, line, 1, Qt::AlignHCenter);
        }
        // A copy-only switch sits in the column of the copies.
        boxes.copies = rowBox(code + (row.single ? QStringLiteral("Box") : QStringLiteral("Zk")),
                              label + (row.single ? QString() : QStringLiteral(" ZK")), box);
        grid->addWidget(boxes.copies, line, 2, Qt::AlignHCenter);
        text->setBuddy(boxes.homepage ? boxes.homepage : boxes.copies);
        if (const guidelines::Technique *technique = guidelines::find(row.code)) {
            const QString markText = QString::fromLatin1(guidelines::markText(technique->mark));
            QLabel *mark = plainLabel(markText, box);
            mark->setObjectName(code + QStringLiteral("Mark"));
            QPalette palette = mark->palette();
            palette.setColor(QPalette::WindowText, markColour(technique->mark));
            mark->setPalette(palette);
            grid->addWidget(mark, line, 3);
            // The reason wherever the pointer rests on the row, and for a
            // screen reader with each box.
            const QString tip = reasonToolTip(*technique);
            const QString description = markText + QStringLiteral(": ") + fromCp1252(guidelines::reason(*technique));
            for (QWidget *widget : {static_cast<QWidget *>(text), static_cast<QWidget *>(mark)})
                widget->setToolTip(tip);
            for (QCheckBox *rowBox : {boxes.homepage, boxes.copies}) {
                if (!rowBox)
                    continue;
                rowBox->setToolTip(tip);
                rowBox->setAccessibleDescription(description);
            }
        }
        ++line;
    }

    auto *details = new QPushButton(QStringLiteral("Details"), box);
    details->setObjectName(detailsName);
    details->setToolTip(QStringLiteral("Was bewirken die Einstellungen dieser Gruppe?"));
    connect(details, &QPushButton::clicked, this, [helpTopic]() { openHelp(helpTopic); });
    grid->addWidget(details, line, 0, 1, 4, Qt::AlignRight);
    return box;
}

QWidget *ConfigurationDialog::signSetBox()
{
    auto *box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("signSetBox"));
    auto *layout = new QVBoxLayout(box);
    // A group box title has room for one line only; this caption has two.
    layout->addWidget(plainLabel(QStringLiteral("Sonderzeichen für\nDateien und Verzeichnisse"), box));
    m_signSets = new QButtonGroup(this);
    for (int set = 0; set < kSignSets; ++set) {
        auto *radio = new QRadioButton(fromCp1252(configuration::signSetLabel(set)), box);
        radio->setObjectName(QStringLiteral("signSet%1Radio").arg(set));
        m_signSets->addButton(radio, set);
        layout->addWidget(radio);
    }
    connect(m_signSets, &QButtonGroup::idClicked, this, &ConfigurationDialog::onSignSetClicked);
    return box;
}

QWidget *ConfigurationDialog::userLevelBox()
{
    auto *box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("userLevelBox"));
    auto *layout = new QVBoxLayout(box);
    QLabel *text = plainLabel(QStringLiteral("Anpassung an den Benutzer: Sind Sie mit dem Erstellen von Internet- "
                                             "Dokumenten vertraut, wählen Sie bitte \"Entwickler\", ansonsten "
                                             "\"Anwender\"."),
                              box);
    text->setObjectName(QStringLiteral("userLevelText"));
    text->setWordWrap(true);
    // The wrapped text decides the height; a fixed width keeps it from
    // squeezing the column into a tall narrow strip.
    text->setFixedWidth(230);
    layout->addWidget(text);
    m_user = new QRadioButton(QStringLiteral("Anwender"), box);
    m_user->setObjectName(QStringLiteral("userRadio"));
    m_developer = new QRadioButton(QStringLiteral("Entwickler"), box);
    m_developer->setObjectName(QStringLiteral("developerRadio"));
    auto *group = new QButtonGroup(this);
    group->addButton(m_user);
    group->addButton(m_developer);
    layout->addWidget(m_user);
    layout->addWidget(m_developer);
    return box;
}

QLabel *ConfigurationDialog::guidelinesLegend()
{
    auto *legend = new QLabel(this);
    legend->setObjectName(QStringLiteral("guidelinesLegend"));
    legend->setTextFormat(Qt::RichText);
    const auto word = [](guidelines::Mark mark) {
        return QStringLiteral("<span style=\"color:%1\">%2</span>")
            .arg(markCss(mark), QString::fromLatin1(guidelines::markText(mark)));
    };
    legend->setText(QStringLiteral("Bewertung nach den heutigen Richtlinien von Google und Bing: %1, %2 oder %3 "
                                   "&ndash; <a href=\"guidelines\">Details</a>")
                        .arg(word(guidelines::Mark::Recommended), word(guidelines::Mark::Ineffective),
                             word(guidelines::Mark::Risky)));
    legend->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    legend->setToolTip(QStringLiteral("Was die Bewertungen bedeuten und worauf sie beruhen"));
    connect(legend, &QLabel::linkActivated, this, [] { openHelp(help::kGuidelines); });
    return legend;
}

configuration::Values ConfigurationDialog::shownValues() const
{
    configuration::Values values = m_values;
    const auto &rows = configuration::rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RowBoxes &boxes = m_boxes[i];
        int &value = configuration::field(values.options, rows[i]);
        if (rows[i].single)
            value = boxes.copies->isChecked() ? 1 : 0;
        else
            value = (boxes.homepage->isChecked() ? 1 : 0) + (boxes.copies->isChecked() ? 2 : 0);
    }
    values.signSet = m_signSets->checkedId();
    values.userLevel = m_developer->isChecked() ? kLevelDeveloper : kLevelUser;
    return values;
}

void ConfigurationDialog::showValues(const configuration::Values &values)
{
    const auto &rows = configuration::rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int value = configuration::fieldValue(values.options, rows[i]);
        const RowBoxes &boxes = m_boxes[i];
        if (rows[i].single) {
            boxes.copies->setChecked(value != 0);
            continue;
        }
        // Read the way the optimiser reads it, so a value written by hand
        // shows what a run would do with it.
        boxes.homepage->setChecked(ProjectOptions::forHomepage(value));
        boxes.copies->setChecked(ProjectOptions::forCopies(value));
    }
    // An exclusive group keeps one button checked; a set the dialog does not
    // know shows none.
    m_signSets->setExclusive(false);
    for (QAbstractButton *radio : m_signSets->buttons())
        radio->setChecked(m_signSets->id(radio) == values.signSet);
    m_signSets->setExclusive(true);
    if (values.userLevel == kLevelDeveloper)
        m_developer->setChecked(true);
    else
        m_user->setChecked(true);
}

void ConfigurationDialog::onSignSetClicked(int set)
{
    // A click on the radio already chosen changes nothing and says nothing.
    if (set == m_values.signSet)
        return;
    configuration::chooseSignSet(m_values, set, currentUi());
}

void ConfigurationDialog::onResetClicked()
{
    // The reset leaves the user level alone, also a choice not yet confirmed.
    configuration::Values values = m_values;
    values.userLevel = shownValues().userLevel;
    if (!configuration::reset(values, currentUi()))
        return;
    m_values = values;
    showValues(m_values);
}

void ConfigurationDialog::onModernClicked()
{
    Ui &ui = currentUi();
    // Enter keeps the configuration: the answer replaces the user's choices.
    if (!ui.questionDefaultNo(
            toCp1252(QStringLiteral("Zeitgemäß")),
            toCp1252(QStringLiteral(
                "Alle Techniken, die die heutigen Richtlinien der Suchmaschinen als riskant oder wirkungslos "
                "einstufen, werden ausgeschaltet, die empfohlenen eingeschaltet. Vantor!! erstellt dann keine Kopien "
                "der Homepage und keine Zugangsseiten mehr.\n\nMit \"Zurücksetzen auf Standard\" kehren Sie "
                "jederzeit zur Standard-Konfiguration zurück; die Zugangsseiten schalten Sie im Wizard wieder ein."))))
        return;
    // Like the reset: the user level shown stays, whether confirmed or not.
    configuration::Values values = m_values;
    values.userLevel = shownValues().userLevel;
    if (!configuration::modern(values, ui))
        return;
    m_values = values;
    showValues(m_values);
}

void ConfigurationDialog::onInternetAccessClicked()
{
    InternetAccessDialog dialog(this);
    dialog.exec();
}

void ConfigurationDialog::onHelpClicked() { openHelp(help::kConfiguration); }

void ConfigurationDialog::onOkClicked()
{
    const configuration::Values values = shownValues();
    if (!configuration::apply(values, currentUi()))
        return;
    m_values = values;
    accept();
}

} // namespace vantor::gui
