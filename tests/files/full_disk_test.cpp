#include "editor/channel_count.h"
#include "files/csv_file.h"
#include "files/dip_file.h"
#include "scratch_mount.h"
#include "test_files.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Question;

// Saves from the main window onto storage that runs out of space: a full device and a file
// system that fills up part-way through the write. The site's file stays as it was, the
// edits stay unsaved and the person is told why.
class FullDisk : public test::WindowTest
{
protected:
    std::vector<ChannelRow> Unit(const QString& first)
    {
        std::vector<ChannelRow> rows(384);
        FillDefaultRows(rows, 0);
        rows[0].relNam = first;
        return rows;
    }

    // Grows the open site to eight units from the channel-count list, as the user would;
    // the table no longer fits the small file system.
    void GrowToEightUnits()
    {
        Window().findChild<QComboBox*>(u"CmbNoChans"_s)->setCurrentIndex(7);
        ASSERT_EQ(Window().Table().rowCount(), 3072);
        ASSERT_TRUE(Window().modified());
    }

    static MessageRequest NoSpace(const QString& path)
    {
        return test::SaveFailure(path, u"No space left on device"_s);
    }
    const MessageRequest kSaveQuestion =
        Question(u"Save this site before closing?"_s, MessageButtons::YesNoCancel);
};

TEST_F(FullDisk, AFullDeviceIsReportedAndNeitherAdoptedNorLetThroughAtClose)
{
    if (!QFileInfo::exists(u"/dev/full"_s))
        GTEST_SKIP() << "no /dev/full here";
    // A dip name for the device, as a card reader's device file might be reached.
    const QString card = SitePath(u"card.dip"_s);
    ASSERT_TRUE(QFile::link(u"/dev/full"_s, card));
    FrmDips& w = Start();
    w.Table().setData(w.Table().index(0, FieldRelNam), u"12 TPR"_s);
    w.SetModified(true);

    ui.ChooseFile(card);
    EXPECT_FALSE(w.SaveSiteAs());
    EXPECT_EQ(ui.Messages(), std::vector{NoSpace(card)});
    EXPECT_TRUE(w.currentFile().isEmpty());
    EXPECT_EQ(w.windowTitle(), u"MR640 configuration editor"_s);
    EXPECT_TRUE(w.modified());
    EXPECT_EQ(QFileInfo(card).symLinkTarget(), u"/dev/full"_s);

    // Yes at the close saves through the same dialog; the failed write keeps the window.
    ui.ClearShown();
    ui.Answer(MessageButton::Yes).ChooseFile(card);
    EXPECT_FALSE(w.close());
    EXPECT_EQ(ui.Messages(), (std::vector{kSaveQuestion, NoSpace(card)}));
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.modified());
    EXPECT_EQ(w.Table().Row(0).relNam, u"12 TPR"_s);
}

TEST_F(FullDisk, AFileSystemFillingUpDuringTheSaveKeepsTheOldFiles)
{
    test::ScratchMount disk("size=64k");
    if (!disk.Mounted())
        GTEST_SKIP() << disk.Failure();
    // 15 KB of dip file and 9 KB of CSV on 64 KB; the grown table needs 120 KB and 70 KB.
    const QString site = disk.FilePath(u"north.dip"_s);
    const QString copy = disk.FilePath(u"north.csv"_s);
    test::WriteBytes(site, EncodeDip(Unit(u"12 TPR"_s)));
    test::WriteBytes(copy, EncodeCsv(Unit(u"12 TPR"_s)));
    const QByteArray siteBefore = test::ReadBytes(site);
    const QByteArray copyBefore = test::ReadBytes(copy);
    FrmDips& w = Start();
    ui.ChooseFile(site);
    w.OpenSite();
    GrowToEightUnits();
    w.Table().setData(w.Table().index(3000, FieldRelNam), u"far away"_s);
    ui.ClearShown();

    // Save, onto the site's own file.
    EXPECT_FALSE(w.SaveSite());
    EXPECT_EQ(ui.Messages(), std::vector{NoSpace(site)});
    EXPECT_EQ(test::ReadBytes(site), siteBefore);
    EXPECT_TRUE(w.modified());
    EXPECT_EQ(w.currentFile(), site);

    // Save as a new dip file and as CSV over the older copy.
    ui.ClearShown();
    ui.ChooseFile(disk.FilePath(u"south.dip"_s)).ChooseFile(copy);
    EXPECT_FALSE(w.SaveSiteAs());
    EXPECT_FALSE(w.SaveSiteAs());
    EXPECT_EQ(ui.Messages(), (std::vector{NoSpace(disk.FilePath(u"south.dip"_s)), NoSpace(copy)}));
    EXPECT_EQ(test::ReadBytes(copy), copyBefore);
    EXPECT_EQ(w.currentFile(), site);
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
    EXPECT_TRUE(w.modified());
    EXPECT_EQ(w.Table().Row(3000).relNam, u"far away"_s);

    // The failed saves left nothing behind, so the space is free again.
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{u"north.csv"_s, u"north.dip"_s}));
    ui.ClearShown();
    ui.Answer(MessageButton::Yes);
    EXPECT_FALSE(w.close());
    EXPECT_EQ(ui.Messages(), (std::vector{kSaveQuestion, NoSpace(site)}));

    // Once there is room, the same Save goes through.
    ASSERT_TRUE(QFile::remove(copy));
    w.SetChannelCount(768, FillAddedRows);
    EXPECT_TRUE(w.SaveSite());
    EXPECT_EQ(test::ReadBytes(site), EncodeDip(w.Table().Rows()));
}

} // namespace
} // namespace mr640
