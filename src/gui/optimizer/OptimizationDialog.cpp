#include "optimizer/OptimizationDialog.h"

#include "optimizer/RunUndo.h"
#include "platform/Help.h"
#include "project/ProgramSettings.h"
#include "templatewizard/TemplateWizardDialog.h"
#include "ui/DialogHooks.h"
#include "ui/FileFilter.h"
#include "ui/QtText.h"
#include "ui/UmlautRoom.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <vector>

namespace vantor::gui {

namespace {

constexpr int kIconColumnWidth = 18;
constexpr int kTextColumnWidth = 1500;
constexpr int kTodoExtent = 1200;
constexpr int kTodoItemHeight = 14;
constexpr int kIconSize = 14;

const char *const kReportFilter = "HTML Datei (*.htm)|*.htm|Alle Dateien (*.*)|*.*||";

// The three icons of the report list, drawn here so they need no files: a
// red cross for errors, a blue "!" for warnings, a dark-blue dot for the
// rest. The colour alone must not carry the kind.
QIcon lineIcon(LineKind kind)
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = OptimizationDialog::lineColor(kind);
    switch (kind) {
    case LineKind::Error: {
        QPen pen(color, 2.6, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(pen);
        painter.drawLine(QPointF(3, 3), QPointF(kIconSize - 3, kIconSize - 3));
        painter.drawLine(QPointF(kIconSize - 3, 3), QPointF(3, kIconSize - 3));
        break;
    }
    case LineKind::Warning: {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(QRectF(0.5, 0.5, kIconSize - 1, kIconSize - 1));
        painter.setBrush(Qt::white);
        const qreal middle = kIconSize / 2.0;
        painter.drawRoundedRect(QRectF(middle - 1.2, 2.5, 2.4, 6.0), 1.0, 1.0);
        painter.drawEllipse(QRectF(middle - 1.3, kIconSize - 4.6, 2.6, 2.6));
        break;
    }
    case LineKind::Normal:
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(QRectF(3.5, 3.5, kIconSize - 7, kIconSize - 7));
        break;
    }
    painter.end();
    return QIcon(pixmap);
}

// A row that shows the dots of a capital umlaut: they stand above the
// font's ascent, and the text is centred in its row.
int rowHeightFor(const QFontMetrics &metrics, int minimum)
{
    return std::max(minimum, metrics.height() + 2 * umlautOvershoot(metrics));
}

// The newest kept run that is not undone yet: the one the undo button takes back.
std::optional<RunUndo::KeptRun> runToUndo(const std::string &project)
{
    const std::vector<RunUndo::KeptRun> runs = RunUndo::list(project);
    for (auto it = runs.rbegin(); it != runs.rend(); ++it)
        if (!it->undone)
            return *it;
    return std::nullopt;
}

// "09.12.2026 14:05", as the user reads a date; the id (which holds it too)
// when the journal lost its time.
QString startedText(const RunUndo::KeptRun &run)
{
    if (run.started <= 0)
        return fromCp1252(run.id);
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(run.started))
        .toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QPushButton *dialogButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Enter must not save or open anything by chance while the report is read.
    button->setAutoDefault(false);
    return button;
}

} // namespace

QColor OptimizationDialog::lineColor(LineKind kind)
{
    switch (kind) {
    case LineKind::Error:
        return QColor(255, 0, 0);
    case LineKind::Warning:
        return QColor(0, 0, 255);
    case LineKind::Normal:
        break;
    }
    return QColor(0, 0, 100);
}

OptimizationDialog::OptimizationDialog(QWidget *parent)
    : SkinnedDialog(parent)
    , m_progress(new QProgressBar(this))
    , m_runUi(currentUi(), m_progress)
    , m_project(programSettings().currentProject)
    , m_run(m_runUi, m_project)
{
    setObjectName(QStringLiteral("optimizationDialog"));
    setWindowTitle(QStringLiteral("Optimierung durchführen"));
    setHelpTopic(help::kOptimization);

    m_report = new QTreeWidget(this);
    m_report->setObjectName(QStringLiteral("reportList"));
    m_report->setColumnCount(2);
    m_report->setHeaderHidden(true);
    m_report->setRootIsDecorated(false);
    m_report->setIndentation(0);
    m_report->setUniformRowHeights(true);
    m_report->setSelectionMode(QAbstractItemView::SingleSelection);
    m_report->setIconSize(QSize(kIconSize, kIconSize));
    m_report->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_report->header()->setStretchLastSection(false);
    m_report->header()->setSectionResizeMode(QHeaderView::Fixed);
    m_report->header()->setMinimumSectionSize(kIconColumnWidth);
    m_report->setColumnWidth(0, kIconColumnWidth);
    m_report->setColumnWidth(1, kTextColumnWidth);
    m_report->setMinimumSize(560, 230);
    QPalette white = m_report->palette();
    white.setColor(QPalette::Base, Qt::white);
    m_report->setPalette(white);

    m_todos = new QListWidget(this);
    m_todos->setObjectName(QStringLiteral("todoList"));
    m_todos->setUniformItemSizes(true);
    m_todos->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A run leaves up to seven To Do's; six are in view without scrolling.
    m_todos->setMinimumSize(560, 6 * rowHeightFor(m_todos->fontMetrics(), kTodoItemHeight) +
                                     2 * m_todos->frameWidth() + m_todos->horizontalScrollBar()->sizeHint().height());
    m_todos->setPalette(white);

    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, OptimizationRun::kProgressMaximum);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);

    m_withConfigData = new QCheckBox(QStringLiteral("Mit Konfigurationsdaten"), this);
    m_withConfigData->setObjectName(QStringLiteral("withConfigDataCheck"));
    m_withConfigData->setChecked(true);
    m_withProjectData = new QCheckBox(QStringLiteral("Mit Projektdaten"), this);
    m_withProjectData->setObjectName(QStringLiteral("withProjectDataCheck"));
    m_withProjectData->setChecked(true);

    m_start = dialogButton(QStringLiteral("Optimierung durchführen"), QStringLiteral("startButton"), this);
    m_start->setAutoDefault(true);
    m_start->setDefault(true);
    m_undo = dialogButton(QStringLiteral("Optimierung rückgängig"), QStringLiteral("undoButton"), this);
    m_undo->setToolTip(QStringLiteral("Stellt die Web-Site wieder her, wie sie vor der letzten Optimierung war."));
    m_saveReport = dialogButton(QStringLiteral("Report speichern..."), QStringLiteral("saveReportButton"), this);
    m_openReport = dialogButton(QStringLiteral("Report einsehen"), QStringLiteral("openReportButton"), this);
    m_copy = dialogButton(QStringLiteral("Kopie"), QStringLiteral("copyButton"), this);
    m_shortDoorway = dialogButton(QStringLiteral("Zugangsdokument kurz"), QStringLiteral("shortDoorwayButton"), this);
    m_longDoorway = dialogButton(QStringLiteral("Zugangsdokument lang"), QStringLiteral("longDoorwayButton"), this);
    m_close = dialogButton(QStringLiteral("Schließen"), QStringLiteral("closeButton"), this);
    QPushButton *helpButton = dialogButton(QStringLiteral("?"), QStringLiteral("helpButton"), this);
    helpButton->setToolTip(QStringLiteral("Hilfe"));
    helpButton->setFixedWidth(helpButton->sizeHint().height() + 8);

    connect(m_start, &QPushButton::clicked, this, &OptimizationDialog::onStartClicked);
    connect(m_undo, &QPushButton::clicked, this, &OptimizationDialog::onUndoClicked);
    connect(m_saveReport, &QPushButton::clicked, this, &OptimizationDialog::onSaveReportClicked);
    connect(m_openReport, &QPushButton::clicked, this, &OptimizationDialog::onOpenReportClicked);
    connect(m_copy, &QPushButton::clicked, this, &OptimizationDialog::onCopyClicked);
    connect(m_shortDoorway, &QPushButton::clicked, this, &OptimizationDialog::onShortDoorwayClicked);
    connect(m_longDoorway, &QPushButton::clicked, this, &OptimizationDialog::onLongDoorwayClicked);
    connect(m_close, &QPushButton::clicked, this, &OptimizationDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, &OptimizationDialog::onHelpClicked);

    auto *reportBox = new QGroupBox(QStringLiteral(" Report "), this);
    auto *reportLayout = new QVBoxLayout(reportBox);
    reportLayout->addWidget(m_report);
    auto *todoBox = new QGroupBox(QStringLiteral(" To Do's "), this);
    auto *todoLayout = new QVBoxLayout(todoBox);
    todoLayout->addWidget(m_todos);

    // The To Do's send the user to "the three buttons below": they stand
    // right under the lists.
    auto *examplesBox = new QGroupBox(QStringLiteral(" Optimierte Dokumente ansehen "), this);
    examplesBox->setObjectName(QStringLiteral("examplesBox"));
    auto *examplesLayout = new QHBoxLayout(examplesBox);
    // One width for the three, with room beside the longest text.
    const int exampleWidth = std::max({m_copy->sizeHint().width(), m_shortDoorway->sizeHint().width(),
                                       m_longDoorway->sizeHint().width()}) + 16;
    for (QPushButton *example : {m_copy, m_shortDoorway, m_longDoorway}) {
        example->setMinimumWidth(exampleWidth);
        examplesLayout->addWidget(example);
    }
    examplesLayout->addStretch();

    auto *left = new QVBoxLayout;
    left->addWidget(reportBox, 3);
    left->addWidget(todoBox, 1);
    left->addWidget(examplesBox);
    left->addWidget(m_progress);

    auto *runBox = new QGroupBox(QStringLiteral(" Optimierung "), this);
    auto *runLayout = new QVBoxLayout(runBox);
    runLayout->addWidget(m_withConfigData);
    runLayout->addWidget(m_withProjectData);
    runLayout->addWidget(m_start);
    runLayout->addSpacing(6);
    runLayout->addWidget(m_undo);

    auto *resultBox = new QGroupBox(QStringLiteral(" Ergebnis "), this);
    auto *resultLayout = new QVBoxLayout(resultBox);
    resultLayout->addWidget(m_openReport);
    resultLayout->addWidget(m_saveReport);

    auto *closeRow = new QHBoxLayout;
    closeRow->addWidget(helpButton);
    closeRow->addWidget(m_close, 1);

    auto *right = new QVBoxLayout;
    right->addWidget(runBox);
    right->addWidget(resultBox);
    right->addStretch();
    right->addLayout(closeRow);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(14);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    // "Vorlage fehlt", OK: the wizard for this homepage, over the run; the
    // run checks the template again when it closes.
    m_run.setTemplateWizard([this](const std::string &homepagePath) {
        OptimizationRunUi::Answering arrow(m_runUi);
        openTemplateWizard(this, homepagePath);
    });

    m_run.log().setObserver(this);
    m_run.begin();
    enableResultButtons(false);
    updateUndoButton();
    m_start->setFocus();
}

OptimizationDialog::~OptimizationDialog() { m_run.log().setObserver(nullptr); }

void OptimizationDialog::lineAdded(const ReportLine &line)
{
    auto *item = new QTreeWidgetItem(m_report);
    item->setIcon(0, lineIcon(line.kind));
    item->setText(1, fromCp1252(line.text));
    item->setForeground(1, lineColor(line.kind));
    // The column is wider than the list; the whole line is a hover away.
    item->setToolTip(1, item->text(1));
    item->setData(0, Qt::UserRole, static_cast<int>(line.kind));
    item->setSizeHint(1, QSize(kTextColumnWidth, rowHeightFor(m_report->fontMetrics(), kIconSize + 2)));
    m_report->scrollToItem(item);
}

void OptimizationDialog::todoAdded(const std::string &todo)
{
    auto *item = new QListWidgetItem(fromCp1252(todo), m_todos);
    item->setToolTip(item->text());
    // 14 pixels were made for a smaller font: with ours they cut off the
    // dots of a capital umlaut, as in "Über Vantor!! hinaus".
    item->setSizeHint(QSize(kTodoExtent, rowHeightFor(m_todos->fontMetrics(), kTodoItemHeight)));
}

void OptimizationDialog::enableResultButtons(bool enabled)
{
    m_saveReport->setEnabled(enabled);
    m_openReport->setEnabled(enabled);
    m_copy->setEnabled(enabled);
    m_shortDoorway->setEnabled(enabled);
    m_longDoorway->setEnabled(enabled);
}

void OptimizationDialog::updateUndoButton() { m_undo->setEnabled(!m_running && runToUndo(m_project).has_value()); }

void OptimizationDialog::onStartClicked()
{
    if (m_running || m_run.hasRun())
        return;
    // Once per opening: the report of this run is the one the buttons show.
    m_start->setEnabled(false);
    m_undo->setEnabled(false);
    m_withConfigData->setEnabled(false);
    m_withProjectData->setEnabled(false);
    m_close->setEnabled(false);
    m_running = true;
    m_runUi.setWaiting(true);
    m_run.run(m_withProjectData->isChecked(), m_withConfigData->isChecked());
    m_runUi.setWaiting(false);
    m_running = false;
    m_close->setEnabled(true);
    enableResultButtons(m_run.reportWritten());
    updateUndoButton();
    m_close->setFocus();
}

void OptimizationDialog::onUndoClicked()
{
    if (m_running)
        return;
    const std::optional<RunUndo::KeptRun> run = runToUndo(m_project);
    if (!run) {
        updateUndoButton();
        return;
    }
    const QString when = startedText(*run);
    // An interrupted run left only part of its work; the user should know
    // which one he takes back.
    const QString which = run->finished ? QStringLiteral("Die letzte Optimierung vom %1")
                                        : QStringLiteral("Die letzte, abgebrochene Optimierung vom %1");
    const QString text =
        which.arg(when) +
        QStringLiteral(" wird rückgängig gemacht: Die Homepage und alle ersetzten Dateien erhalten wieder ihren "
                       "vorherigen Inhalt, erzeugte Kopien und Zugangsdokumente werden entfernt.\nKlicken Sie auf "
                       "\"OK\", um fortzufahren.");
    if (!m_runUi.question(toCp1252(QStringLiteral("Optimierung rückgängig")), toCp1252(text)))
        return;

    // The very run that was asked about, even if another one was kept meanwhile.
    std::string undoneId;
    int restored = 0;
    m_runUi.setWaiting(true);
    const RunUndo::Result result = RunUndo::undo(m_runUi, m_project, run->id, undoneId, restored);
    m_runUi.setWaiting(false);

    // This run's copies, doorway documents and report file are gone (or
    // partly so); its report text is still there to be saved.
    if (!undoneId.empty() && undoneId == m_run.backupId() &&
        (result == RunUndo::Result::Done || result == RunUndo::Result::Incomplete)) {
        m_openReport->setEnabled(false);
        m_copy->setEnabled(false);
        m_shortDoorway->setEnabled(false);
        m_longDoorway->setEnabled(false);
    }
    // The dialog behind the message shows what is possible now.
    updateUndoButton();
    if (result == RunUndo::Result::Done) {
        const QString count = restored == 1
                                  ? QStringLiteral("1 Datei hat wieder ihren Stand von vor der Optimierung.")
                                  : QStringLiteral("%1 Dateien haben wieder ihren Stand von vor der Optimierung.")
                                        .arg(restored);
        m_runUi.message(toCp1252(QStringLiteral("Optimierung rückgängig gemacht")),
                        toCp1252(QStringLiteral("Die Optimierung vom %1 wurde rückgängig gemacht. ").arg(when) + count));
    }
    if (m_undo->isEnabled())
        m_undo->setFocus();
    else
        m_close->setFocus();
}

void OptimizationDialog::onSaveReportClicked()
{
    const QString directory = fromCp1252(m_run.homepageDirectory());
    const QString preset = directory.isEmpty() ? QStringLiteral("Report") : directory + QStringLiteral("/Report");
    QString name = askSaveFileName(this, QStringLiteral("Report speichern"), preset, qtFileFilter(QString::fromUtf8(kReportFilter)),
                                   QStringLiteral("htm"));
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".htm");
    m_run.saveReport(toCp1252(name));
}

void OptimizationDialog::onOpenReportClicked() { m_run.openReport(); }

void OptimizationDialog::onCopyClicked()
{
    m_copy->setEnabled(false);
    m_run.openCopyExample();
    m_copy->setEnabled(true);
}

void OptimizationDialog::onShortDoorwayClicked()
{
    m_shortDoorway->setEnabled(false);
    m_run.openDoorwayExample(false);
    m_shortDoorway->setEnabled(true);
}

void OptimizationDialog::onLongDoorwayClicked()
{
    m_longDoorway->setEnabled(false);
    m_run.openDoorwayExample(true);
    m_longDoorway->setEnabled(true);
}

void OptimizationDialog::onHelpClicked() { openHelp(help::kOptimization); }

void OptimizationDialog::reject()
{
    // The run is on the stack below the event loop that brought us here.
    if (m_running)
        return;
    if (!m_run.leave())
        return;
    SkinnedDialog::reject();
}

} // namespace vantor::gui
