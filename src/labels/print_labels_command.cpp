#include "print_labels_command.h"

#include "editor/settings.h"
#include "files/site_file.h"
#include "files/site_window.h"
#include "print_labels_dialog.h"

#include <utility>
#include <vector>

namespace mr640 {

PrintLabelsCommand::PrintLabelsCommand(const ChannelTable& table, Ui& ui, SettingsStore& settings,
                                       const DirectorySettings& directories,
                                       const SiteFile& siteFile, SiteWindow& window,
                                       QWidget& parent)
    : table_(table), ui_(ui), settings_(settings), directories_(directories), siteFile_(siteFile),
      window_(window), parent_(parent)
{
}

PrintLabelsCommand::~PrintLabelsCommand() = default;

void PrintLabelsCommand::PrintLabels()
{
    window_.EndEdit();
    std::vector<int> selected = window_.SelectedRows();
    // Made on first use: the window's start does not wait for the printing machinery.
    if (!dialog_)
        dialog_ = std::make_unique<FrmPrintLabels>(ui_, settings_, &parent_);
    dialog_->ShowFor(table_, std::move(selected), siteFile_.siteName(), directories_.filePath);
}

} // namespace mr640
