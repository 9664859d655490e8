#include "list_widget_items.h"

#include <QListWidget>

namespace mr640 {

void ListWidgetItems::Clear()
{
    list_.clear();
}

int ListWidgetItems::AddItem(const QString& text)
{
    // A sorting widget inserts the item at its sorted place; ask where it went.
    auto* item = new QListWidgetItem(text);
    list_.addItem(item);
    return list_.row(item);
}

void ListWidgetItems::SetItemData(int index, int data)
{
    if (QListWidgetItem* item = list_.item(index))
        item->setData(Qt::UserRole, data);
}

} // namespace mr640
