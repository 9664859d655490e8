#include "instead_sites.h"

#include "dialogs/file_utilities.h"
#include "editor/shared_routines.h"
#include "platform/ui.h"

namespace mr640 {

using namespace Qt::StringLiterals;

SiteList RegisterSites(const QString& configDir, Ui& ui)
{
    SiteList sites(1);
    const QStringList names = GetSubDirectories(configDir, ui);
    if (names.size() - 1 > kMaxSiteDirectories) {
        ui.ShowMessage({ErrorReport(u"Error while registering sites."_s,
                                    u"More than %1 sub-directories."_s.arg(kMaxSiteDirectories)),
                        MessageIcon::Exclamation, MessageButtons::Ok, QString()});
        return sites;
    }
    for (qsizetype i = 1; i < names.size(); ++i) {
        InsSiteInfo site;
        LoadSiteInfo(configDir + u"/"_s + names[i], site, ui);
        if (!site.Name.isEmpty())
            sites.push_back(std::move(site));
    }
    return sites;
}

void FillSiteList(ItemListControl& list, const SiteList& sites)
{
    list.Clear();
    for (std::size_t i = 1; i < sites.size(); ++i)
        list.SetItemData(list.AddItem(sites[i].Name), static_cast<int>(i));
}

} // namespace mr640
