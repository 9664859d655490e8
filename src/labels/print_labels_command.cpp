#include "editor/shared_routines.h"
#include "print_labels_dialog.h"
#include "window/channel_grid.h"
#include "window/main_window.h"

#include <QItemSelectionModel>
#include <set>

namespace mr640 {

void FrmDips::PrintLabels()
{
    grid_->EndEdit();
    std::set<int> rows;
    for (const QModelIndex& index : grid_->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    // Made on first use: the window's start does not wait for the printing machinery.
    if (!printLabels_)
        printLabels_ = std::make_unique<FrmPrintLabels>(ui_, settings_, this);
    printLabels_->ShowFor(table_, {rows.begin(), rows.end()}, siteName_, directories_.filePath);
}

} // namespace mr640
