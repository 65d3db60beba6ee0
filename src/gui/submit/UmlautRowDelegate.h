#pragma once

#include <QStyledItemDelegate>

namespace vantor::gui {

// Rows of a list as tall as their font cut off the dots of a capital umlaut
// ("Suchmaschine Ö" reads "Suchmaschine O"): the row below paints over them.
// This gives every row that room, and the state images a little air.
class UmlautRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The height every row gets in a view with this font.
    static int rowHeight(const QFontMetrics &metrics);
};

} // namespace vantor::gui
