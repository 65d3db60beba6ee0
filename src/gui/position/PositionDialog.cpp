#include "position/PositionDialog.h"

#include "platform/Files.h"
#include "platform/Help.h"
#include "platform/Shell.h"
#include "position/PositionListDialog.h"
#include "position/PositionOutcome.h"
#include "position/PositionTerms.h"
#include "position/RankReport.h"
#include "position/RankStore.h"
#include "position/RankingReport.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "submit/SubmitReport.h"
#include "submit/UmlautRowDelegate.h"
#include "ui/DialogHooks.h"
#include "ui/DialogWidgets.h"
#include "ui/QtText.h"
#include "ui/SlotPanel.h"

#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <ctime>

namespace vantor::gui {

namespace {

constexpr int kProgressMaximum = 28;
constexpr int kTermColumnWidth = 330;
constexpr const char *kHtmlFilter = "HTML Datei (*.htm)|*.htm|Alle Dateien (*.*)|*.*||";

// The widest outcome a slot shows beside a term: a failure carries the
// engine's name in front, here one of usual length.
int longestOutcome(const QFontMetrics &metrics)
{
    int widest = metrics.horizontalAdvance(fromCp1252(positionoutcome::text(PositionOutcome::NotInTop, 100, "")));
    for (const PositionOutcome outcome :
         {PositionOutcome::NoAnswer, PositionOutcome::EmptyPage, PositionOutcome::Unclear,
          PositionOutcome::StartMissing, PositionOutcome::StopMissing, PositionOutcome::NoMemory})
        widest = std::max(widest, metrics.horizontalAdvance(
                                      fromCp1252(positionoutcome::text(outcome, 0, "Suchmaschine"))));
    return widest;
}

} // namespace

PositionDialog::PositionDialog(QWidget *parent)
    : GuardedDialog(parent)
    , m_project(programSettings().currentProject)
    , m_projectFile(projectFilePath(m_project))
    , m_progress(new QProgressBar(this))
    , m_ui(currentUi(), m_progress)
{
    setObjectName(QStringLiteral("positionDialog"));
    setWindowTitle(QStringLiteral("Positionen ermitteln"));
    setHelpTopic(help::kPosition);
    setSizeGripEnabled(true);

    m_caption = projectCaption(this);

    QLabel *intro = textLabel(
        QStringLiteral("Vantor!! fragt die Suchmaschinen nach jedem Suchbegriff Ihres Projekts und ermittelt, an "
                       "welcher Stelle der Ergebnisse Ihre Homepage steht. Geben Sie dazu die Domain Ihrer Homepage "
                       "ein; unter welchen Suchbegriffen und bei welchen Suchmaschinen gesucht wird, wählen Sie nach "
                       "dem Start in der Anmelde-Liste."),
        this);
    intro->setObjectName(QStringLiteral("introLabel"));

    // The domain, and further ones from a file.
    m_domain = new QLineEdit(this);
    m_domain->setObjectName(QStringLiteral("domainEdit"));
    m_domain->setMaxLength(static_cast<int>(positionterms::kMaxDomain));
    m_domain->setMinimumWidth(300);
    auto *domainLabel = new QLabel(QStringLiteral("URL: http://"), this);
    domainLabel->setBuddy(m_domain);
    m_domainList = new QLineEdit(this);
    m_domainList->setObjectName(QStringLiteral("domainListEdit"));
    m_domainList->setToolTip(QDir::toNativeSeparators(fromCp1252(projectDirectory())));
    auto *domainListLabel = new QLabel(QStringLiteral("Domainliste:"), this);
    domainListLabel->setBuddy(m_domainList);
    QLabel *domainListNote = textLabel(
        QStringLiteral("(freiwillig) Name einer Textdatei im Projektverzeichnis mit weiteren Domains Ihrer Site, eine "
                       "je Zeile, z.B. Ihre Domain mit und ohne \"www.\""),
        this);
    domainListNote->setObjectName(QStringLiteral("domainListNote"));
    auto *entriesBox = new QGroupBox(QStringLiteral(" Homepage im Internet "), this);
    auto *entriesLayout = new QGridLayout(entriesBox);
    entriesLayout->addWidget(domainLabel, 0, 0);
    entriesLayout->addWidget(m_domain, 0, 1);
    entriesLayout->addWidget(domainListLabel, 1, 0);
    entriesLayout->addWidget(m_domainList, 1, 1);
    entriesLayout->addWidget(domainListNote, 2, 1);
    entriesLayout->setColumnStretch(1, 1);

    m_start = dialogButton(QStringLiteral("Positionen ermitteln"), QStringLiteral("startButton"), this);
    m_start->setAutoDefault(true);
    m_start->setDefault(true);
    m_abort = dialogButton(QStringLiteral("Abbrechen"), QStringLiteral("abortButton"), this);
    m_abort->setEnabled(false);
    auto *runButtons = new QVBoxLayout;
    runButtons->addWidget(m_start);
    runButtons->addWidget(m_abort);
    runButtons->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(entriesBox, 1);
    top->addLayout(runButtons);

    // The three slots, one engine each.
    m_slots = std::make_unique<SlotPanel>(this,
        SlotPanel::Setup { .firstHeader = QStringLiteral("Abfrage"),
            .firstWidth = kTermColumnWidth,
            .widestOutcome = &longestOutcome,
            .stripIndex = &PositionDialog::stripIndex,
            .gap = 8,
            .followNewLines = true });

    setUpProgress(m_progress, kProgressMaximum);

    m_reportList = lineList(QStringLiteral("reportList"), this);
    // Lines of every length: the list scrolls to the longest instead of
    // cutting the links short, which it would with one size for all.
    m_reportList->setUniformItemSizes(false);
    m_reportList->setLayoutMode(QListView::Batched);
    m_reportList->setMinimumHeight(5 * UmlautRowDelegate::rowHeight(m_reportList->fontMetrics())
                                   + 2 * m_reportList->frameWidth()
                                   + m_reportList->horizontalScrollBar()->sizeHint().height());
    auto *reportLabel = new QLabel(QStringLiteral("Report:"), this);
    reportLabel->setBuddy(m_reportList);

    m_html = dialogButton(QStringLiteral("HTML-Format"), QStringLiteral("htmlButton"), this);
    m_history = dialogButton(QStringLiteral("Verlauf"), QStringLiteral("historyButton"), this);
    m_history->setToolTip(QStringLiteral("Zeigt im Browser, wie sich die Positionen über alle bisherigen Läufe "
                                         "entwickelt haben"));
    m_help = dialogButton(QStringLiteral("Hilfe"), QStringLiteral("helpButton"), this);
    m_ok = dialogButton(QStringLiteral("OK"), QStringLiteral("okButton"), this);
    auto *saveLabel = new QLabel(QStringLiteral("Ranking-Report speichern:"), this);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(saveLabel);
    bottom->addWidget(m_html);
    bottom->addWidget(m_history);
    bottom->addStretch();
    bottom->addWidget(m_help);
    bottom->addWidget(m_ok);

    connect(m_start, &QPushButton::clicked, this, &PositionDialog::onStartClicked);
    connect(m_abort, &QPushButton::clicked, this, &PositionDialog::onAbortClicked);
    connect(m_html, &QPushButton::clicked, this, &PositionDialog::onHtmlClicked);
    connect(m_history, &QPushButton::clicked, this, &PositionDialog::onHistoryClicked);
    connect(m_help, &QPushButton::clicked, this, &PositionDialog::onHelpClicked);
    connect(m_ok, &QPushButton::clicked, this, &PositionDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(m_caption);
    layout->addWidget(intro);
    layout->addLayout(top);
    layout->addLayout(m_slots->layout(), 3);
    layout->addWidget(m_progress);
    layout->addWidget(reportLabel);
    layout->addWidget(m_reportList, 2);
    layout->addLayout(bottom);

    // The wrapped texts need more height at the narrowest width than the
    // layout's minimum reckons with; without this the parts below them are
    // pushed into each other.
    const int narrowest = layout->totalMinimumSize().width();
    setMinimumSize(narrowest, layout->totalMinimumHeightForWidth(narrowest));

    m_domain->setFocus();
    m_ready = checkOpening();
}

PositionDialog::~PositionDialog() = default;

void PositionDialog::openForCurrentProject(QWidget *parent)
{
    execWhenReady<PositionDialog>(parent);
}

bool PositionDialog::checkOpening()
{
    const std::optional<std::string> homepagePath = loadProject(m_project, m_caption);
    if (!homepagePath)
        return false;
    m_homepagePath = *homepagePath;
    m_domain->setText(fromCp1252(positionprep::readDomain(m_projectFile)));
    m_slots->setAllTitles(QStringLiteral("Bereit..."));
    return true;
}

void PositionDialog::setInputEnabled(bool enabled)
{
    m_start->setEnabled(enabled);
    m_domain->setEnabled(enabled);
    m_domainList->setEnabled(enabled);
    m_html->setEnabled(enabled);
    m_history->setEnabled(enabled);
    m_help->setEnabled(enabled);
    m_ok->setEnabled(enabled);
}

void PositionDialog::onStartClicked()
{
    // The run pumps the events: a second click or Enter would start a run
    // inside the one that goes on.
    if (m_running)
        return;
    m_progress->setValue(0);
    m_report.clear();
    m_reportList->clear();

    PositionRunInput input;
    input.domain = toCp1252(m_domain->text());
    if (!positionprep::domainAccepted(input.domain, m_ui)) {
        m_domain->setFocus();
        return;
    }
    if (!positionprep::saveDomain(m_projectFile, input.domain))
        showProjectFailure(m_ui, ProjectFailure::SaveData, m_project);
    const std::string listName = toCp1252(m_domainList->text().trimmed());
    if (!listName.empty())
        input.domainList = positionterms::readDomainList(listName);

    m_running = true;
    setInputEnabled(false);
    const auto finish = [this] {
        m_running = false;
        m_abort->setEnabled(false);
        setInputEnabled(true);
        m_start->setFocus();
    };

    std::optional<positionprep::Prepared> prepared = positionprep::prepare(m_state, m_ui);
    if (!prepared) {
        finish();
        return;
    }
    PositionListDialog list(positionterms::collect(projectRecord()), prepared->offered, m_projectFile, this);
    if (list.exec() != QDialog::Accepted || !positionprep::readyToConnect(m_state, m_ui)) {
        finish();
        return;
    }

    input.terms = list.terms();
    input.engines = list.engines();
    input.positionText = std::move(prepared->text);
    m_previous.clear();
    if (files::entryExists(RankStore::pathFor(m_project))) {
        RankStore store;
        if (store.open(RankStore::pathFor(m_project))) {
            for (RankStore::Pair &pair : store.pairs())
                m_previous[{pair.engine, pair.term}] = std::move(pair);
        }
    }
    {
        PositionRun run = m_timing ? PositionRun(m_ui, *this, std::move(input), *m_timing)
                                   : PositionRun(m_ui, *this, std::move(input));
        m_run = &run;
        run.run();
        m_run = nullptr;
        // Kept whatever else happens: the next run compares with it.
        RankStore::recordRun(m_project, run, m_ui);
        // What the list shows is what a report saves, whatever came between.
        reportChanged(run.report());
    }
    finish();
}

void PositionDialog::onAbortClicked()
{
    if (!m_run)
        return;
    m_abort->setEnabled(false);
    m_run->abort();
}

void PositionDialog::onHtmlClicked()
{
    if (m_running)
        return;
    // Beside the homepage, or with the projects when there is none yet.
    const std::string besides = m_homepagePath.empty() ? m_projectFile : m_homepagePath;
    const QString name = askReportFileName(
        this, fromCp1252(rankingreport::defaultFile(besides) + ".htm"), kHtmlFilter, QStringLiteral("htm"));
    if (name.isEmpty())
        return;
    const std::string page = rankingreport::html(m_report, toCp1252(m_domain->text()), submitreport::now());
    submitreport::save(toCp1252(name), page, m_ui);
}

void PositionDialog::onHistoryClicked()
{
    if (m_running)
        return;
    const std::string path = RankStore::pathFor(m_project);
    std::vector<RankStore::Pair> pairs;
    rankreport::History history;
    RankStore store;
    if (files::entryExists(path)) {
        if (!store.open(path)) {
            m_ui.message(RankStore::unusableTitle(), store.error());
            return;
        }
        pairs = store.pairs();
        for (const RankStore::Pair &pair : pairs)
            history[{pair.engine, pair.term}] = store.history(pair.engine, pair.term, rankreport::kChartChecks);
    }
    // Beside the project, written anew each time: the page is a view of the
    // history, not a document of its own.
    const std::string page = files::join(projectDirectory(), m_project + "-Verlauf.htm");
    if (!files::writeAtomic(page, rankreport::html(pairs, history, m_project, static_cast<long long>(std::time(nullptr))))) {
        m_ui.message(RankStore::unusableTitle(),
                     toCp1252("Die Seite mit dem Verlauf konnte nicht geschrieben werden. Überprüfen Sie die "
                              "Schreibrechte im Projektverzeichnis."));
        return;
    }
    shellOpen(page);
}

QString PositionDialog::changeNote(const RankStore::Pair *previous, const PositionRecord &record)
{
    if (previous == nullptr || !previous->lastSuccess)
        return {};
    const RankStore::Check &before = *previous->lastSuccess;
    const bool nowFound = record.outcome == PositionOutcome::Found;
    const bool nowMissing = record.outcome == PositionOutcome::NotInTop;
    if (nowFound && before.kind == RankStore::Kind::Found) {
        const int change = before.position - record.position;
        if (change > 0)
            return QStringLiteral("(▲ %1)").arg(change);
        if (change < 0)
            return QStringLiteral("(▼ %1)").arg(-change);
        return QStringLiteral("(=)");
    }
    if (nowFound)
        return QStringLiteral("(▲ neu)");
    if (nowMissing && before.kind == RankStore::Kind::Found)
        return QStringLiteral("(▼ vorher %1)").arg(before.position);
    return {};
}

void PositionDialog::onHelpClicked() { openHelp(help::kPosition); }

int PositionDialog::stripIndex(int image)
{
    // The strip is drawn for the submission's states; the position check
    // numbers its own, and each gets the picture that says the same.
    switch (image) {
    case 1: // empty page, no memory
        return 1;
    case positionoutcome::kWorkingImage:
        return 4;
    case 3: // found
        return 3;
    case 4: // a page the markers do not fit
        return 7;
    case 5: // not among the results
        return 9;
    case positionoutcome::kIdleImage:
        return 5;
    case 8: // no answer
        return 8;
    default:
        return 0;
    }
}

int PositionDialog::lineImage(const QTreeWidgetItem *item)
{
    return SlotPanel::lineImage(item);
}

void PositionDialog::slotCleared(int slot)
{
    m_slots->clear(slot);
}

void PositionDialog::lineAdded(int slot, const std::string &text, int image)
{
    m_slots->addLine(slot, fromCp1252(text), image);
}

void PositionDialog::outcomeShown(int slot, const PositionRecord &record, const std::string &text, int image)
{
    const auto previous = m_previous.find({record.engine, record.term});
    const QString note = changeNote(previous != m_previous.end() ? &previous->second : nullptr, record);
    m_slots->showOutcome(slot, fromCp1252(PositionRun::linePrefix() + record.term),
        note.isEmpty() ? fromCp1252(text) : fromCp1252(text) + QLatin1Char(' ') + note, image);
}

void PositionDialog::slotTitle(int slot, const std::string &text)
{
    m_slots->setTitle(slot, fromCp1252(text));
}

void PositionDialog::reportChanged(const std::vector<std::string> &report)
{
    // The run only ever adds lines (or starts afresh): a thousand terms at
    // a hundred engines must not refill the list at every outcome.
    const bool grown = report.size() >= m_report.size() && static_cast<int>(m_report.size()) == m_reportList->count()
        && (m_report.empty() || report[m_report.size() - 1] == m_report.back());
    if (!grown) {
        m_report.clear();
        m_reportList->clear();
    }
    for (std::size_t index = m_report.size(); index < report.size(); ++index) {
        m_report.push_back(report[index]);
        auto *item = new QListWidgetItem(fromCp1252(report[index]), m_reportList);
        // The lines are longer than the box; the whole text on hovering.
        item->setToolTip(item->text());
    }
    m_reportList->scrollToBottom();
}

void PositionDialog::abortAvailable(bool available) { m_abort->setEnabled(available); }

} // namespace vantor::gui
