#pragma once

#include <QStringList>
#include <QTreeWidget>

namespace vantor::gui {

// The rows of the watch list. Dragged rows carry their texts, as plain
// text for any field and under a type of our own, by which a wizard page
// knows a term from the list and takes it in the way a double-click does.
class WatchListView : public QTreeWidget
{
    Q_OBJECT
public:
    static constexpr const char *kTermsMimeType = "application/x-vantor-watchlist-terms";

    explicit WatchListView(QWidget *parent = nullptr);

    // The width the column needs for its widest text and picture.
    int contentWidth() const { return sizeHintForColumn(0); }

    // The terms a drag from the list carries, one per line; empty for
    // anything else.
    static QStringList termsOf(const QMimeData *data);

protected:
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override;
    void startDrag(Qt::DropActions supportedActions) override;
};

} // namespace vantor::gui
