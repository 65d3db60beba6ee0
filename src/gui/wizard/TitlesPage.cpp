#include "wizard/TitlesPage.h"

#include "platform/Help.h"
#include "platform/Profile.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"
#include "ui/Ui.h"
#include "wizard/LimitedTextEdit.h"
#include "wizard/SnippetPreview.h"
#include "wizard/WaitCursorUi.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vantor::gui {

TitlesPage::TitlesPage(QWidget *parent)
    : WizardPageDialog(QStringLiteral("titlesPage"), QStringLiteral("Web-Site: Titel, Autor und Beschreibung"),
                       help::kTitlesPage, Header::PathOnNewLine, Back::None, parent)
    , m_fields(titlepages::openTitles(projectRecord(), projectOptions()))
{
    const bool developer = programSettings().userLevel == 2;
    const QString titleTexts[3] = {
        developer ? QStringLiteral("Titel (<TITLE> Tag), max. 20 Worte")
                  : QStringLiteral("Titel der Seite (max. 20 Worte):"),
        developer ? QStringLiteral("Zweiter Titel (<TITLE> Tag), max. 20 Worte")
                  : QStringLiteral("Titel 2 der Seite (max. 20 Worte):"),
        developer ? QStringLiteral("Dritter Titel (<TITLE> Tag), max. 20 Worte")
                  : QStringLiteral("Titel 3 der Seite (max. 20 Worte):")};

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->setVerticalSpacing(6);
    fields->setColumnStretch(1, 1);
    for (int i = 0; i < 3; ++i) {
        const QString number = QString::number(i + 1);
        m_titleLabels[i] = new QLabel(titleTexts[i], this);
        m_titleLabels[i]->setObjectName(QStringLiteral("title%1Label").arg(number));
        m_titleLabels[i]->setTextFormat(Qt::PlainText);
        m_titles[i] = new QLineEdit(this);
        m_titles[i]->setObjectName(QStringLiteral("title%1Edit").arg(number));
        m_titles[i]->setMaxLength(static_cast<int>(titlepages::kTitleLength));
        m_titles[i]->setMinimumWidth(460);
        m_titleLabels[i]->setBuddy(m_titles[i]);
        fields->addWidget(m_titleLabels[i], i, 0);
        fields->addWidget(m_titles[i], i, 1);
    }
    m_authorLabel = new QLabel(developer ? QStringLiteral("Autor (META-Tag Author)") : QStringLiteral("Autor:"), this);
    m_authorLabel->setObjectName(QStringLiteral("authorLabel"));
    m_authorLabel->setTextFormat(Qt::PlainText);
    m_author = new QLineEdit(this);
    m_author->setObjectName(QStringLiteral("authorEdit"));
    m_author->setMaxLength(static_cast<int>(titlepages::kAuthorLength));
    m_authorLabel->setBuddy(m_author);
    fields->addWidget(m_authorLabel, 3, 0);
    fields->addWidget(m_author, 3, 1);

    m_descriptionLabel = new QLabel(
        developer ? QStringLiteral("Beschreibung (META-Tag Description)") : QStringLiteral("Beschreibung:"), this);
    m_descriptionLabel->setObjectName(QStringLiteral("descriptionLabel"));
    m_descriptionLabel->setTextFormat(Qt::PlainText);
    m_description = new LimitedTextEdit(static_cast<int>(titlepages::kDescriptionLength), this);
    m_description->setObjectName(QStringLiteral("descriptionEdit"));
    m_description->setFixedHeight(m_description->fontMetrics().lineSpacing() * 5 + 12);
    m_descriptionLabel->setBuddy(m_description);
    fields->addWidget(m_descriptionLabel, 4, 0, Qt::AlignTop);
    fields->addWidget(m_description, 4, 1);

    // The title and description as the homepage's entry in a result list,
    // under the address it is submitted with.
    m_preview = new SnippetPreview(this);
    m_preview->setObjectName(QStringLiteral("snippetPreview"));
    const std::string submitUrl =
        profile::readString(projectFilePath(programSettings().currentProject), "project", "submiturl", "");
    m_preview->setAddress(
        SnippetPreview::homepageAddress(fromCp1252(submitUrl), fromCp1252(projectRecord().homepageFileName.str())));
    connect(m_titles[0], &QLineEdit::textChanged, m_preview, &SnippetPreview::setTitle);
    connect(m_description, &LimitedTextEdit::textChanged, this, &TitlesPage::onDescriptionChanged);

    m_makedirs = new QCheckBox(QStringLiteral("Verzeichnisse können auf dem Web-Server erstellt werden"), this);
    m_makedirs->setObjectName(QStringLiteral("makedirsCheck"));
    m_deleteold = new QCheckBox(QStringLiteral("Daten vorheriger Optimierung(en) löschen"), this);
    m_deleteold->setObjectName(QStringLiteral("deleteoldCheck"));

    QBoxLayout *content = contentLayout();
    content->addWidget(adviceLabel(
        QStringLiteral("Titel: Geben Sie einen kurzen, auffälligen und prägnanten Titel ein, der möglichst auch "
                       "wichtige Schlüsselwörter enthalten sollte, sowie zwei weitere Varianten (Titel 2 und 3).\n"
                       "Autor: Firmenname bzw. privater Name"),
        QStringLiteral("titleAdvice")));
    content->addSpacing(8);
    content->addLayout(fields);
    content->addSpacing(4);
    content->addWidget(adviceLabel(
        QStringLiteral("Beschreibung: Alles, was die Web-Site anbietet - kurz und prägnant. Auch hier sollten "
                       "wichtige Schlüsselwörter mit einfließen. Halten Sie aber die Beschreibung kurz (<200 "
                       "Buchstaben)."),
        QStringLiteral("descriptionAdvice")));
    content->addSpacing(8);
    content->addWidget(m_preview);
    content->addSpacing(8);
    content->addWidget(m_makedirs);
    content->addWidget(m_deleteold);

    buttonsAfter(m_deleteold);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_makedirs->setChecked(m_fields.makedirs);
    m_deleteold->setChecked(m_fields.deleteold);
    for (QLineEdit *title : m_titles)
        title->setEnabled(m_fields.titlesEnabled);
    m_author->setEnabled(m_fields.authorEnabled);
    m_description->setEnabled(m_fields.descriptionEnabled);
    showFields();

    // The first field that takes input.
    if (m_fields.titlesEnabled)
        m_titles[0]->setFocus();
    else if (m_fields.authorEnabled)
        m_author->setFocus();
    else if (m_fields.descriptionEnabled)
        m_description->setFocus();
    else
        m_makedirs->setFocus();
}

void TitlesPage::onDescriptionChanged() { m_preview->setDescription(m_description->storedText()); }

void TitlesPage::showFields()
{
    for (std::size_t i = 0; i < m_titles.size(); ++i)
        m_titles[i]->setText(fromCp1252(m_fields.titles[i]));
    m_author->setText(fromCp1252(m_fields.author));
    m_description->setStoredText(fromCp1252(m_fields.description));
}

titlepages::TitleFields TitlesPage::fieldsShown() const
{
    titlepages::TitleFields fields = m_fields;
    for (std::size_t i = 0; i < m_titles.size(); ++i)
        fields.titles[i] = toCp1252(m_titles[i]->text());
    fields.author = toCp1252(m_author->text());
    fields.description = toCp1252(m_description->storedText());
    fields.makedirs = m_makedirs->isChecked();
    fields.deleteold = m_deleteold->isChecked();
    return fields;
}

bool TitlesPage::storePage(PageResult)
{
    m_fields = fieldsShown();
    titlepages::storeTitles(m_fields, projectRecord());
    return true;
}

void TitlesPage::offerAnalysis()
{
    // What was typed before the timer fired counts as data and stays.
    ProjectRecord &record = projectRecord();
    m_fields = fieldsShown();
    titlepages::storeTitles(m_fields, record);
    if (!titlepages::headerEmpty(record))
        return;
    Ui &ui = currentUi();
    if (!ui.question("Dokument analysieren",
                     toCp1252(QStringLiteral(
                         "Es sind noch keine Daten eingegeben. Vantor!! kann nun für Sie versuchen, die "
                         "Informationen aus dem Dokument zu lesen. Wenn Sie dies möchten, klicken Sie \"Ok\", "
                         "ansonsten auf \"Abbruch\".\nHinweis: Sie sollten alle gefundenen Informationen unbedingt "
                         "überarbeiten (Siehe Hinweise im Dialog unter \"Info\" und in der Hilfe!)"))))
        return;
    {
        WaitCursorUi waiting(ui);
        titlepages::analyseHomepageHeader(record.path.str(), record, waiting);
    }
    titlepages::refreshTitles(m_fields, record);
    showFields();
}

} // namespace vantor::gui
