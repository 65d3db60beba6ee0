#include "ui/ListEditing.h"

#include "platform/Text.h"
#include "ui/DialogWidgets.h"
#include "ui/QtText.h"
#include "ui/Ui.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>

namespace vantor::gui {

namespace {

constexpr int kWipeLines = 14;
constexpr int kWipeLinePause = 10;
constexpr int kWipeEndPause = 100;
constexpr int kLoadLinePause = 40;
constexpr int kRemovePause = 10;

} // namespace

ListEditing::ListEditing(QWidget *dialog)
    : m_dialog(dialog)
{
}

QPushButton *ListEditing::button(const QString &text, const QString &name)
{
    QPushButton *pushButton = dialogButton(text, name, m_dialog);
    m_controls.push_back(pushButton);
    return pushButton;
}

ListEditing::CloseRow ListEditing::closeRow()
{
    CloseRow row;
    row.start = button(QStringLiteral("Starten"), QStringLiteral("startButton"));
    row.start->setDefault(true);
    row.cancel = button(QStringLiteral("Abbrechen"), QStringLiteral("cancelButton"));
    row.help = button(QStringLiteral("Hilfe"), QStringLiteral("helpButton"));
    row.layout = new QHBoxLayout;
    row.layout->addWidget(row.help);
    row.layout->addStretch();
    row.layout->addWidget(row.start);
    row.layout->addWidget(row.cancel);
    return row;
}

void ListEditing::disableWhileBusy(QWidget *widget)
{
    m_controls.push_back(widget);
}

void ListEditing::setBusy(bool busy)
{
    m_busy = busy;
    for (QWidget *control : m_controls)
        control->setEnabled(!busy);
}

void ListEditing::removeSelected(QListWidget *list, bool keepOne)
{
    if (m_busy)
        return;
    const QList<QListWidgetItem *> selected = list->selectedItems();
    if (selected.isEmpty())
        return;
    setBusy(true);
    bool first = true;
    for (QListWidgetItem *item : selected) {
        if (keepOne && list->count() <= 1) {
            showEmptyList();
            break;
        }
        if (!first)
            currentUi().pause(kRemovePause);
        first = false;
        delete item;
    }
    setBusy(false);
}

void ListEditing::replaceRows(QListWidget *list, const std::function<std::vector<std::string>()> &load,
    const std::function<void(const std::string &)> &addRow)
{
    if (m_busy)
        return;
    setBusy(true);
    list->clearSelection();
    for (int line = 0; line < kWipeLines; ++line) {
        list->addItem(QString());
        list->scrollToBottom();
        currentUi().pause(kWipeLinePause);
    }
    currentUi().pause(kWipeEndPause);
    list->clear();
    const std::vector<std::string> rows = load();
    for (std::size_t index = 0; index < rows.size(); ++index) {
        addRow(rows[index]);
        if (index < static_cast<std::size_t>(kWipeLines))
            currentUi().pause(kLoadLinePause);
    }
    setBusy(false);
}

std::vector<std::string> ListEditing::rows(const QListWidget *list)
{
    std::vector<std::string> texts;
    for (int row = 0; row < list->count(); ++row)
        texts.push_back(toCp1252(list->item(row)->text()));
    return texts;
}

void ListEditing::showEmptyList()
{
    currentUi().message(de("Leere Liste"), de("Die Liste darf nicht leer sein!"));
}

void ListEditing::showListSaved()
{
    currentUi().message(de("Liste gespeichert"),
        de("Die Liste der anzumeldenden Seiten wurde beim Projekt gespeichert. Sie können diese in "
           "Zukunft an dieser Stelle jederzeit laden."));
}

} // namespace vantor::gui
