#include "position/PositionListDialog.h"

#include "platform/Help.h"
#include "platform/Text.h"
#include "position/PositionTerms.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "ui/DialogWidgets.h"
#include "ui/ListEditing.h"
#include "ui/QtText.h"
#include "ui/Ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

PositionListDialog::PositionListDialog(const std::vector<std::string> &terms, const std::vector<std::string> &engines,
    std::string projectFile, QWidget *parent)
    : GuardedDialog(parent)
    , m_projectFile(std::move(projectFile))
    , m_editing(this)
{
    setObjectName(QStringLiteral("positionListDialog"));
    setWindowTitle(QStringLiteral("Anmelde-Liste"));
    setHelpTopic(help::kPositionList);
    // Long terms and many engines: the lists grow with the window.
    setWindowFlags(kDialogFlags | Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);

    QLabel *intro = textLabel(
        QStringLiteral("Bitte kontrollieren Sie, nach welchen Suchbegriffen und bei welchen Suchmaschinen Vantor!! die "
                       "Positionen Ihrer Homepage ermitteln soll. Jeder Suchbegriff wird bei jeder Suchmaschine "
                       "abgefragt; Suchbegriffe, die Sie nicht brauchen, entfernen Sie vorher."),
        this);
    intro->setObjectName(QStringLiteral("introLabel"));

    const auto button = [this](const QString &text, const QString &name) { return m_editing.button(text, name); };

    // The terms, with the field for one more.
    auto *termsLabel = new QLabel(QStringLiteral("Liste der Suchbegriffe:"), this);
    m_termList = choiceList(QStringLiteral("termList"), this);
    m_termList->setMinimumSize(300, 220);
    termsLabel->setBuddy(m_termList);
    for (const std::string &term : terms)
        addTermRow(term);
    m_newTerm = new QLineEdit(this);
    m_newTerm->setObjectName(QStringLiteral("newTermEdit"));
    m_newTerm->setMaxLength(static_cast<int>(positionterms::kMaxTerm));
    m_editing.disableWhileBusy(m_newTerm);
    auto *newTermLabel = new QLabel(QStringLiteral("Neuer Suchbegriff:"), this);
    newTermLabel->setBuddy(m_newTerm);
    QPushButton *add = button(QStringLiteral("Hinzufügen"), QStringLiteral("addTermButton"));
    QPushButton *remove = button(QStringLiteral("Entfernen"), QStringLiteral("removeTermButton"));
    QPushButton *save = button(QStringLiteral("Speichern"), QStringLiteral("saveListButton"));
    QPushButton *load = button(QStringLiteral("Laden"), QStringLiteral("loadListButton"));

    // The engines.
    auto *enginesLabel = new QLabel(QStringLiteral("Liste der Suchmaschinen:"), this);
    m_engineList = choiceList(QStringLiteral("engineList"), this);
    m_engineList->setMinimumSize(220, 220);
    enginesLabel->setBuddy(m_engineList);
    for (const std::string &engine : engines)
        new QListWidgetItem(fromCp1252(engine), m_engineList);
    QPushButton *removeEngines = button(QStringLiteral("Entfernen"), QStringLiteral("removeEngineButton"));

    const ListEditing::CloseRow close = m_editing.closeRow();
    close.start->setAutoDefault(true);

    connect(m_newTerm, &QLineEdit::textEdited, this, &PositionListDialog::onNewTermEdited);
    connect(add, &QPushButton::clicked, this, &PositionListDialog::onAddTermClicked);
    connect(remove, &QPushButton::clicked, this, &PositionListDialog::onRemoveTermsClicked);
    connect(save, &QPushButton::clicked, this, &PositionListDialog::onSaveClicked);
    connect(load, &QPushButton::clicked, this, &PositionListDialog::onLoadClicked);
    connect(removeEngines, &QPushButton::clicked, this, &PositionListDialog::onRemoveEnginesClicked);
    connect(close.start, &QPushButton::clicked, this, &PositionListDialog::onStartClicked);
    connect(close.cancel, &QPushButton::clicked, this, &PositionListDialog::reject);
    connect(close.help, &QPushButton::clicked, this, &PositionListDialog::onHelpClicked);

    auto *termButtons = new QVBoxLayout;
    termButtons->addWidget(remove);
    termButtons->addSpacing(10);
    termButtons->addWidget(save);
    termButtons->addWidget(load);
    termButtons->addStretch();
    auto *newTermRow = new QHBoxLayout;
    newTermRow->setSpacing(6);
    newTermRow->addWidget(newTermLabel);
    newTermRow->addWidget(m_newTerm, 1);
    newTermRow->addWidget(add);

    auto *engineButtons = new QHBoxLayout;
    engineButtons->addWidget(removeEngines);
    engineButtons->addStretch();

    auto *lists = new QGridLayout;
    lists->setHorizontalSpacing(10);
    lists->setVerticalSpacing(4);
    lists->addWidget(termsLabel, 0, 0);
    lists->addWidget(m_termList, 1, 0);
    lists->addLayout(termButtons, 1, 1);
    lists->addLayout(newTermRow, 2, 0, 1, 2);
    lists->addItem(new QSpacerItem(16, 1), 1, 2);
    lists->addWidget(enginesLabel, 0, 3);
    lists->addWidget(m_engineList, 1, 3);
    lists->addLayout(engineButtons, 2, 3);
    lists->setColumnStretch(0, 3);
    lists->setColumnStretch(3, 2);
    lists->setRowStretch(1, 1);

    QLabel *note = textLabel(QStringLiteral("Vantor!! fragt drei Suchmaschinen zugleich ab. Je mehr Suchbegriffe und "
                                            "Suchmaschinen die Listen enthalten, desto länger dauert die Ermittlung."),
                             this);
    note->setObjectName(QStringLiteral("noteLabel"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(8);
    layout->addWidget(intro);
    layout->addLayout(lists, 1);
    layout->addWidget(note);
    layout->addLayout(close.layout);

    // The wrapped texts need more height at the narrowest width than the
    // layout's minimum reckons with; without this the parts below them are
    // pushed into each other.
    const int narrowest = layout->totalMinimumSize().width();
    setMinimumSize(narrowest, layout->totalMinimumHeightForWidth(narrowest));

    close.start->setFocus();
}

void PositionListDialog::addTermRow(const std::string &term)
{
    auto *item = new QListWidgetItem(fromCp1252(term), m_termList);
    // A term can be 150 characters long; the whole of it on hovering.
    item->setToolTip(item->text());
}

void PositionListDialog::onNewTermEdited(const QString &text)
{
    // The engines are asked in lower case; the field shows what goes out.
    const QString lower = text.toLower();
    if (lower == text)
        return;
    const int cursor = m_newTerm->cursorPosition();
    m_newTerm->setText(lower);
    m_newTerm->setCursorPosition(cursor);
}

void PositionListDialog::onAddTermClicked()
{
    if (m_editing.busy())
        return;
    const std::string term = positionterms::normalize(toCp1252(m_newTerm->text().trimmed()));
    if (term.find_first_not_of(' ') == std::string::npos) {
        m_newTerm->setFocus();
        return;
    }
    // A term the list has already, in whatever spelling, is only shown.
    const std::string form = positionterms::comparisonForm(term);
    for (int row = 0; row < m_termList->count(); ++row) {
        if (positionterms::comparisonForm(toCp1252(m_termList->item(row)->text())) == form) {
            m_termList->clearSelection();
            m_termList->setCurrentRow(row);
            m_termList->scrollToItem(m_termList->item(row));
            m_newTerm->clear();
            return;
        }
    }
    if (static_cast<std::size_t>(m_termList->count()) >= positionterms::kMaxTerms) {
        currentUi().message(de("Liste voll"),
                            de("Die Liste kann höchstens ") + std::to_string(positionterms::kMaxTerms)
                                + de(" Suchbegriffe aufnehmen."));
        return;
    }
    addTermRow(term);
    m_termList->clearSelection();
    m_termList->setCurrentRow(m_termList->count() - 1);
    m_termList->scrollToBottom();
    m_newTerm->clear();
    m_newTerm->setFocus();
}

void PositionListDialog::onRemoveTermsClicked()
{
    m_editing.removeSelected(m_termList, true);
}

void PositionListDialog::onSaveClicked()
{
    if (m_editing.busy())
        return;
    if (!positionterms::saveList(m_projectFile, ListEditing::rows(m_termList))) {
        showProjectFailure(currentUi(), ProjectFailure::SaveData, programSettings().currentProject);
        return;
    }
    ListEditing::showListSaved();
}

void PositionListDialog::onLoadClicked()
{
    // The file may have been edited by hand: the terms go out as the run
    // expects them.
    m_editing.replaceRows(
        m_termList, [this] { return positionterms::loadList(m_projectFile); },
        [this](const std::string &term) { addTermRow(positionterms::normalize(term)); });
}

void PositionListDialog::onRemoveEnginesClicked()
{
    // An empty list of engines is refused at the start, not here.
    m_editing.removeSelected(m_engineList, false);
}

void PositionListDialog::onStartClicked()
{
    if (m_editing.busy())
        return;
    std::vector<std::string> terms = ListEditing::rows(m_termList);
    std::vector<std::string> engines = ListEditing::rows(m_engineList);
    // Nothing to ask, or nobody to ask: no run.
    if (terms.empty() || engines.empty()) {
        ListEditing::showEmptyList();
        return;
    }
    if (terms.size() > positionterms::kMaxTerms)
        terms.resize(positionterms::kMaxTerms);
    m_terms = std::move(terms);
    m_engines = std::move(engines);
    accept();
}

void PositionListDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter in the field of a new term adds it; the field lets the key
    // through to the dialog, whose default button would start the run.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_newTerm->hasFocus()) {
        onAddTermClicked();
        event->accept();
        return;
    }
    GuardedDialog::keyPressEvent(event);
}

void PositionListDialog::onHelpClicked() { openHelp(help::kPositionList); }

} // namespace vantor::gui
