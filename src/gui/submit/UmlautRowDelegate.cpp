#include "submit/UmlautRowDelegate.h"

#include "submit/SubmitStateImages.h"
#include "ui/UmlautRoom.h"

#include <algorithm>

namespace vantor::gui {

int UmlautRowDelegate::rowHeight(const QFontMetrics &metrics)
{
    return std::max(metrics.height() + 2 * umlautOvershoot(metrics) + 2, SubmitStateImages::kSize + 4);
}

QSize UmlautRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), rowHeight(option.fontMetrics)));
    return size;
}

} // namespace vantor::gui
