// The Import command of the main window: a site picked in the site selector, its digital
// channel allocations read from the Instead configuration and written into the table.

#include "import_command.h"

#include "apply_allocations.h"
#include "editor/shared_routines.h"
#include "files/site_file.h"
#include "files/site_window.h"
#include "instead_files.h"

#include <exception>

namespace mr640 {

using namespace Qt::StringLiterals;

ImportCommand::ImportCommand(ChannelTable& table, Ui& ui, QString& insPath, SiteFile& siteFile,
                             SiteWindow& window)
    : table_(table), ui_(ui), siteFile_(siteFile), window_(window), siteSelector_(ui, insPath)
{
}

void ImportCommand::ImportSite()
{
    std::vector<InsDChannel> allocations;
    try {
        window_.EndEdit();
        if (!window_.QuerySave())
            return;
        siteSelector_.ShowOpen();
        const QString cfgDir = siteSelector_.InsCfgDir();
        if (!cfgDir.isEmpty() && siteSelector_.ButtonPressed() == u"Load")
            allocations = LoadDigitalChannels(cfgDir, ui_);
        if (!allocations.empty()) {
            siteFile_.SetSiteWithoutFile(siteSelector_.InsSiteName());
            ApplyAllocations(allocations);
            window_.SetModified(true);
            window_.StartHistory();
        }
    } catch (const std::exception& e) {
        window_.StartHistory(); // the table may have been reset part way
        ShowInfo(ui_, ErrorReport(u"Error importing Instead channel allocations."_s,
                                  QString::fromLocal8Bit(e.what())));
    }
    siteSelector_.Unload();
}

void ImportCommand::ApplyAllocations(const std::vector<InsDChannel>& allocations)
{
    mr640::ApplyAllocations(table_, allocations, ui_);
    window_.ShowChannelCount();
}

} // namespace mr640
