#include "project/ProjectManagerDialog.h"

#include "platform/Help.h"
#include "platform/Text.h"
#include "project/NewProjectOptionsDialog.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectManager.h"
#include "ui/QtText.h"
#include "ui/UmlautRoom.h"

#include <QFont>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

QPushButton *dialogButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Enter in the name field creates, nowhere else does it act by chance.
    button->setAutoDefault(false);
    return button;
}

// A row tall enough for the dots of a capital umlaut: a project may be
// called "Übersicht".
QListWidgetItem *projectItem(const std::string &entry, const QFontMetrics &metrics)
{
    auto *item = new QListWidgetItem(fromCp1252(entry));
    // The width as the list would take it: a long name still scrolls.
    item->setSizeHint(QSize(metrics.horizontalAdvance(item->text()) + 12, metrics.height() + 2 * umlautOvershoot(metrics)));
    return item;
}

QLineEdit *infoField(const QString &name, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMaxLength(static_cast<int>(projects::kMaxInfoLength));
    field->setMinimumWidth(230);
    return field;
}

} // namespace

ProjectManagerDialog::ProjectManagerDialog(QWidget *parent)
    : SkinnedDialog(parent)
    , m_progress(new QProgressBar(this))
    , m_jobUi(currentUi(), m_progress)
{
    setObjectName(QStringLiteral("projectManagerDialog"));
    setWindowTitle(QStringLiteral("Projekte"));
    setHelpTopic(help::kProjects);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("projectList"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumSize(200, 220);
    QPalette white = m_list->palette();
    white.setColor(QPalette::Base, Qt::white);
    m_list->setPalette(white);
    auto *listLabel = new QLabel(QStringLiteral("Vorhandene Projekte:"), this);
    listLabel->setBuddy(m_list);
    QPushButton *open = dialogButton(QStringLiteral("Projekt öffnen"), QStringLiteral("openButton"), this);
    QPushButton *remove = dialogButton(QStringLiteral("Projekt löschen"), QStringLiteral("deleteButton"), this);

    auto *currentLabel = new QLabel(QStringLiteral("Aktuelles Projekt:"), this);
    m_current = new QLabel(this);
    m_current->setObjectName(QStringLiteral("currentProjectLabel"));
    m_current->setTextFormat(Qt::PlainText);
    QFont bold = m_current->font();
    bold.setBold(true);
    m_current->setFont(bold);
    // A project may be called "Übersicht"; the label beside it keeps the
    // same line.
    makeRoomForUmlautDots(m_current);
    makeRoomForUmlautDots(currentLabel);

    m_company = infoField(QStringLiteral("companyEdit"), this);
    m_contact = infoField(QStringLiteral("contactEdit"), this);
    m_tel = infoField(QStringLiteral("telEdit"), this);
    m_mail = infoField(QStringLiteral("mailEdit"), this);
    m_lastOptimized = infoField(QStringLiteral("lastOptimizedEdit"), this);
    m_lastOptimized->setReadOnly(true);
    m_lastOptimized->setFocusPolicy(Qt::ClickFocus);
    QPushButton *save = dialogButton(QStringLiteral("Speichern"), QStringLiteral("saveButton"), this);

    auto *infoBox = new QGroupBox(QStringLiteral(" Projektinformationen "), this);
    auto *infoLayout = new QFormLayout(infoBox);
    infoLayout->addRow(QStringLiteral("Firma:"), m_company);
    infoLayout->addRow(QStringLiteral("Kontaktperson:"), m_contact);
    infoLayout->addRow(QStringLiteral("Telefonnummer:"), m_tel);
    infoLayout->addRow(QStringLiteral("Email:"), m_mail);
    infoLayout->addRow(QStringLiteral("letzte Optimierung am:"), m_lastOptimized);
    infoLayout->addRow(QString(), save);
    infoLayout->itemAt(infoLayout->rowCount() - 1, QFormLayout::FieldRole)->setAlignment(Qt::AlignRight);

    m_newName = new QLineEdit(this);
    m_newName->setObjectName(QStringLiteral("newNameEdit"));
    m_newName->setMaxLength(static_cast<int>(projects::kMaxInfoLength));
    QPushButton *create = dialogButton(QStringLiteral("Neues Projekt erstellen"), QStringLiteral("createButton"), this);
    auto *newBox = new QGroupBox(QStringLiteral(" Neues Projekt "), this);
    auto *newLayout = new QGridLayout(newBox);
    auto *newNameLabel = new QLabel(QStringLiteral("Projektname:"), newBox);
    newNameLabel->setBuddy(m_newName);
    newLayout->addWidget(newNameLabel, 0, 0);
    newLayout->addWidget(m_newName, 0, 1);
    newLayout->addWidget(create, 1, 1, Qt::AlignRight);

    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("statusLine"));
    m_status->setTextFormat(Qt::PlainText);
    // Empty most of the time; it must not make the dialog jump when a text comes.
    m_status->setMinimumHeight(m_status->fontMetrics().height() + 2);

    QPushButton *helpButton = dialogButton(QStringLiteral("Hilfe"), QStringLiteral("helpButton"), this);
    QPushButton *cancel = dialogButton(QStringLiteral("Cancel"), QStringLiteral("cancelButton"), this);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &ProjectManagerDialog::onSelectionChanged);
    connect(m_list, &QListWidget::currentItemChanged, this, &ProjectManagerDialog::onCurrentItemChanged);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &ProjectManagerDialog::onOpenClicked);
    connect(open, &QPushButton::clicked, this, &ProjectManagerDialog::onOpenClicked);
    connect(remove, &QPushButton::clicked, this, &ProjectManagerDialog::onDeleteClicked);
    connect(save, &QPushButton::clicked, this, &ProjectManagerDialog::onSaveClicked);
    connect(create, &QPushButton::clicked, this, &ProjectManagerDialog::onCreateClicked);
    connect(m_newName, &QLineEdit::returnPressed, this, &ProjectManagerDialog::onCreateClicked);
    connect(helpButton, &QPushButton::clicked, this, &ProjectManagerDialog::onHelpClicked);
    connect(cancel, &QPushButton::clicked, this, &ProjectManagerDialog::reject);
    m_controls = { m_list, open, remove, m_company, m_contact, m_tel, m_mail, m_lastOptimized, save, m_newName, create,
        helpButton, cancel };

    auto *listButtons = new QHBoxLayout;
    listButtons->addWidget(open);
    listButtons->addWidget(remove);
    auto *left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(m_list, 1);
    left->addLayout(listButtons);

    auto *currentRow = new QHBoxLayout;
    currentRow->addWidget(currentLabel);
    currentRow->addWidget(m_current, 1);
    auto *right = new QVBoxLayout;
    right->addLayout(currentRow);
    right->addWidget(infoBox);
    right->addWidget(newBox);
    right->addStretch();

    auto *columns = new QHBoxLayout;
    columns->setSpacing(16);
    columns->addLayout(left);
    columns->addLayout(right, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(helpButton);
    bottom->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->addLayout(columns, 1);
    layout->addWidget(m_progress);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    refresh();
    m_list->setFocus();
}

std::vector<std::string> ProjectManagerDialog::entries() const
{
    std::vector<std::string> shown;
    for (int i = 0; i < m_list->count(); ++i)
        shown.push_back(toCp1252(m_list->item(i)->text()));
    return shown;
}

void ProjectManagerDialog::refresh()
{
    setStatus("");
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    const std::string current = programSettings().currentProject;
    m_current->setText(fromCp1252(displayNameMain(current)));
    {
        // Filling the list is no choice of the user's: the fields keep the
        // current project's information.
        const QSignalBlocker quiet(m_list);
        m_list->clear();
        for (const std::string &entry : projects::listEntries())
            m_list->addItem(projectItem(entry, m_list->fontMetrics()));
        // The fields show the current project, so the list marks it too;
        // "Projekt öffnen" and "Projekt löschen" take the marked row.
        selectEntry(displayNameMain(current));
    }
    showInfo(current);
}

void ProjectManagerDialog::showInfo(const std::string &projectName)
{
    const projects::Info info = projects::readInfo(projectName);
    m_company->setText(fromCp1252(info.company));
    m_contact->setText(fromCp1252(info.name));
    m_tel->setText(fromCp1252(info.tel));
    m_mail->setText(fromCp1252(info.mail));
    m_lastOptimized->setText(fromCp1252(info.lastOptimized));
    for (QLineEdit *field : { m_company, m_contact, m_tel, m_mail, m_lastOptimized })
        field->setCursorPosition(0);
}

std::string ProjectManagerDialog::selectedEntry() const
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    return selected.isEmpty() ? std::string() : toCp1252(selected.front()->text());
}

void ProjectManagerDialog::selectEntry(const std::string &entry)
{
    const QString text = fromCp1252(entry);
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->text() == text) {
            m_list->setCurrentRow(i);
            m_list->scrollToItem(m_list->item(i));
            return;
        }
    }
}

void ProjectManagerDialog::setStatus(const std::string &text)
{
    m_status->setText(fromCp1252(text));
}

void ProjectManagerDialog::setBusy(bool busy)
{
    // Disabling the button that has the focus pushes the focus on; it comes
    // back where the user left it.
    if (busy)
        m_focusBeforeJob = focusWidget();
    m_busy = busy;
    for (QWidget *control : m_controls)
        control->setEnabled(!busy);
    m_jobUi.setWaiting(busy);
    if (!busy && m_focusBeforeJob)
        m_focusBeforeJob->setFocus();
}

void ProjectManagerDialog::reject()
{
    if (m_busy)
        return;
    SkinnedDialog::reject();
}

void ProjectManagerDialog::keepCurrentSelected()
{
    // The framed row is the selected one. The list frames a row of its own
    // accord when it gets the focus with none, and a click beside the rows
    // or a Ctrl+click takes the selection away while the frame stays: the
    // buttons would then say that nothing was chosen.
    QListWidgetItem *current = m_list->currentItem();
    if (current && !current->isSelected())
        m_list->setCurrentItem(current, QItemSelectionModel::ClearAndSelect);
}

void ProjectManagerDialog::onCurrentItemChanged() { keepCurrentSelected(); }

void ProjectManagerDialog::onSelectionChanged()
{
    if (m_list->selectedItems().isEmpty()) {
        // Comes back here with the row selected again.
        keepCurrentSelected();
        return;
    }
    const std::string entry = selectedEntry();
    if (!entry.empty())
        showInfo(projects::nameOfEntry(entry));
}

bool ProjectManagerDialog::openEntry(const std::string &entry)
{
    setBusy(true);
    const bool opened = projects::open(
        entry, toCp1252(m_current->text()), m_jobUi, [this](const std::string &text) { setStatus(text); });
    setBusy(false);
    return opened;
}

void ProjectManagerDialog::onOpenClicked()
{
    if (m_busy)
        return;
    if (openEntry(selectedEntry()))
        accept();
}

void ProjectManagerDialog::onDeleteClicked()
{
    if (m_busy)
        return;
    setBusy(true);
    projects::remove(selectedEntry(), m_jobUi, [this](const std::string &text) { setStatus(text); });
    setBusy(false);
    refresh();
}

void ProjectManagerDialog::onSaveClicked()
{
    if (m_busy)
        return;
    projects::Info info;
    info.company = toCp1252(m_company->text());
    info.name = toCp1252(m_contact->text());
    info.tel = toCp1252(m_tel->text());
    info.mail = toCp1252(m_mail->text());
    projects::saveInfo(info, currentUi());
}

void ProjectManagerDialog::onCreateClicked()
{
    if (m_busy)
        return;
    const std::string name = toCp1252(m_newName->text());
    const std::vector<std::string> listed = entries();
    if (const auto problem = projects::newNameProblem(name, listed)) {
        currentUi().message(problem->title, problem->text);
        m_newName->setFocus();
        return;
    }
    NewProjectOptionsDialog options(name, this);
    if (options.exec() != QDialog::Accepted)
        return;
    // In its sorted place, as the next opening will list it.
    const std::string key = lowerCp1252(name);
    int row = 0;
    while (row < m_list->count() && lowerCp1252(toCp1252(m_list->item(row)->text())) < key)
        ++row;
    {
        const QSignalBlocker quiet(m_list);
        m_list->insertItem(row, projectItem(name, m_list->fontMetrics()));
    }
    selectEntry(name);
    if (openEntry(name)) {
        accept();
        return;
    }
    // The new project is current all the same; the dialog must say so.
    refresh();
    selectEntry(name);
}

void ProjectManagerDialog::onHelpClicked()
{
    openHelp(help::kProjects);
}

} // namespace vantor::gui
