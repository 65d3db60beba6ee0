#include "submit/SubmitListDialog.h"

#include "platform/Help.h"
#include "platform/Text.h"
#include "submit/SubmitDocuments.h"
#include "submit/SubmitSettings.h"
#include "submit/SubmitTarget.h"
#include "ui/DialogHooks.h"
#include "ui/DialogWidgets.h"
#include "ui/FileFilter.h"
#include "ui/ListEditing.h"
#include "ui/QtText.h"
#include "ui/Ui.h"
#include "wizard/SiteWizard.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vantor::gui {

namespace {

constexpr int kMovePause = 30;
// A target's place in the offered list, so that one moved back returns there.
constexpr int kOfferedIndexRole = Qt::UserRole + 1;

QString homepageDirectory(const std::string &homepagePath)
{
    return QFileInfo(fromCp1252(homepagePath)).absolutePath();
}

} // namespace

SubmitListDialog::SubmitListDialog(std::vector<std::string> documents, const std::vector<std::string> &offered,
    std::string submissionUrl, std::string homepagePath, std::string projectFile, QWidget *parent)
    : GuardedDialog(parent)
    , m_documents(std::move(documents))
    , m_submissionUrl(std::move(submissionUrl))
    , m_homepagePath(std::move(homepagePath))
    , m_projectFile(std::move(projectFile))
    , m_editing(this)
{
    setObjectName(QStringLiteral("submitListDialog"));
    setWindowTitle(QStringLiteral("Anmelde-Liste"));
    setHelpTopic(help::kSubmitList);
    // The lists grow with the window: long URLs and many engines.
    setWindowFlags(kDialogFlags | Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);

    auto *documentsLabel = new QLabel(
        QStringLiteral("Bitte kontrollieren Sie die Liste der anzumeldenden Seiten und korrigieren diese ggf.:"), this);
    m_documentList = choiceList(QStringLiteral("documentList"), this);
    m_documentList->setMinimumSize(520, 180);
    documentsLabel->setBuddy(m_documentList);
    for (const std::string &document : m_documents)
        m_documentList->addItem(fromCp1252(document));

    const auto button = [this](const QString &text, const QString &name) { return m_editing.button(text, name); };
    QPushButton *add = button(QStringLiteral("Hinzufügen"), QStringLiteral("addDocumentButton"));
    QPushButton *remove = button(QStringLiteral("Entfernen"), QStringLiteral("removeDocumentButton"));
    QPushButton *save = button(QStringLiteral("Speichern"), QStringLiteral("saveListButton"));
    QPushButton *load = button(QStringLiteral("Laden"), QStringLiteral("loadListButton"));
    QPushButton *choose = button(QStringLiteral("-- Hinzufügen -->"), QStringLiteral("chooseTargetButton"));
    QPushButton *giveBack = button(QStringLiteral("Entfernen <---"), QStringLiteral("returnTargetButton"));
    const ListEditing::CloseRow close = m_editing.closeRow();

    connect(add, &QPushButton::clicked, this, &SubmitListDialog::onAddDocumentClicked);
    connect(remove, &QPushButton::clicked, this, &SubmitListDialog::onRemoveDocumentsClicked);
    connect(save, &QPushButton::clicked, this, &SubmitListDialog::onSaveClicked);
    connect(load, &QPushButton::clicked, this, &SubmitListDialog::onLoadClicked);
    connect(choose, &QPushButton::clicked, this, &SubmitListDialog::onChooseTargetsClicked);
    connect(giveBack, &QPushButton::clicked, this, &SubmitListDialog::onReturnTargetsClicked);
    connect(close.start, &QPushButton::clicked, this, &SubmitListDialog::onStartClicked);
    connect(close.cancel, &QPushButton::clicked, this, &SubmitListDialog::reject);
    connect(close.help, &QPushButton::clicked, this, &SubmitListDialog::onHelpClicked);

    auto *offeredLabel = new QLabel(QStringLiteral("Verfügbare Suchmaschinen:"), this);
    m_offeredList = choiceList(QStringLiteral("offeredList"), this);
    m_offeredList->setMinimumSize(240, 200);
    offeredLabel->setBuddy(m_offeredList);
    for (std::size_t index = 0; index < offered.size(); ++index) {
        auto *item = new QListWidgetItem(fromCp1252(offered[index]), m_offeredList);
        item->setData(kOfferedIndexRole, static_cast<int>(index));
    }
    auto *chosenLabel = new QLabel(QStringLiteral("Gewählte Suchmaschinen:"), this);
    m_chosenList = choiceList(QStringLiteral("chosenList"), this);
    m_chosenList->setMinimumSize(240, 200);
    chosenLabel->setBuddy(m_chosenList);
    // A double click moves a single target, as the buttons do.
    connect(m_offeredList, &QListWidget::itemDoubleClicked, this, &SubmitListDialog::onChooseTargetsClicked);
    connect(m_chosenList, &QListWidget::itemDoubleClicked, this, &SubmitListDialog::onReturnTargetsClicked);

    auto *documentButtons = new QVBoxLayout;
    documentButtons->addWidget(add);
    documentButtons->addWidget(remove);
    documentButtons->addSpacing(10);
    documentButtons->addWidget(save);
    documentButtons->addWidget(load);
    documentButtons->addStretch();

    auto *documentRow = new QHBoxLayout;
    documentRow->addWidget(m_documentList, 1);
    documentRow->addLayout(documentButtons);

    auto *moveButtons = new QVBoxLayout;
    moveButtons->addStretch();
    moveButtons->addWidget(choose);
    moveButtons->addWidget(giveBack);
    moveButtons->addStretch();

    auto *targets = new QGridLayout;
    targets->addWidget(offeredLabel, 0, 0);
    targets->addWidget(chosenLabel, 0, 2);
    targets->addWidget(m_offeredList, 1, 0);
    targets->addLayout(moveButtons, 1, 1);
    targets->addWidget(m_chosenList, 1, 2);
    targets->setColumnStretch(0, 1);
    targets->setColumnStretch(2, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(documentsLabel);
    layout->addLayout(documentRow, 1);
    layout->addSpacing(6);
    layout->addLayout(targets, 1);
    layout->addSpacing(6);
    layout->addLayout(close.layout);
}

void SubmitListDialog::onAddDocumentClicked()
{
    if (m_editing.busy())
        return;
    const QString chosen = askOpenFileName(this, QString::fromUtf8(kHomepageDialogTitle), fromCp1252(m_homepagePath),
                                           qtFileFilter(QString::fromUtf8(kHomepageFilter)));
    if (chosen.isEmpty())
        return;
    const QString directory = homepageDirectory(m_homepagePath);
    const QString file = QFileInfo(chosen).absoluteFilePath();
    if (!file.startsWith(directory + QLatin1Char('/'))) {
        currentUi().message(de("Pfad-Fehler"),
                            toCp1252(QStringLiteral("Es können nur Dokumente unterhalb des Pfades\n%1\nhinzugefügt "
                                                    "werden. Dort befindet sich auch die Startseite der "
                                                    "Internet-Präsenz.")
                                         .arg(QDir::toNativeSeparators(directory))));
        return;
    }
    QString relative = file.mid(directory.size() + 1);
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString url = fromCp1252(m_submissionUrl) + QLatin1Char('/') + relative;
    for (int row = 0; row < m_documentList->count(); ++row) {
        if (m_documentList->item(row)->text().startsWith(url, Qt::CaseInsensitive)) {
            m_documentList->setCurrentRow(row);
            return;
        }
    }
    m_documentList->addItem(url);
    m_documentList->setCurrentRow(m_documentList->count() - 1);
}

void SubmitListDialog::onRemoveDocumentsClicked()
{
    m_editing.removeSelected(m_documentList, true);
}

void SubmitListDialog::onSaveClicked()
{
    if (m_editing.busy())
        return;
    m_documents = ListEditing::rows(m_documentList);
    submitsettings::saveFileList(m_projectFile, m_documents);
    ListEditing::showListSaved();
}

void SubmitListDialog::onLoadClicked()
{
    m_editing.replaceRows(
        m_documentList, [this] { return submitsettings::readFileList(m_projectFile); },
        [this](const std::string &document) { m_documentList->addItem(fromCp1252(document)); });
}

void SubmitListDialog::moveTargets(QListWidget *from, QListWidget *to)
{
    if (m_editing.busy())
        return;
    QList<QListWidgetItem *> selected = from->selectedItems();
    if (selected.isEmpty())
        return;
    // In the order they stand, whatever order they were clicked in.
    std::sort(selected.begin(), selected.end(),
              [from](QListWidgetItem *a, QListWidgetItem *b) { return from->row(a) < from->row(b); });
    m_editing.setBusy(true);
    to->clearSelection();
    for (QListWidgetItem *item : selected) {
        from->takeItem(from->row(item));
        int row = to->count();
        if (to == m_offeredList) {
            // Back to its place among the offered ones.
            const int index = item->data(kOfferedIndexRole).toInt();
            row = 0;
            while (row < to->count() && to->item(row)->data(kOfferedIndexRole).toInt() < index)
                ++row;
        }
        to->insertItem(row, item);
        item->setSelected(true);
        to->scrollToItem(item);
        currentUi().pause(kMovePause);
    }
    m_editing.setBusy(false);
}

void SubmitListDialog::onChooseTargetsClicked() { moveTargets(m_offeredList, m_chosenList); }

void SubmitListDialog::onReturnTargetsClicked() { moveTargets(m_chosenList, m_offeredList); }

void SubmitListDialog::onStartClicked()
{
    if (m_editing.busy())
        return;
    m_documents = ListEditing::rows(m_documentList);
    if (m_documents.size() > submitdocs::kMaxDocuments)
        m_documents.resize(submitdocs::kMaxDocuments);
    m_targets.clear();
    for (int row = 0; row < m_chosenList->count() && m_targets.size() < submittargets::kMaxTargets; ++row)
        m_targets.push_back(toCp1252(m_chosenList->item(row)->text()));
    accept();
}

void SubmitListDialog::onHelpClicked() { openHelp(help::kSubmitList); }

} // namespace vantor::gui
