#include "dialogs/file_selector.h"
#include "scratch_mount.h"
#include "dialog_play.h"
#include "scripted_ui.h"
#include "test_files.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <sys/mount.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Control;
using test::ScriptedUi;

// The selector as the person meets it: each play shows the dialog, acts on its controls
// and lets the test look at them.
class DirectorySelector : public ::testing::Test
{
protected:
    DirectorySelector()
    {
        Make(u"site/a.txt"_s);
        Make(u"site/noext"_s);
        Make(u"site/Z.CFG"_s);
        Make(u"site/north/SiteInfo.cfg"_s);
        QDir().mkpath(dir_.filePath(u"site/south"_s));
    }
    ~DirectorySelector() override { QDir::setCurrent(saved_); }

    void Make(const QString& name) const
    {
        QDir().mkpath(QFileInfo(dir_.filePath(name)).path());
        test::WriteBytes(dir_.filePath(name), "x");
    }
    QString Site() const { return dir_.filePath(u"site"_s); }
    QString Root() const { return dir_.path(); }

    void At(std::function<void(QDialog&)> play) { test::AtShown(ui, std::move(play)); }

    ScriptedUi ui;
    FrmFileSelector selector{ui};

private:
    QTemporaryDir dir_;
    QString saved_ = QDir::currentPath();
};

QStringList Files(QDialog& dialog)
{
    QStringList names;
    auto& list = Control<QListWidget>(dialog, "File1");
    for (int i = 0; i < list.count(); ++i)
        names.append(list.item(i)->text());
    return names;
}

QTreeWidgetItem* Child(QTreeWidgetItem* item, const QString& name)
{
    for (int i = 0; i < item->childCount(); ++i)
        if (item->child(i)->text(0) == name)
            return item->child(i);
    return nullptr;
}

// A double-click as the person makes it: a click, then the second press.
void DoubleClick(QAbstractItemView& list, const QModelIndex& index)
{
    const QPoint at = list.visualRect(index).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

void DoubleClick(QTreeWidget& list, QTreeWidgetItem* item)
{
    DoubleClick(list, list.indexFromItem(item));
}

TEST_F(DirectorySelector, StartsInTheGivenDirectoryAndSelectAnswersOpenWithIt)
{
    At([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), u"Select directory"_s);
        EXPECT_EQ(d.size(), QSize(463, 280));
        EXPECT_EQ(d.minimumSize(), d.maximumSize());
        EXPECT_EQ(Control<QLabel>(d, "Label3").text(), u"Tip: This will usually be \"c:\\program files\\sentinel\\config\""_s);
        auto& ok = Control<QPushButton>(d, "CmdOK");
        EXPECT_EQ(ok.text(), u"&Select"_s);
        EXPECT_TRUE(ok.isEnabled());
        EXPECT_TRUE(ok.isDefault());
        EXPECT_TRUE(ok.hasFocus());
        EXPECT_EQ(Control<QPushButton>(d, "CmdCancel").text(), u"&Cancel"_s);
        EXPECT_EQ(Files(d), (QStringList{u"a.txt"_s, u"noext"_s, u"Z.CFG"_s}));
        QTreeWidgetItem* open = Control<QTreeWidget>(d, "Dir1").currentItem();
        ASSERT_NE(open, nullptr);
        EXPECT_EQ(open->text(0), u"site"_s);
        EXPECT_EQ(open->childCount(), 2);
        EXPECT_EQ(QDir::currentPath(), Site());
        QTest::keyClick(&d, Qt::Key_Return);
        EXPECT_FALSE(d.isVisible());
    });
    selector.ShowSelectDirectory(Site() + u'/');
    EXPECT_EQ(selector.ButtonPressed(), u"Open"_s);
    EXPECT_EQ(selector.Path(), Site());
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(DirectorySelector, OnlyAnOpenedDirectoryBecomesThePath)
{
    At([&](QDialog& d) {
        auto& dirs = Control<QTreeWidget>(d, "Dir1");
        DoubleClick(dirs, Child(dirs.currentItem(), u"north"_s));
        EXPECT_EQ(dirs.currentItem()->text(0), u"north"_s);
        EXPECT_EQ(Files(d), QStringList{u"SiteInfo.cfg"_s});
        EXPECT_EQ(QDir::currentPath(), Site() + u"/north"_s);

        // Enter opens the highlighted ancestor without ending the dialog.
        dirs.setCurrentItem(dirs.currentItem()->parent());
        QTest::keyClick(&dirs, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(Files(d), (QStringList{u"a.txt"_s, u"noext"_s, u"Z.CFG"_s}));

        // Highlighting alone changes nothing.
        dirs.setCurrentItem(Child(dirs.currentItem(), u"south"_s));
        Control<QPushButton>(d, "CmdOK").click();
    });
    selector.ShowSelectDirectory(Site());
    EXPECT_EQ(selector.Path(), Site());
}

TEST_F(DirectorySelector, ADoubleClickOnAFileActsAsSelect)
{
    At([&](QDialog& d) {
        auto& files = Control<QListWidget>(d, "File1");
        files.item(1)->setSelected(true);
        EXPECT_TRUE(d.isVisible()); // a single click does nothing
        DoubleClick(files, files.indexFromItem(files.item(1)));
        EXPECT_FALSE(d.isVisible());
    });
    selector.ShowSelectDirectory(Site());
    EXPECT_EQ(selector.ButtonPressed(), u"Open"_s);
    EXPECT_EQ(selector.Path(), Site());
}

TEST_F(DirectorySelector, CancelAndEscAnswerCancel)
{
    At([](QDialog& d) { Control<QPushButton>(d, "CmdCancel").click(); });
    selector.ShowSelectDirectory(Site());
    EXPECT_EQ(selector.ButtonPressed(), u"Cancel"_s);

    At([](QDialog& d) { Control<QPushButton>(d, "CmdOK").click(); });
    selector.ShowSelectDirectory(Site());
    selector.Unload();
    At([](QDialog& d) {
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
    });
    selector.ShowSelectDirectory(Site());
    EXPECT_EQ(selector.ButtonPressed(), u"Cancel"_s);
}

TEST_F(DirectorySelector, ClosingThroughTheFrameLeavesTheAnswerOfTheLastUse)
{
    At([](QDialog& d) { d.close(); });
    selector.ShowSelectDirectory(Site());
    EXPECT_EQ(selector.ButtonPressed(), QString());

    At([](QDialog& d) { Control<QPushButton>(d, "CmdOK").click(); });
    selector.ShowSelectDirectory(Site());
    selector.Unload();

    At([](QDialog& d) {
        d.close();
        EXPECT_FALSE(d.isVisible());
    });
    selector.ShowSelectDirectory(Root());
    EXPECT_EQ(selector.ButtonPressed(), u"Open"_s);
}

TEST_F(DirectorySelector, AMissingStartShowsTheDirectoryLastShownOnItsDrive)
{
    At([](QDialog& d) { Control<QPushButton>(d, "CmdOK").click(); });
    selector.ShowSelectDirectory(Site());
    selector.Unload();

    At([&](QDialog& d) {
        EXPECT_EQ(Control<QTreeWidget>(d, "Dir1").currentItem()->text(0), u"site"_s);
        EXPECT_EQ(Files(d).size(), 3);
        Control<QPushButton>(d, "CmdOK").click();
    });
    selector.ShowSelectDirectory(Site() + u"/gone/away"_s);
    EXPECT_EQ(selector.Path(), Site());
    EXPECT_TRUE(ui.Messages().empty());
}

// A mounted file system for the drive list; it is taken away while the dialog is open.
TEST_F(DirectorySelector, ADriveThatIsGoneIsNotReadyAndTheListReturnsToTheLastGoodDrive)
{
    const QString volume = Root() + u"/volume"_s;
    ASSERT_TRUE(QDir().mkpath(volume));
    test::ScratchMount mount("size=64k", volume);
    if (!mount.Mounted())
        GTEST_SKIP() << mount.Failure();
    test::WriteBytes(volume + u"/on-volume.txt"_s, "x");

    At([&](QDialog& d) {
        auto& drives = Control<QComboBox>(d, "Drive1");
        const int site = drives.currentIndex();
        const int other = drives.findData(volume);
        ASSERT_GE(other, 0);

        drives.setCurrentIndex(other);
        EXPECT_EQ(Files(d), QStringList{u"on-volume.txt"_s});
        drives.setCurrentIndex(site); // back to the directory last shown there
        EXPECT_EQ(Files(d).size(), 3);

        ASSERT_EQ(::umount2(QFile::encodeName(volume).constData(), MNT_DETACH), 0);
        ASSERT_TRUE(QDir().rmdir(volume));
        drives.setCurrentIndex(other);
        EXPECT_EQ(drives.currentIndex(), site);
        EXPECT_EQ(Control<QTreeWidget>(d, "Dir1").currentItem()->text(0), u"site"_s);
        Control<QPushButton>(d, "CmdOK").click();
    });
    selector.ShowSelectDirectory(Site());
    const MessageRequest notReady{u"Drive not ready"_s, MessageIcon::Exclamation, MessageButtons::Ok, QString()};
    EXPECT_EQ(ui.Messages(), std::vector{notReady});
    EXPECT_EQ(selector.Path(), Site());
}

} // namespace
} // namespace mr640
