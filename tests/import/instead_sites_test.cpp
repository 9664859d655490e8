#include "dialogs/window_routines.h"
#include "import/instead_sites.h"
#include "import/list_widget_items.h"
#include "instead_records.h"
#include "scripted_ui.h"
#include "test_files.h"

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::ScriptedUi;
using test::SiteInfoFile;
using test::WriteBytes;

// Listing the sites moves the process's current directory; each test puts it back.
class InsConfigDirectory : public ::testing::Test
{
protected:
    void TearDown() override { QDir::setCurrent(saved_); }

    QString Folder(const QString& name) const
    {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(QDir().mkpath(path)) << path.toStdString();
        return path;
    }
    void Site(const QString& folder, QByteArrayView name) const
    {
        WriteBytes(Folder(folder) + u"/SiteInfo.cfg"_s, SiteInfoFile(name));
    }

    QTemporaryDir dir_;

private:
    QString saved_ = QDir::currentPath();
};

// The sites after position 0, in name order: the file system's order is its own.
SiteList Found(SiteList sites)
{
    EXPECT_FALSE(sites.empty());
    if (sites.empty())
        return {};
    EXPECT_EQ(sites[0], InsSiteInfo());
    sites.erase(sites.begin());
    std::sort(sites.begin(), sites.end(),
              [](const InsSiteInfo& a, const InsSiteInfo& b) { return a.Name < b.Name; });
    return sites;
}

TEST_F(InsConfigDirectory, ListsTheSubDirectoriesWhoseSiteInfoNamesASite)
{
    Site(u"n1"_s, "North");
    Site(u"s2"_s, "South \x96 Yard");
    Site(u"w3"_s, "West");
    Site(u"blank"_s, "");
    Folder(u"nothing"_s);
    Site(u".hidden"_s, "Hidden");
    WriteBytes(dir_.filePath(u"plain"_s), SiteInfoFile("Plain"));

    for (const QString& config : {dir_.path(), dir_.path() + u"/"_s}) {
        SCOPED_TRACE(config.toStdString());
        ScriptedUi ui;
        EXPECT_EQ(Found(RegisterSites(config, ui)),
                  (SiteList{{u"North"_s, config + u"/n1"_s},
                            {u"South \u2013 Yard"_s, config + u"/s2"_s},
                            {u"West"_s, config + u"/w3"_s}}));
        EXPECT_TRUE(ui.Messages().empty());
    }
}

TEST_F(InsConfigDirectory, WithoutSitesOnlyTheEmptyRecordRemains)
{
    Folder(u"empty"_s);
    Folder(u"bare/inner"_s);
    for (const QString& config :
         {dir_.filePath(u"empty"_s), dir_.filePath(u"bare"_s), dir_.filePath(u"missing"_s)}) {
        ScriptedUi ui;
        EXPECT_EQ(RegisterSites(config, ui), SiteList(1)) << config.toStdString();
        EXPECT_TRUE(ui.Messages().empty());
    }
}

TEST_F(InsConfigDirectory, ASiteThatFailsToLoadIsReportedAndLeftOut)
{
    Site(u"good"_s, "Good");
    const QString broken = Folder(u"broken/SiteInfo.cfg"_s);
    ScriptedUi ui;
    EXPECT_EQ(Found(RegisterSites(dir_.path(), ui)),
              (SiteList{{u"Good"_s, dir_.path() + u"/good"_s}}));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith(u"Could not load site info file.\r\n"_s + broken +
                                                 u"\r\n"_s));
}

TEST_F(InsConfigDirectory, MoreSubDirectoriesThanTheCounterHoldsRegisterNothing)
{
    Site(u"a"_s, "A");
    for (int i = 0; i < kMaxSiteDirectories; ++i)
        ASSERT_TRUE(QDir(dir_.path()).mkdir(QString::number(i)));
    ScriptedUi ui;
    EXPECT_EQ(RegisterSites(dir_.path(), ui), SiteList(1));
    EXPECT_EQ(ui.Messages(),
              (std::vector<MessageRequest>{
                  {u"Error while registering sites.\r\nMore than 32767 sub-directories."_s,
                   MessageIcon::Exclamation, MessageButtons::Ok, QString()}}));

    // One fewer is registered as usual.
    ASSERT_TRUE(QDir(dir_.path()).rmdir(u"0"_s));
    ui.ClearShown();
    EXPECT_EQ(Found(RegisterSites(dir_.path(), ui)), (SiteList{{u"A"_s, dir_.path() + u"/a"_s}}));
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(InsFillSiteList, EachEntryCarriesThePositionOfItsSite)
{
    const SiteList sites{
        {}, {u"North"_s, u"/c/n"_s}, {u"Alpha"_s, u"/c/a"_s}, {u"Mid"_s, u"/c/m"_s}};
    for (bool sorted : {false, true}) {
        SCOPED_TRACE(sorted ? "sorted" : "in site order");
        QListWidget list;
        list.setSortingEnabled(sorted);
        list.addItem(u"[No sites found]"_s);
        ListWidgetItems control(list);
        FillSiteList(control, sites);

        ASSERT_EQ(list.count(), 3);
        QStringList texts;
        for (int row = 0; row < list.count(); ++row) {
            texts.append(list.item(row)->text());
            list.setCurrentRow(row);
            const int position = SelectedItemData(list);
            ASSERT_TRUE(position >= 1 && position <= 3) << position;
            EXPECT_EQ(list.item(row)->text(), sites[static_cast<std::size_t>(position)].Name);
        }
        EXPECT_EQ(texts, sorted ? (QStringList{u"Alpha"_s, u"Mid"_s, u"North"_s})
                                : (QStringList{u"North"_s, u"Alpha"_s, u"Mid"_s}));
    }

    QListWidget list;
    list.addItem(u"old"_s);
    ListWidgetItems control(list);
    FillSiteList(control, SiteList(1));
    EXPECT_EQ(list.count(), 0);
}

} // namespace
} // namespace mr640
