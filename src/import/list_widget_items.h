#pragma once

#include "instead_sites.h"

class QListWidget;

namespace mr640 {

// A list widget seen as the list control FillSiteList fills. The item data goes into
// Qt::UserRole, where SelectedItemData reads it. The widget is not owned.
class ListWidgetItems : public ItemListControl
{
public:
    explicit ListWidgetItems(QListWidget& list) : list_(list) {}

    void Clear() override;
    int AddItem(const QString& text) override;
    void SetItemData(int index, int data) override;

private:
    QListWidget& list_;
};

} // namespace mr640
