#include "ui/SlotPanel.h"

#include "submit/SubmitStateImages.h"
#include "submit/UmlautRowDelegate.h"
#include "ui/DialogWidgets.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace vantor::gui {

namespace {

constexpr int kImageRole = Qt::UserRole + 1;
// Rows a slot shows at the least: the lines in work and the last outcomes.
constexpr int kSlotRows = 4;

} // namespace

SlotPanel::SlotPanel(QWidget *parent, Setup setup)
    : m_setup(std::move(setup))
    , m_layout(new QVBoxLayout)
{
    m_layout->setSpacing(4);
    for (int slot = 0; slot < kSlots; ++slot) {
        auto *title = new QLineEdit(parent);
        title->setObjectName(QStringLiteral("slotTitle%1").arg(slot + 1));
        title->setReadOnly(true);
        title->setFocusPolicy(Qt::NoFocus);
        QFont titleFont = title->font();
        titleFont.setBold(true);
        title->setFont(titleFont);
        m_titles[static_cast<std::size_t>(slot)] = title;

        auto *list = new QTreeWidget(parent);
        list->setObjectName(QStringLiteral("slotList%1").arg(slot + 1));
        list->setColumnCount(2);
        list->setHeaderLabels({ m_setup.firstHeader, QStringLiteral("Ergebnis") });
        list->setRootIsDecorated(false);
        list->setIndentation(0);
        list->setUniformRowHeights(true);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        list->setFocusPolicy(Qt::NoFocus);
        list->setIconSize(QSize(SubmitStateImages::kSize, SubmitStateImages::kSize));
        list->setColumnWidth(0, m_setup.firstWidth);
        list->header()->setStretchLastSection(true);
        const int widest = m_setup.widestOutcome ? m_setup.widestOutcome(list->fontMetrics()) : 0;
        list->setMinimumWidth(
            m_setup.firstWidth + widest + 24 + list->verticalScrollBar()->sizeHint().width() + 2 * list->frameWidth());
        list->setItemDelegate(new UmlautRowDelegate(list));
        whiteBase(list);
        list->setMinimumHeight(list->header()->sizeHint().height()
            + kSlotRows * UmlautRowDelegate::rowHeight(list->fontMetrics()) + 2 * list->frameWidth());
        m_lists[static_cast<std::size_t>(slot)] = list;

        m_layout->addWidget(title);
        m_layout->addWidget(list, 1);
        if (slot + 1 < kSlots)
            m_layout->addSpacing(m_setup.gap);
    }
}

QTreeWidget *SlotPanel::list(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return nullptr;
    return m_lists[static_cast<std::size_t>(slot)];
}

void SlotPanel::setTitle(int slot, const QString &text)
{
    if (slot >= 0 && slot < kSlots)
        m_titles[static_cast<std::size_t>(slot)]->setText(text);
}

void SlotPanel::setAllTitles(const QString &text)
{
    for (QLineEdit *title : m_titles)
        title->setText(text);
}

void SlotPanel::clear(int slot)
{
    if (QTreeWidget *slotList = list(slot))
        slotList->clear();
}

void SlotPanel::addLine(int slot, const QString &text, int image)
{
    QTreeWidget *slotList = list(slot);
    if (!slotList)
        return;
    auto *item = new QTreeWidgetItem(slotList, { text, QString() });
    item->setToolTip(0, item->text(0));
    setLineImage(item, image);
    if (m_setup.followNewLines)
        slotList->scrollToItem(item);
}

void SlotPanel::showOutcome(int slot, const QString &line, const QString &outcome, int image, Matching matching)
{
    QTreeWidget *slotList = list(slot);
    if (!slotList)
        return;
    QList<QTreeWidgetItem *> found = slotList->findItems(line, Qt::MatchExactly, 0);
    if (found.isEmpty())
        return;
    if (matching == Matching::First)
        found = { found.front() };
    for (QTreeWidgetItem *item : found) {
        item->setText(1, outcome);
        item->setToolTip(1, item->text(1));
        setLineImage(item, image);
    }
    slotList->scrollToItem(found.back());
}

int SlotPanel::lineImage(const QTreeWidgetItem *item)
{
    return item ? item->data(0, kImageRole).toInt() : 0;
}

void SlotPanel::setLineImage(QTreeWidgetItem *item, int image) const
{
    item->setData(0, kImageRole, image);
    item->setIcon(0, SubmitStateImages::icon(m_setup.stripIndex ? m_setup.stripIndex(image) : image));
}

} // namespace vantor::gui
