#pragma once

#include "instead_files.h"

#include <QString>
#include <vector>

namespace mr640 {

class Ui;

// The sites of a configuration directory: element 0 is always an empty record (empty
// Name and CfgDir), which answers "no site"; the sites found are elements 1 to N.
using SiteList = std::vector<InsSiteInfo>;

// The most sub-directories a configuration directory may hold.
inline constexpr int kMaxSiteDirectories = 32767;

// The site list of configDir: each sub-directory (GetSubDirectories, in the order the
// file system delivers them) whose SiteInfo.cfg names a site, with CfgDir = configDir +
// "/" + the sub-directory's name; a trailing "/" on configDir is not looked at, so it
// gives "//". Sub-directories without SiteInfo.cfg, or with an empty site name, are left
// out silently. Never fails to its caller: more than kMaxSiteDirectories sub-directories
// show "Error while registering sites." with the description (exclamation icon, OK, no
// title of its own) and give the list with only element 0. The readers' and the
// listing's own failures are reported by them; a SiteInfo.cfg that fails after its name
// was read still lists the site, with an empty CfgDir.
SiteList RegisterSites(const QString& configDir, Ui& ui);

// The operations FillSiteList needs of a list control.
class ItemListControl
{
public:
    virtual ~ItemListControl() = default;

    virtual void Clear() = 0;
    // Adds an entry and answers its index as the control reports it; a control that
    // sorts its entries may have put it anywhere.
    virtual int AddItem(const QString& text) = 0;
    // Attaches a whole number to the entry at index.
    virtual void SetItemData(int index, int data) = 0;
};

// Clears list and adds one entry per site 1..N, in site order, with the site's Name as
// text and the site's position in sites as item data, so a sorting control still maps
// each entry to its site. Element 0 is never listed.
void FillSiteList(ItemListControl& list, const SiteList& sites);

} // namespace mr640
