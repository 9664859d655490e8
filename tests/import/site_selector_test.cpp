#include "import/site_selector.h"
#include "instead_records.h"
#include "dialog_play.h"
#include "scripted_ui.h"
#include "test_files.h"

#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Control;
using test::ScriptedUi;

QStringList Entries(QDialog& dialog)
{
    QStringList texts;
    auto& list = Control<QListWidget>(dialog, "SiteList");
    for (int i = 0; i < list.count(); ++i)
        texts.append(list.item(i)->text());
    return texts;
}

QPushButton& Open(QDialog& d) { return Control<QPushButton>(d, "CmdLoad"); }

class SiteSelector : public ::testing::Test
{
protected:
    ~SiteSelector() override { QDir::setCurrent(saved_); }

    // A site directory configDir/folder whose SiteInfo.cfg names the site.
    void Site(const QString& configDir, const QString& folder, QByteArrayView name) const
    {
        QDir().mkpath(configDir + u'/' + folder);
        test::WriteBytes(configDir + u'/' + folder + u"/SiteInfo.cfg"_s, test::SiteInfoFile(name));
    }
    QString Folder(const QString& name) const
    {
        QDir().mkpath(dir_.filePath(name));
        return dir_.filePath(name);
    }

    void At(std::function<void(QDialog&)> play) { test::AtShown(ui, std::move(play)); }

private:
    QTemporaryDir dir_;
    QString saved_ = QDir::currentPath();

protected:
    ScriptedUi ui;
    QString insPath = Folder(u"config"_s);
    FrmSiteSelector selector{ui, insPath};
};

TEST_F(SiteSelector, ListsTheSitesWithTheFirstSelectedAndOpenAnswersLoad)
{
    Site(insPath, u"w1"_s, "West");
    Site(insPath, u"n1"_s, "North");
    Site(insPath, u"s1"_s, "South");
    At([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), u"Import site"_s);
        EXPECT_EQ(d.size(), QSize(280, 362));
        EXPECT_EQ(Entries(d), (QStringList{u"North"_s, u"South"_s, u"West"_s}));
        EXPECT_EQ(Control<QListWidget>(d, "SiteList").currentRow(), 0);
        EXPECT_TRUE(Open(d).isEnabled());
        EXPECT_TRUE(Open(d).isDefault());
        EXPECT_EQ(Open(d).text(), u"&Open"_s);
        EXPECT_EQ(Control<QPushButton>(d, "CmdCancel").text(), u"&Cancel"_s);
        EXPECT_EQ(Control<QPushButton>(d, "CmdDirSelect").text(), u"&Browse..."_s);
        EXPECT_EQ(Control<QPushButton>(d, "Command1").text(), u"&Help..."_s);
        QTest::keyClick(&d, Qt::Key_Return);
        EXPECT_FALSE(d.isVisible());
    });
    selector.ShowOpen();
    EXPECT_EQ(selector.ButtonPressed(), u"Load"_s);
    EXPECT_EQ(selector.InsSiteName(), u"North"_s);
    EXPECT_EQ(selector.InsCfgDir(), insPath + u"/n1"_s);
}

TEST_F(SiteSelector, WithoutSitesOpenIsDisabledAndDoesNothing)
{
    At([&](QDialog& d) {
        EXPECT_EQ(Entries(d), QStringList{u"[No sites found]"_s});
        EXPECT_FALSE(Open(d).isEnabled());
        QTest::keyClick(&d, Qt::Key_Return);
        auto& list = Control<QListWidget>(d, "SiteList");
        const QPoint at = list.visualItemRect(list.item(0)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(Open(d).isEnabled());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    selector.ShowOpen();
    EXPECT_EQ(selector.ButtonPressed(), u"Cancel"_s);
    EXPECT_EQ(selector.InsSiteName(), QString());
    EXPECT_EQ(selector.InsCfgDir(), QString());
}

TEST_F(SiteSelector, BrowseToAnotherDirectoryListsItsSitesFromThenOn)
{
    const QString other = insPath + u"/elsewhere"_s;
    Site(other, u"e1"_s, "East");
    At([&](QDialog& d) {
        EXPECT_EQ(Entries(d), QStringList{u"[No sites found]"_s});
        Control<QPushButton>(d, "CmdDirSelect").click();
        EXPECT_EQ(Entries(d), QStringList{u"East"_s});
        EXPECT_TRUE(Open(d).isEnabled());
        Open(d).click();
    });
    At([&](QDialog& selectDirectory) {
        EXPECT_EQ(selectDirectory.windowTitle(), u"Select directory"_s);
        auto& dirs = Control<QTreeWidget>(selectDirectory, "Dir1");
        QTreeWidgetItem* open = dirs.currentItem();
        ASSERT_EQ(open->childCount(), 1);
        dirs.setCurrentItem(open->child(0));
        QTest::keyClick(&dirs, Qt::Key_Return);
        Control<QPushButton>(selectDirectory, "CmdOK").click();
    });
    selector.ShowOpen();
    EXPECT_EQ(insPath, other);
    EXPECT_EQ(selector.InsCfgDir(), other + u"/e1"_s);
    selector.Unload();

    At([&](QDialog& d) {
        EXPECT_EQ(Entries(d), QStringList{u"East"_s});
        d.close();
    });
    selector.ShowOpen();
}

TEST_F(SiteSelector, BrowseCancelledChangesNothing)
{
    Site(insPath, u"s1"_s, "South");
    Site(insPath, u"n1"_s, "North");
    const QString before = insPath;
    At([&](QDialog& d) {
        auto& list = Control<QListWidget>(d, "SiteList");
        list.setCurrentRow(1);
        const QStringList entries = Entries(d);
        Control<QPushButton>(d, "CmdDirSelect").click();
        EXPECT_EQ(Entries(d), entries);
        EXPECT_EQ(list.currentRow(), 1);
        Open(d).click();
    });
    At([](QDialog& selectDirectory) { Control<QPushButton>(selectDirectory, "CmdCancel").click(); });
    selector.ShowOpen();
    EXPECT_EQ(insPath, before);
    EXPECT_EQ(selector.InsCfgDir(), insPath + u"/s1"_s); // the second entry by name
    EXPECT_EQ(selector.InsSiteName(), u"South"_s);
}

TEST_F(SiteSelector, ClosingThroughTheFrameChoosesNoSiteWhateverAnEarlierUseLeft)
{
    Site(insPath, u"n1"_s, "North");
    At([](QDialog& d) { Open(d).click(); });
    selector.ShowOpen();
    selector.Unload();

    At([](QDialog& d) { d.close(); });
    selector.ShowOpen();
    EXPECT_EQ(selector.ButtonPressed(), u"Load"_s);
    EXPECT_EQ(selector.InsCfgDir(), QString());
    EXPECT_EQ(selector.InsSiteName(), QString());
}

TEST_F(SiteSelector, HelpShowsTheGuideAndReturnsToTheListUnchanged)
{
    Site(insPath, u"n1"_s, "North");
    At([](QDialog& d) {
        Control<QPushButton>(d, "Command1").click();
        EXPECT_EQ(Entries(d), QStringList{u"North"_s});
        EXPECT_TRUE(Open(d).isEnabled());
        Control<QPushButton>(d, "CmdCancel").click();
    });
    At([](QDialog& help) {
        EXPECT_EQ(help.windowTitle(), u"Help"_s);
        help.close();
    });
    selector.ShowOpen();
    EXPECT_EQ(selector.ButtonPressed(), u"Cancel"_s);
    EXPECT_EQ(selector.InsSiteName(), u"North"_s); // a Cancel keeps the list and its selection
}

} // namespace
} // namespace mr640
