#include "research/WatchListView.h"

#include <QMimeData>

#include <algorithm>

namespace vantor::gui {

WatchListView::WatchListView(QWidget *parent)
    : QTreeWidget(parent)
{
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

QStringList WatchListView::termsOf(const QMimeData *data)
{
    if (!data || !data->hasFormat(QString::fromLatin1(kTermsMimeType)))
        return {};
    return QString::fromUtf8(data->data(QString::fromLatin1(kTermsMimeType)))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList WatchListView::mimeTypes() const
{
    return { QString::fromLatin1(kTermsMimeType), QStringLiteral("text/plain") };
}

QMimeData *WatchListView::mimeData(const QList<QTreeWidgetItem *> &items) const
{
    // In the order of the list, whatever order the rows were selected in.
    QList<QTreeWidgetItem *> rows = items;
    std::sort(rows.begin(), rows.end(),
        [this](QTreeWidgetItem *a, QTreeWidgetItem *b) { return indexOfTopLevelItem(a) < indexOfTopLevelItem(b); });
    QStringList texts;
    for (const QTreeWidgetItem *row : rows)
        texts << row->text(0);
    if (texts.isEmpty())
        return nullptr;
    auto *data = new QMimeData;
    data->setData(QString::fromLatin1(kTermsMimeType), texts.join(QLatin1Char('\n')).toUtf8());
    data->setText(texts.join(QLatin1Char('\n')));
    return data;
}

void WatchListView::startDrag(Qt::DropActions supportedActions)
{
    QTreeWidget::startDrag(supportedActions);
    // The page a term was dropped on came to the front for the keyboard;
    // the list stays in sight above it for the next one.
    window()->raise();
}

} // namespace vantor::gui
