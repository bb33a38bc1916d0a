#include "TWrapBoxLayout.h"

#include <QLabel>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {
// The size an item asks for, within its own limits.
QSize ItemSize(QLayoutItem *item)
{
    return item->sizeHint().expandedTo(item->minimumSize()).boundedTo(item->maximumSize());
}

bool TakesRoom(QLayoutItem *item)
{
    return item && !item->isEmpty() && !item->spacerItem();
}
} // namespace

TWrapBoxLayout *TWrapBoxLayout::Replace(QBoxLayout *from)
{
    QWidget *owner = from ? from->parentWidget() : nullptr;
    if (!owner || owner->layout() != from)
        return nullptr;
    const QMargins margins = from->contentsMargins();
    const int spacing = from->spacing();
    const QString name = from->objectName();
    std::vector<QLayoutItem *> items;
    while (QLayoutItem *item = from->takeAt(0))
        items.push_back(item);
    delete from;
    auto *wrap = new TWrapBoxLayout(owner);
    wrap->setObjectName(name);
    wrap->setContentsMargins(margins);
    wrap->setSpacing(spacing);
    for (QLayoutItem *item : items) {
        if (QLayout *child = item->layout()) {
            child->setParent(nullptr);
            wrap->addLayout(child);
        } else {
            wrap->addItem(item);
        }
    }
    return wrap;
}

int TWrapBoxLayout::Gap() const
{
    const int s = spacing();
    return s >= 0 ? s : 6;
}

int TWrapBoxLayout::Arrange(const QRect &rect, bool apply, int *rows) const
{
    const QMargins m = contentsMargins();
    const QRect area = rect.marginsRemoved(m);
    const int gap = Gap();
    int y = area.top();
    int rowCount = 0;
    std::vector<std::pair<QLayoutItem *, QSize>> row;
    int rowWidth = 0, rowHeight = 0;

    auto flush = [&] {
        if (row.empty())
            return;
        if (apply) {
            int x = area.left();
            for (auto &[item, size] : row) {
                item->setGeometry(QRect(QPoint(x, y + (rowHeight - size.height()) / 2), size));
                x += size.width() + gap;
            }
        }
        y += rowHeight + gap;
        ++rowCount;
        row.clear();
        rowWidth = rowHeight = 0;
    };

    for (int i = 0; i < count(); ++i) {
        QLayoutItem *item = itemAt(i);
        if (!TakesRoom(item)) {
            if (apply && item)
                item->setGeometry(QRect(area.topLeft(), QSize(0, 0)));
            continue;
        }
        const QSize size = ItemSize(item);
        // A label stays on the row of the control it names.
        int keep = size.width();
        if (qobject_cast<QLabel *>(item->widget()) && !static_cast<QLabel *>(item->widget())->text().isEmpty())
            for (int j = i + 1; j < count(); ++j)
                if (TakesRoom(itemAt(j))) {
                    keep += gap + ItemSize(itemAt(j)).width();
                    break;
                }
        const int needed = row.empty() ? keep : rowWidth + gap + keep;
        if (!row.empty() && needed > area.width())
            flush();
        rowWidth = row.empty() ? size.width() : rowWidth + gap + size.width();
        rowHeight = std::max(rowHeight, size.height());
        row.emplace_back(item, size);
    }
    flush();
    if (rows)
        *rows = std::max(rowCount, 1);
    const int used = rowCount ? y - gap - area.top() : 0;
    return used + m.top() + m.bottom();
}

void TWrapBoxLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int TWrapBoxLayout::heightForWidth(int width) const
{
    return Arrange(QRect(0, 0, width, 0), false);
}

int TWrapBoxLayout::RowsForWidth(int width) const
{
    int rows = 1;
    Arrange(QRect(0, 0, width, 0), false, &rows);
    return rows;
}

QSize TWrapBoxLayout::sizeHint() const
{
    const QMargins m = contentsMargins();
    int width = 0, height = 0, n = 0;
    for (int i = 0; i < count(); ++i) {
        QLayoutItem *item = itemAt(i);
        if (!TakesRoom(item))
            continue;
        const QSize size = ItemSize(item);
        width += size.width() + (n++ ? Gap() : 0);
        height = std::max(height, size.height());
    }
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

QSize TWrapBoxLayout::minimumSize() const
{
    const QMargins m = contentsMargins();
    QSize widest(0, 0);
    for (int i = 0; i < count(); ++i) {
        QLayoutItem *item = itemAt(i);
        if (TakesRoom(item))
            widest = widest.expandedTo(ItemSize(item));
    }
    return QSize(widest.width() + m.left() + m.right(), widest.height() + m.top() + m.bottom());
}
