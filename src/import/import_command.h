#pragma once

#include "site_selector.h"

#include <QString>

#include <vector>

namespace mr640 {

class ChannelTable;
class SiteFile;
class SiteWindow;
class Ui;
struct InsDChannel;

// Import: a site picked in the site selector, its digital channel allocations read from
// the Instead configuration and written into the table, which becomes a modified site of
// that name without a file. insPath is the Instead configuration directory, which the
// selector may change. Owned by the window; what it is handed outlives it.
class ImportCommand
{
public:
    ImportCommand(ChannelTable& table, Ui& ui, QString& insPath, SiteFile& siteFile,
                  SiteWindow& window);

    // Fills the table with the digital channel allocations of an Instead site.
    void ImportSite();
    // Resets the table to the size of the site and writes allocation k into row k - 1.
    void ApplyAllocations(const std::vector<InsDChannel>& allocations);

private:
    ChannelTable& table_;
    Ui& ui_;
    SiteFile& siteFile_;
    SiteWindow& window_;
    FrmSiteSelector siteSelector_;
};

} // namespace mr640
