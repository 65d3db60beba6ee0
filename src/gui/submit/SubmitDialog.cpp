#include "submit/SubmitDialog.h"

#include "net/HttpGet.h"
#include "optimizer/StartSigns.h"
#include "platform/Help.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "submit/ExtensionsDialog.h"
#include "submit/IndexNowRun.h"
#include "submit/Sitemap.h"
#include "submit/SubmitDocuments.h"
#include "submit/SubmitListDialog.h"
#include "submit/SubmitPreparation.h"
#include "submit/SubmitReport.h"
#include "submit/UmlautRowDelegate.h"
#include "ui/DialogHooks.h"
#include "ui/DialogWidgets.h"
#include "ui/QtText.h"
#include "ui/SlotPanel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace vantor::gui {

namespace {

constexpr int kProgressMaximum = 28;
constexpr int kDocumentColumnWidth = 400;
constexpr const char *kHtmlFilter = "HTML Datei (*.htm)|*.htm|Alle Dateien (*.*)|*.*||";
constexpr const char *kCsvFilter = "CSV Datei (*.csv)|*.csv|Alle Dateien (*.*)|*.*||";

QListWidget *resultList(const QString &name, QWidget *parent)
{
    QListWidget *list = lineList(name, parent);
    list->setUniformItemSizes(true);
    return list;
}

// The longest outcome is read whole beside a document of usual length.
int longestOutcome(const QFontMetrics &metrics)
{
    int widest = 0;
    for (const SubmitOutcome outcome :
         {SubmitOutcome::Accepted, SubmitOutcome::AlreadyListed, SubmitOutcome::Rejected, SubmitOutcome::EngineError,
          SubmitOutcome::Unknown, SubmitOutcome::Down, SubmitOutcome::NoAnswer})
        widest = std::max(widest, metrics.horizontalAdvance(fromCp1252(submitoutcome::text(outcome))));
    return widest;
}

void fillList(QListWidget *list, const std::vector<std::string> &lines)
{
    list->clear();
    for (const std::string &line : lines) {
        auto *item = new QListWidgetItem(fromCp1252(line), list);
        // The lines are longer than the box; the whole text on hovering.
        item->setToolTip(item->text());
    }
    list->scrollToBottom();
}

} // namespace

SubmitDialog::SubmitDialog(QWidget *parent)
    : GuardedDialog(parent)
    , m_project(programSettings().currentProject)
    , m_projectFile(projectFilePath(m_project))
    , m_progress(new QProgressBar(this))
    , m_ui(currentUi(), m_progress)
{
    setObjectName(QStringLiteral("submitDialog"));
    setWindowTitle(QStringLiteral("Anmeldung"));
    setHelpTopic(help::kSubmission);
    setSizeGripEnabled(true);

    m_caption = projectCaption(this);

    // The address and the e-mail address.
    m_url = new QLineEdit(this);
    m_url->setObjectName(QStringLiteral("urlEdit"));
    m_url->setMaxLength(static_cast<int>(submitsettings::kMaxStoredDocumentLength));
    m_url->setMinimumWidth(300);
    m_email = new QLineEdit(this);
    m_email->setObjectName(QStringLiteral("emailEdit"));
    m_email->setMaxLength(static_cast<int>(submitsettings::kMaxStoredDocumentLength));
    auto *urlLabel = new QLabel(QStringLiteral("URL: http://"), this);
    urlLabel->setBuddy(m_url);
    auto *emailLabel = new QLabel(QStringLiteral("Email:"), this);
    emailLabel->setBuddy(m_email);
    auto *entriesBox = new QGroupBox(QStringLiteral(" Homepage im Internet "), this);
    auto *entriesLayout = new QGridLayout(entriesBox);
    entriesLayout->addWidget(urlLabel, 0, 0);
    entriesLayout->addWidget(m_url, 0, 1);
    entriesLayout->addWidget(emailLabel, 1, 0);
    entriesLayout->addWidget(m_email, 1, 1);
    // The engines of old take the address without a scheme; the sitemap and
    // IndexNow need the one the site really answers by.
    m_scheme = new QComboBox(this);
    m_scheme->setObjectName(QStringLiteral("schemeCombo"));
    m_scheme->addItem(QStringLiteral("https://"), QStringLiteral("https"));
    m_scheme->addItem(QStringLiteral("http://"), QStringLiteral("http"));
    auto *schemeLabel = new QLabel(QStringLiteral("Sitemap/IndexNow:"), this);
    schemeLabel->setBuddy(m_scheme);
    auto *schemeRow = new QHBoxLayout;
    schemeRow->addWidget(m_scheme);
    schemeRow->addStretch();
    entriesLayout->addWidget(schemeLabel, 2, 0);
    entriesLayout->addLayout(schemeRow, 2, 1);
    entriesLayout->setColumnStretch(1, 1);

    // How much of the site.
    m_startPageOnly = new QRadioButton(QStringLiteral("nur Startseite"), this);
    m_startPageOnly->setObjectName(QStringLiteral("startPageOnlyRadio"));
    m_optimal = new QRadioButton(QStringLiteral("Optimal"), this);
    m_optimal->setObjectName(QStringLiteral("optimalRadio"));
    m_complete = new QRadioButton(QStringLiteral("Komplett"), this);
    m_complete->setObjectName(QStringLiteral("completeRadio"));
    auto *modes = new QButtonGroup(this);
    modes->addButton(m_startPageOnly, static_cast<int>(submitdocs::Mode::StartPageOnly));
    modes->addButton(m_optimal, static_cast<int>(submitdocs::Mode::Optimal));
    modes->addButton(m_complete, static_cast<int>(submitdocs::Mode::Complete));
    m_extensions = dialogButton(QStringLiteral("Datei-Endungen"), QStringLiteral("extensionsButton"), this);
    auto *modeBox = new QGroupBox(QStringLiteral(" Anmelden "), this);
    auto *modeLayout = new QGridLayout(modeBox);
    modeLayout->addWidget(m_startPageOnly, 0, 0);
    modeLayout->addWidget(m_optimal, 1, 0);
    modeLayout->addWidget(m_complete, 2, 0);
    modeLayout->addWidget(m_extensions, 2, 1);

    m_submit = dialogButton(QStringLiteral("Anmeldung durchführen"), QStringLiteral("submitButton"), this);
    m_submit->setAutoDefault(true);
    m_submit->setDefault(true);
    m_abort = dialogButton(QStringLiteral("Abbrechen"), QStringLiteral("abortButton"), this);
    m_abort->setEnabled(false);
    m_sitemap = dialogButton(QStringLiteral("Sitemap erstellen"), QStringLiteral("sitemapButton"), this);
    auto *runButtons = new QVBoxLayout;
    runButtons->addWidget(m_submit);
    runButtons->addWidget(m_abort);
    runButtons->addStretch();
    runButtons->addWidget(m_sitemap);

    auto *top = new QHBoxLayout;
    top->addWidget(entriesBox, 1);
    top->addWidget(modeBox);
    top->addLayout(runButtons);

    // The three slots, one target each.
    m_slots = std::make_unique<SlotPanel>(this,
        SlotPanel::Setup { .firstHeader = QStringLiteral("Dokument"),
            .firstWidth = kDocumentColumnWidth,
            .widestOutcome = &longestOutcome });

    setUpProgress(m_progress, kProgressMaximum);

    m_reportList = resultList(QStringLiteral("reportList"), this);
    m_adviceList = resultList(QStringLiteral("adviceList"), this);
    // An advice is a sentence or two: it wraps instead of running out of view.
    m_adviceList->setWordWrap(true);
    m_adviceList->setUniformItemSizes(false);
    m_adviceList->setResizeMode(QListView::Adjust);
    m_adviceList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *reportLabel = new QLabel(QStringLiteral("Report:"), this);
    reportLabel->setBuddy(m_reportList);
    auto *adviceLabel = new QLabel(QStringLiteral("To Do's:"), this);
    adviceLabel->setBuddy(m_adviceList);
    // One below the other, each the dialog's full width: the lines are long.
    auto *results = new QVBoxLayout;
    results->setSpacing(3);
    results->addWidget(reportLabel);
    results->addWidget(m_reportList, 4);
    results->addSpacing(3);
    results->addWidget(adviceLabel);
    results->addWidget(m_adviceList, 3);
    const int resultRow = UmlautRowDelegate::rowHeight(m_reportList->fontMetrics());
    const int scrollBar = m_reportList->horizontalScrollBar()->sizeHint().height();
    m_reportList->setMinimumHeight(4 * resultRow + 2 * m_reportList->frameWidth() + scrollBar);
    m_adviceList->setMinimumHeight(4 * resultRow + 2 * m_adviceList->frameWidth());

    m_csv = dialogButton(QStringLiteral("Excel-Format"), QStringLiteral("csvButton"), this);
    m_html = dialogButton(QStringLiteral("HTML-Format"), QStringLiteral("htmlButton"), this);
    m_help = dialogButton(QStringLiteral("Hilfe"), QStringLiteral("helpButton"), this);
    m_close = dialogButton(QStringLiteral("Schließen"), QStringLiteral("closeButton"), this);
    auto *saveLabel = new QLabel(QStringLiteral("Report speichern:"), this);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(saveLabel);
    bottom->addWidget(m_csv);
    bottom->addWidget(m_html);
    bottom->addStretch();
    bottom->addWidget(m_help);
    bottom->addWidget(m_close);

    connect(m_submit, &QPushButton::clicked, this, &SubmitDialog::onSubmitClicked);
    connect(m_extensions, &QPushButton::clicked, this, &SubmitDialog::onExtensionsClicked);
    connect(m_abort, &QPushButton::clicked, this, &SubmitDialog::onAbortClicked);
    connect(m_sitemap, &QPushButton::clicked, this, &SubmitDialog::onSitemapClicked);
    connect(m_csv, &QPushButton::clicked, this, &SubmitDialog::onCsvClicked);
    connect(m_html, &QPushButton::clicked, this, &SubmitDialog::onHtmlClicked);
    connect(m_help, &QPushButton::clicked, this, &SubmitDialog::onHelpClicked);
    connect(m_close, &QPushButton::clicked, this, &SubmitDialog::reject);
    connect(m_startPageOnly, &QRadioButton::toggled, this, &SubmitDialog::onModeToggled);
    connect(m_optimal, &QRadioButton::toggled, this, &SubmitDialog::onModeToggled);
    connect(m_complete, &QRadioButton::toggled, this, &SubmitDialog::onModeToggled);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(m_caption);
    layout->addLayout(top);
    layout->addLayout(m_slots->layout(), 3);
    layout->addWidget(m_progress);
    layout->addLayout(results, 2);
    layout->addLayout(bottom);

    m_ready = checkOpening();
}

SubmitDialog::~SubmitDialog() = default;

void SubmitDialog::openFromMenu(QWidget *parent)
{
    execWhenReady<SubmitDialog>(parent);
}

bool SubmitDialog::checkOpening()
{
    const std::optional<std::string> homepagePath = loadProject(m_project, m_caption);
    if (!homepagePath)
        return false;
    m_homepagePath = *homepagePath;
    if (m_homepagePath.empty()) {
        m_ui.message(submitprep::notOptimizedTitle(), submitprep::notOptimizedText());
        return false;
    }
    const submitsettings::Entries stored = submitsettings::readEntries(m_projectFile);
    m_email->setText(fromCp1252(stored.email));
    m_url->setText(fromCp1252(stored.url));
    switch (stored.mode) {
    case submitdocs::Mode::StartPageOnly:
        m_startPageOnly->setChecked(true);
        break;
    case submitdocs::Mode::Complete:
        m_complete->setChecked(true);
        break;
    case submitdocs::Mode::Optimal:
        m_optimal->setChecked(true);
        break;
    }
    onModeToggled();
    m_scheme->setCurrentIndex(submitsettings::readSiteScheme(m_projectFile) == "http" ? 1 : 0);
    m_slots->setAllTitles(QStringLiteral("Bereit..."));
    return submitprep::dataFilesPresent(m_ui);
}

submitsettings::Entries SubmitDialog::entries() const
{
    submitsettings::Entries result;
    result.url = toCp1252(m_url->text());
    result.email = toCp1252(m_email->text());
    if (m_startPageOnly->isChecked())
        result.mode = submitdocs::Mode::StartPageOnly;
    else if (m_complete->isChecked())
        result.mode = submitdocs::Mode::Complete;
    else
        result.mode = submitdocs::Mode::Optimal;
    return result;
}

void SubmitDialog::onModeToggled() { m_extensions->setEnabled(!m_running && m_complete->isChecked()); }

void SubmitDialog::setInputEnabled(bool enabled)
{
    m_submit->setEnabled(enabled);
    m_url->setEnabled(enabled);
    m_email->setEnabled(enabled);
    m_startPageOnly->setEnabled(enabled);
    m_optimal->setEnabled(enabled);
    m_complete->setEnabled(enabled);
    m_scheme->setEnabled(enabled);
    m_sitemap->setEnabled(enabled);
    m_csv->setEnabled(enabled);
    m_html->setEnabled(enabled);
    m_help->setEnabled(enabled);
    m_close->setEnabled(enabled);
    m_extensions->setEnabled(enabled && m_complete->isChecked());
}

void SubmitDialog::onSubmitClicked()
{
    if (m_running)
        return;
    m_report.clear();
    m_reportList->clear();
    const submitsettings::Entries typed = entries();
    if (submitprep::refused(typed, m_ui))
        return;

    m_running = true;
    setInputEnabled(false);
    const auto finish = [this] {
        m_running = false;
        m_abort->setEnabled(false);
        setInputEnabled(true);
        m_submit->setFocus();
    };

    const std::optional<submitprep::Prepared> prepared =
        submitprep::prepare(typed, m_projectFile, m_homepagePath, m_ui);
    if (!prepared) {
        finish();
        return;
    }

    // Beside the engines of the maker's files: IndexNow, what the engines
    // of today take.
    std::vector<std::string> offered = prepared->offered;
    for (const indexnowrun::Offered &endpoint : indexnowrun::offered())
        offered.push_back(endpoint.target);
    SubmitListDialog list(prepared->documents, offered, typed.url, m_homepagePath, m_projectFile, this);
    if (list.exec() != QDialog::Accepted) {
        finish();
        return;
    }
    // Going online: the user is asked once per action, if he wants to be.
    if (!m_ui.dialUpAsked() && programSettings().httpInform != 0 &&
        !m_ui.question(httpget::dialUpTitle(), httpget::dialUpText())) {
        finish();
        return;
    }

    SubmitRunInput input;
    input.homepage = typed.url;
    input.documents = list.documents();
    input.email = typed.email;
    input.submitText = prepared->submitText;
    input.listsText = prepared->listsText;
    std::vector<std::string> indexNowTargets;
    for (const std::string &target : list.targets())
        (indexnowrun::isTarget(target) ? indexNowTargets : input.targets).push_back(target);
    m_targets = list.targets();
    m_advice.clear();
    m_adviceList->clear();

    bool aborted = false;
    if (!input.targets.empty()) {
        SubmitRun run = m_timing ? SubmitRun(m_ui, *this, std::move(input), *m_timing)
                                 : SubmitRun(m_ui, *this, std::move(input));
        m_run = &run;
        aborted = run.run() == SubmitRun::Result::Aborted;
        m_run = nullptr;
        m_report = run.report();
        m_advice = run.advice();
    }
    if (!indexNowTargets.empty() && !aborted) {
        indexnowrun::Input indexNow;
        indexNow.projectFile = m_projectFile;
        indexNow.homepagePath = m_homepagePath;
        indexNow.submissionUrl = typed.url;
        indexNow.scheme = scheme();
        indexNow.mode = typed.mode;
        indexNow.extensions = submitsettings::readExtensions(m_projectFile);
        indexNow.targets = indexNowTargets;
        submitsettings::saveSiteScheme(m_projectFile, scheme());
        indexnowrun::run(indexNow, m_ui, *this, m_report, m_advice);
        for (int slot = 0; slot < kSlots; ++slot)
            slotTitle(slot, SubmitRun::finishedTitle());
    }
    fillList(m_reportList, m_report);
    fillList(m_adviceList, m_advice);
    finish();
}

std::string SubmitDialog::scheme() const { return toCp1252(m_scheme->currentData().toString()); }

void SubmitDialog::onSitemapClicked()
{
    if (m_running)
        return;
    submitsettings::Entries typed = entries();
    if (const auto problem = submitdocs::urlProblem(typed.url)) {
        m_ui.message(problem->title, problem->text);
        return;
    }
    // A sitemap lists the site, not just its start page.
    if (typed.mode == submitdocs::Mode::StartPageOnly)
        typed.mode = submitdocs::Mode::Optimal;
    submitsettings::saveSiteScheme(m_projectFile, scheme());

    sitemap::Input input;
    input.submissionUrl = typed.url;
    input.scheme = scheme();
    input.homepagePath = m_homepagePath;
    input.mode = typed.mode;
    input.signs = StartSigns::fromSettings(projectOptions().sonz);
    input.extensions = submitsettings::readExtensions(m_projectFile);
    const sitemap::Result result = sitemap::write(input);
    if (!result.ok) {
        m_ui.message(result.problemTitle, result.problemText);
        return;
    }
    std::string text = de("Die Sitemap nennt ") + std::to_string(result.urls) + de(" Adressen. Geschrieben:");
    for (const std::string &file : result.written)
        text += "\n" + file;
    const std::size_t leftOut = result.noindex + result.canonical + result.tooLong;
    if (leftOut > 0)
        text += de("\n\nNicht aufgenommen: ") + std::to_string(leftOut)
            + de(" Seiten (\"noindex\", ein Verweis auf eine andere kanonische Adresse oder eine zu lange Adresse).");
    text += de("\n\nLaden Sie die Sitemap und robots.txt mit der Site auf den Web-Server; die Suchmaschinen finden "
               "die Sitemap über die Zeile \"Sitemap:\" in robots.txt.");
    m_ui.message(de("Sitemap erstellt"), text);
}

void SubmitDialog::onAbortClicked()
{
    if (!m_run)
        return;
    m_abort->setEnabled(false);
    m_run->abort();
}

void SubmitDialog::onExtensionsClicked()
{
    if (m_running)
        return;
    ExtensionsDialog dialog(m_projectFile, this);
    dialog.exec();
}

void SubmitDialog::saveReport(bool asHtml)
{
    if (m_running)
        return;
    const QString suffix = asHtml ? QStringLiteral("htm") : QStringLiteral("csv");
    const QString name = askReportFileName(
        this, fromCp1252(submitreport::defaultFile(m_homepagePath)), asHtml ? kHtmlFilter : kCsvFilter, suffix);
    if (name.isEmpty())
        return;
    const std::string homepage = toCp1252(m_url->text());
    const submitreport::Stamp stamp = submitreport::now();
    const std::string content = asHtml ? submitreport::html(m_report, m_advice, homepage, stamp)
                                       : submitreport::csv(m_report, m_advice, homepage, stamp, m_targets);
    submitreport::save(toCp1252(name), content, m_ui);
}

void SubmitDialog::onCsvClicked() { saveReport(false); }

void SubmitDialog::onHtmlClicked() { saveReport(true); }

void SubmitDialog::onHelpClicked() { openHelp(help::kSubmission); }

int SubmitDialog::lineImage(const QTreeWidgetItem *item)
{
    return SlotPanel::lineImage(item);
}

void SubmitDialog::slotCleared(int slot)
{
    m_slots->clear(slot);
}

void SubmitDialog::lineAdded(int slot, const std::string &text, int image)
{
    m_slots->addLine(slot, fromCp1252(text), image);
}

void SubmitDialog::outcomeShown(int slot, const std::string & /*target*/, const std::string &document,
                                SubmitOutcome outcome)
{
    m_slots->showOutcome(slot, fromCp1252(SubmitRun::linePrefix() + document), fromCp1252(submitoutcome::text(outcome)),
        submitoutcome::image(outcome));
}

void SubmitDialog::outcomeTextShown(int slot, const std::string &document, const std::string &text, int image)
{
    m_slots->showOutcome(
        slot, fromCp1252(SubmitRun::linePrefix() + document), fromCp1252(text), image, SlotPanel::Matching::All);
}

void SubmitDialog::slotTitle(int slot, const std::string &text)
{
    m_slots->setTitle(slot, fromCp1252(text));
}

void SubmitDialog::reportChanged(const std::vector<std::string> &report)
{
    m_report = report;
    fillList(m_reportList, m_report);
}

void SubmitDialog::adviceChanged(const std::vector<std::string> &advice)
{
    m_advice = advice;
    fillList(m_adviceList, m_advice);
}

void SubmitDialog::abortAvailable(bool available) { m_abort->setEnabled(available); }

} // namespace vantor::gui
