// The Import command of the main window: a site picked in the site selector, its digital
// channel allocations read from the Instead configuration and written into the table.

#include "apply_allocations.h"
#include "files/site_file.h"
#include "editor/shared_routines.h"
#include "instead_files.h"
#include "site_selector.h"
#include "window/channel_grid.h"
#include "window/main_window.h"

#include <exception>

namespace mr640 {

using namespace Qt::StringLiterals;

void FrmDips::ImportSite()
{
    std::vector<InsDChannel> allocations;
    try {
        grid_->EndEdit();
        if (!QuerySave())
            return;
        siteSelector_->ShowOpen();
        const QString cfgDir = siteSelector_->InsCfgDir();
        if (!cfgDir.isEmpty() && siteSelector_->ButtonPressed() == u"Load")
            allocations = LoadDigitalChannels(cfgDir, ui_);
        if (!allocations.empty()) {
            siteFile_->SetSiteWithoutFile(siteSelector_->InsSiteName());
            ApplyAllocations(allocations);
            modified_ = true;
            StartHistory();
        }
    } catch (const std::exception& e) {
        StartHistory(); // the table may have been reset part way
        ShowInfo(ui_, ErrorReport(u"Error importing Instead channel allocations."_s,
                                  QString::fromLocal8Bit(e.what())));
    }
    siteSelector_->Unload();
}

void FrmDips::ApplyAllocations(const std::vector<InsDChannel>& allocations)
{
    mr640::ApplyAllocations(table_, allocations, ui_);
    ShowChannelCount();
}

} // namespace mr640
