#include "research/ResearchDialog.h"

#include "platform/Help.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "research/ResearchRun.h"
#include "research/WatchList.h"
#include "research/WatchListWindow.h"
#include "submit/UmlautRowDelegate.h"
#include "ui/BusyCursor.h"
#include "ui/DialogWidgets.h"
#include "ui/QtText.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vantor::gui {

namespace {

constexpr int kListWidth = 290;
constexpr int kListRows = 12;

QListWidget *termList(const QString &name, const QColor &text, QWidget *parent)
{
    // Variants come capitalised: "Ärger" keeps its dots.
    QListWidget *list = choiceList(name, parent);
    list->setUniformItemSizes(true);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, ResearchDialog::listBase());
    palette.setColor(QPalette::Text, text);
    list->setPalette(palette);
    list->setMinimumSize(
        kListWidth, kListRows * UmlautRowDelegate::rowHeight(list->fontMetrics()) + 2 * list->frameWidth());
    return list;
}

std::size_t index(ResearchList list)
{
    return static_cast<std::size_t>(list);
}

int kindOf(ResearchList list)
{
    return list == ResearchList::Keywords ? WatchList::EngineInput : WatchList::Variant;
}

} // namespace

ResearchDialog::ResearchDialog(QWidget *parent)
    : GuardedDialog(parent)
    , m_progress(new QProgressBar(this))
    , m_ui(currentUi(), m_progress)
{
    setObjectName(QStringLiteral("researchDialog"));
    setWindowTitle(QStringLiteral("Recherche"));
    setHelpTopic(help::kResearch);

    m_caption = projectCaption(this);

    QLabel *intro = textLabel(QStringLiteral("Die Recherche erlaubt Ihnen die effektive Suche nach relevanten "
                                             "Begriffen. Geben Sie einen Suchbegriff ein und Sie werden folgende "
                                             "Informationen erhalten:"),
        this);
    intro->setObjectName(QStringLiteral("introLabel"));
    QLabel *lists = textLabel(QStringLiteral("Linkes Fenster: Begriffe, die tatsächlich bei Suchmaschinen eingegeben "
                                             "werden (häufige Begriffe zuerst).\nRechtes Fenster: Begriffe, die Sie "
                                             "bei einer Optimierung evtl. berücksichtigen sollten. Nehmen Sie diese "
                                             "Liste als Grundlage für weitere Recherchen."),
        this);
    lists->setObjectName(QStringLiteral("listsLabel"));

    // The term, lower case as the services expect it.
    m_term = new QLineEdit(this);
    m_term->setObjectName(QStringLiteral("termEdit"));
    auto *termLabel = new QLabel(QStringLiteral("Suchbegriff:"), this);
    termLabel->setBuddy(m_term);
    m_asOneWord = new QCheckBox(QStringLiteral("als ein Wort"), this);
    m_asOneWord->setObjectName(QStringLiteral("asOneWordCheck"));
    m_start = dialogButton(QStringLiteral("Recherche starten"), QStringLiteral("startButton"), this);
    m_start->setAutoDefault(true);
    m_start->setDefault(true);
    auto *termRow = new QHBoxLayout;
    termRow->addWidget(termLabel);
    termRow->addWidget(m_term, 1);
    termRow->addWidget(m_asOneWord);
    termRow->addSpacing(8);
    termRow->addWidget(m_start);

    setUpProgress(m_progress, ResearchRun::kProgressMax);
    auto *progressLabel = new QLabel(QStringLiteral("Fortschritt:"), this);
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(progressLabel);
    progressRow->addWidget(m_progress, 1);

    // The two lists side by side, each with its own way into the watch list.
    m_keywords = termList(QStringLiteral("keywordList"), keywordColor(), this);
    m_variants = termList(QStringLiteral("variantList"), variantColor(), this);
    auto *keywordLabel = new QLabel(QStringLiteral("Suchmaschinen Eingaben:"), this);
    keywordLabel->setBuddy(m_keywords);
    auto *variantLabel = new QLabel(QStringLiteral("Varianten, Synonyme, verwandte Begriffe:"), this);
    variantLabel->setBuddy(m_variants);
    QPushButton *selectedKeywords
        = dialogButton(QStringLiteral("Markierte merken"), QStringLiteral("rememberSelectedKeywordsButton"), this);
    QPushButton *allKeywords
        = dialogButton(QStringLiteral("Alle merken"), QStringLiteral("rememberAllKeywordsButton"), this);
    QPushButton *selectedVariants
        = dialogButton(QStringLiteral("Markierte merken"), QStringLiteral("rememberSelectedVariantsButton"), this);
    QPushButton *allVariants
        = dialogButton(QStringLiteral("Alle merken"), QStringLiteral("rememberAllVariantsButton"), this);
    auto *keywordButtons = new QHBoxLayout;
    keywordButtons->setSpacing(6);
    keywordButtons->addWidget(selectedKeywords);
    keywordButtons->addWidget(allKeywords);
    keywordButtons->addStretch();
    auto *variantButtons = new QHBoxLayout;
    variantButtons->setSpacing(6);
    variantButtons->addWidget(selectedVariants);
    variantButtons->addWidget(allVariants);
    variantButtons->addStretch();
    auto *listGrid = new QGridLayout;
    listGrid->setHorizontalSpacing(14);
    listGrid->setVerticalSpacing(4);
    listGrid->addWidget(keywordLabel, 0, 0);
    listGrid->addWidget(variantLabel, 0, 1);
    listGrid->addWidget(m_keywords, 1, 0);
    listGrid->addWidget(m_variants, 1, 1);
    listGrid->addLayout(keywordButtons, 2, 0);
    listGrid->addLayout(variantButtons, 2, 1);
    listGrid->setColumnStretch(0, 1);
    listGrid->setColumnStretch(1, 1);
    listGrid->setRowStretch(1, 1);

    QLabel *note = textLabel(QStringLiteral("HINWEIS: Die Recherche berücksichtigt alle Sprachen, daher sind "
                                            "englische Begriffe häufig zu finden. Merken Sie sich nur Begriffe, die "
                                            "zur Sprache Ihrer Web-Site passen."),
        this);
    note->setObjectName(QStringLiteral("noteLabel"));

    m_watchList = dialogButton(QStringLiteral("Merkliste"), QStringLiteral("watchListButton"), this);
    m_help = dialogButton(QStringLiteral("Hilfe"), QStringLiteral("helpButton"), this);
    m_ok = dialogButton(QStringLiteral("OK"), QStringLiteral("okButton"), this);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_watchList);
    bottom->addStretch();
    bottom->addWidget(m_help);
    bottom->addWidget(m_ok);

    connect(m_term, &QLineEdit::textEdited, this, &ResearchDialog::onTermEdited);
    connect(m_start, &QPushButton::clicked, this, &ResearchDialog::onStartClicked);
    connect(selectedKeywords, &QPushButton::clicked, this, &ResearchDialog::onRememberSelectedKeywordsClicked);
    connect(allKeywords, &QPushButton::clicked, this, &ResearchDialog::onRememberAllKeywordsClicked);
    connect(selectedVariants, &QPushButton::clicked, this, &ResearchDialog::onRememberSelectedVariantsClicked);
    connect(allVariants, &QPushButton::clicked, this, &ResearchDialog::onRememberAllVariantsClicked);
    connect(m_watchList, &QPushButton::clicked, this, &ResearchDialog::onWatchListClicked);
    connect(m_help, &QPushButton::clicked, this, &ResearchDialog::onHelpClicked);
    connect(m_ok, &QPushButton::clicked, this, &ResearchDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(8);
    layout->addWidget(m_caption);
    layout->addWidget(intro);
    layout->addLayout(termRow);
    layout->addLayout(progressRow);
    layout->addLayout(listGrid, 1);
    layout->addWidget(lists);
    layout->addWidget(note);
    layout->addLayout(bottom);

    m_term->setFocus();
    m_ready = checkOpening();
}

ResearchDialog::~ResearchDialog() = default;

void ResearchDialog::openFromMenu(QWidget *parent)
{
    execWhenReady<ResearchDialog>(parent);
}

bool ResearchDialog::checkOpening()
{
    // The homepage as the project file has it, not what an abandoned wizard
    // left in memory; a file that cannot be read leaves the record as it is,
    // since a research needs nothing of the project but its name.
    const std::string project = programSettings().currentProject;
    LoadProjectData(project);
    m_caption->setText(fromCp1252(research::projectCaption(project, projectRecord().path.str())));
    return research::dataFilePresent(m_ui);
}

const std::vector<std::string> &ResearchDialog::rows(ResearchList list) const
{
    return m_rows[index(list)];
}

QListWidget *ResearchDialog::listOf(ResearchList list) const
{
    return list == ResearchList::Keywords ? m_keywords : m_variants;
}

void ResearchDialog::onTermEdited(const QString &text)
{
    const QString lower = text.toLower();
    if (lower == text)
        return;
    const int cursor = m_term->cursorPosition();
    m_term->setText(lower);
    m_term->setCursorPosition(cursor);
}

void ResearchDialog::setRunning(bool running)
{
    // The field stays as it is: a refused term is read in the box's
    // presence, and the run has taken what it needs.
    m_running = running;
    m_start->setEnabled(!running);
    m_ok->setEnabled(!running);
}

void ResearchDialog::onStartClicked()
{
    // The run pumps the events: a second click or Enter would start a
    // research inside the one that goes on.
    if (m_running)
        return;
    setRunning(true);
    {
        BusyCursor busy;
        research::startResearch(toCp1252(m_term->text()), m_asOneWord->isChecked(), m_state, m_ui, *this);
    }
    setRunning(false);
    m_term->setFocus();
}

void ResearchDialog::listsCleared()
{
    for (auto &rows : m_rows)
        rows.clear();
    m_keywords->clear();
    m_variants->clear();
}

void ResearchDialog::rowAdded(ResearchList list, const std::string &text)
{
    m_rows[index(list)].push_back(text);
    QListWidget *widget = listOf(list);
    auto *item = new QListWidgetItem(fromCp1252(text), widget);
    item->setToolTip(item->text());
    widget->scrollToItem(item);
}

void ResearchDialog::rememberTerms(ResearchList list, bool onlySelected)
{
    const std::vector<std::string> &rows = m_rows[index(list)];
    std::vector<bool> selected(rows.size(), false);
    QListWidget *widget = listOf(list);
    for (int row = 0; row < widget->count() && static_cast<std::size_t>(row) < rows.size(); ++row)
        selected[static_cast<std::size_t>(row)] = widget->item(row)->isSelected();
    const bool anySelected = std::find(selected.begin(), selected.end(), true) != selected.end();
    const bool anyRow = onlySelected ? anySelected : !rows.empty();

    m_ui.showWait(de("Bitte warten...\nDie Merkliste wird gespeichert\nund aktualisiert."));
    bool saved = true;
    {
        BusyCursor busy;
        if (anyRow) {
            openWatchList(false);
            for (const std::string &text : research::rowsToRemember(rows, onlySelected ? &selected : nullptr))
                addToWatchList(text, kindOf(list));
        }
        // "Alle merken" writes the list in any case; a selection of nothing
        // leaves the file alone.
        if (!onlySelected || anySelected)
            saved = saveWatchList();
    }
    m_ui.closeWait();
    if (!saved)
        showProjectFailure(m_ui, ProjectFailure::SaveData, programSettings().currentProject);
}

void ResearchDialog::onRememberSelectedKeywordsClicked()
{
    rememberTerms(ResearchList::Keywords, true);
}

void ResearchDialog::onRememberAllKeywordsClicked()
{
    rememberTerms(ResearchList::Keywords, false);
}

void ResearchDialog::onRememberSelectedVariantsClicked()
{
    rememberTerms(ResearchList::Variants, true);
}

void ResearchDialog::onRememberAllVariantsClicked()
{
    rememberTerms(ResearchList::Variants, false);
}

void ResearchDialog::onWatchListClicked()
{
    openWatchList(false);
}

void ResearchDialog::onHelpClicked()
{
    openHelp(help::kResearch);
}

} // namespace vantor::gui
