#include "editor/shared_routines.h"
#include "files/site_file.h"
#include "print_labels_dialog.h"
#include "window/channel_grid.h"
#include "window/main_window.h"

namespace mr640 {

void FrmDips::PrintLabels()
{
    grid_->EndEdit();
    // Made on first use: the window's start does not wait for the printing machinery.
    if (!printLabels_)
        printLabels_ = std::make_unique<FrmPrintLabels>(ui_, settings_, this);
    printLabels_->ShowFor(table_, SelectedRows(), siteFile_->siteName(), directories_.filePath);
}

} // namespace mr640
