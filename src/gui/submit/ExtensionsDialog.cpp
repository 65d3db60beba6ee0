#include "submit/ExtensionsDialog.h"

#include "platform/Help.h"
#include "platform/Text.h"
#include "submit/SubmitDocuments.h"
#include "submit/SubmitSettings.h"
#include "submit/UmlautRowDelegate.h"
#include "ui/QtText.h"
#include "ui/Ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

ExtensionsDialog::ExtensionsDialog(const std::string &projectFile, QWidget *parent)
    : SkinnedDialog(parent)
    , m_projectFile(projectFile)
{
    setObjectName(QStringLiteral("extensionsDialog"));
    setWindowTitle(QStringLiteral("Datei-Endungen"));
    setHelpTopic(help::kExtensions);

    auto *intro = new QLabel(QStringLiteral("Bei \"Komplett\" werden alle Dateien mit diesen Endungen angemeldet:"),
                             this);
    intro->setWordWrap(true);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("extensionList"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setItemDelegate(new UmlautRowDelegate(m_list));
    m_list->setMinimumSize(200, 170);

    auto *prefix = new QLabel(QStringLiteral("*."), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("extensionEdit"));
    m_edit->setMaxLength(static_cast<int>(submitdocs::kMaxExtensionLength));
    prefix->setBuddy(m_edit);

    m_add = new QPushButton(QStringLiteral("Hinzufügen"), this);
    m_add->setObjectName(QStringLiteral("addButton"));
    m_add->setDefault(true);
    m_remove = new QPushButton(QStringLiteral("Entfernen"), this);
    m_remove->setObjectName(QStringLiteral("removeButton"));
    m_remove->setAutoDefault(false);
    auto *help = new QPushButton(QStringLiteral("Hilfe"), this);
    help->setObjectName(QStringLiteral("helpButton"));
    help->setAutoDefault(false);
    auto *close = new QPushButton(QStringLiteral("Schliessen"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setAutoDefault(false);

    connect(m_add, &QPushButton::clicked, this, &ExtensionsDialog::onAddClicked);
    connect(m_remove, &QPushButton::clicked, this, &ExtensionsDialog::onRemoveClicked);
    connect(help, &QPushButton::clicked, this, &ExtensionsDialog::onHelpClicked);
    connect(close, &QPushButton::clicked, this, &ExtensionsDialog::reject);
    connect(m_edit, &QLineEdit::textChanged, this, &ExtensionsDialog::updateButtons);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &ExtensionsDialog::updateButtons);

    auto *editRow = new QHBoxLayout;
    editRow->setSpacing(2);
    editRow->addWidget(prefix);
    editRow->addWidget(m_edit);

    auto *buttons = new QVBoxLayout;
    buttons->addLayout(editRow);
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(close);

    auto *columns = new QHBoxLayout;
    columns->addWidget(m_list, 1);
    columns->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(intro);
    layout->addLayout(columns);

    std::vector<std::string> stored = submitsettings::readExtensions(m_projectFile);
    if (stored.empty())
        stored = submitdocs::defaultExtensions();
    for (const std::string &extension : stored)
        m_list->addItem(fromCp1252(extension));
    updateButtons();
    m_edit->setFocus();
}

std::vector<std::string> ExtensionsDialog::extensions() const
{
    std::vector<std::string> result;
    for (int row = 0; row < m_list->count(); ++row)
        result.push_back(toCp1252(m_list->item(row)->text()));
    return result;
}

void ExtensionsDialog::updateButtons()
{
    m_add->setEnabled(!m_edit->text().trimmed().isEmpty() &&
                      m_list->count() < static_cast<int>(submitdocs::kMaxExtensions));
    m_remove->setEnabled(!m_list->selectedItems().isEmpty());
}

void ExtensionsDialog::onAddClicked()
{
    // "*.htm", ".htm" and "htm" all mean the same extension.
    QString extension = m_edit->text().trimmed();
    while (extension.startsWith(QLatin1Char('*')) || extension.startsWith(QLatin1Char('.')))
        extension.remove(0, 1);
    if (extension.isEmpty() || m_list->count() >= static_cast<int>(submitdocs::kMaxExtensions))
        return;
    const QList<QListWidgetItem *> present = m_list->findItems(extension, Qt::MatchFixedString);
    if (present.isEmpty()) {
        m_list->addItem(extension);
        m_list->setCurrentRow(m_list->count() - 1);
    } else {
        m_list->setCurrentItem(present.front());
    }
    m_edit->clear();
    m_edit->setFocus();
    updateButtons();
}

void ExtensionsDialog::onRemoveClicked()
{
    qDeleteAll(m_list->selectedItems());
    updateButtons();
}

void ExtensionsDialog::onHelpClicked() { openHelp(help::kExtensions); }

void ExtensionsDialog::reject()
{
    if (m_list->count() == 0) {
        currentUi().message(de("Datei-Endung fehlt"),
                            de("Geben Sie mindestens eine Datei-Endung (z.B. \"htm\") ein, sonst kann die Anmeldung "
                               "nicht funktionieren."));
        m_edit->setFocus();
        return;
    }
    submitsettings::saveExtensions(m_projectFile, extensions());
    SkinnedDialog::reject();
}

} // namespace vantor::gui
