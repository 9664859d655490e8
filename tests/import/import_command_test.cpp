#include "editor/channel_count.h"
#include "instead_records.h"
#include "test_files.h"
#include "window/edit_history.h"
#include "window_fixture.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Info;
using test::RecordBytes;

struct Allocation
{
    QByteArray name;
    std::int16_t back = 0;
};

QByteArray DChannelFile(const std::vector<Allocation>& allocations)
{
    RecordBytes bytes;
    bytes.Raw(test::kDChannelHeader).Int16(static_cast<std::int16_t>(allocations.size()));
    for (const Allocation& a : allocations)
        bytes.Allocation(a.name, a.back);
    return bytes.Bytes();
}

// n allocations named R1, R2, ..., all front contacts.
std::vector<Allocation> Numbered(int n)
{
    std::vector<Allocation> list;
    for (int i = 1; i <= n; ++i)
        list.push_back({"R" + QByteArray::number(i), 0});
    return list;
}

class ImportCommand : public test::WindowTest
{
protected:
    ~ImportCommand() override { QDir::setCurrent(saved_); }

    // The Instead configuration directory holds the one site "Ashford" in folder s1; the
    // editor's insPath points at it.
    QString SiteFolder() const { return config_.filePath(u"s1"_s); }
    void MakeSite(QByteArrayView name = "Ashford")
    {
        QDir().mkpath(SiteFolder());
        test::WriteBytes(SiteFolder() + u"/SiteInfo.cfg"_s, test::SiteInfoFile(name));
        Window().Directories().insPath = config_.path();
    }
    void Import(const std::vector<Allocation>& allocations)
    {
        MakeSite();
        test::WriteBytes(SiteFolder() + u"/DChannel.cfg"_s, DChannelFile(allocations));
        OpenTheFirstSite();
        Window().ImportSite();
    }
    void OpenTheFirstSite()
    {
        ui.AtModal([](QDialog& d) {
            d.findChild<QPushButton*>(u"CmdLoad"_s)->click();
            return 0;
        });
    }
    const ChannelRow& Row(int r) { return Window().Table().Row(r); }

    QTemporaryDir config_;

private:
    QString saved_ = QDir::currentPath();
};

TEST_F(ImportCommand, OneAllocationFillsTheFirstRowOfADefaultTable)
{
    FrmDips& w = Start();
    Import({{"12 TPR", -1}});
    EXPECT_EQ(ui.Messages(), std::vector{Info(u"1 channels imported"_s)});
    ASSERT_EQ(w.Table().rowCount(), 384);
    EXPECT_EQ(Row(0), (ChannelRow{u"AA01"_s, u"12 TPR"_s, true, u"UP"_s, u"DN"_s}));
    EXPECT_EQ(Row(1), (ChannelRow{u"AA02"_s, u"Spare AA02"_s, false, u"UP"_s, u"DN"_s}));
    EXPECT_EQ(Row(383).relNam, u"Spare AH48"_s);
    EXPECT_EQ(w.windowTitle(), u"Ashford - MR640 configuration editor"_s);
    EXPECT_EQ(w.siteName(), u"Ashford"_s);
    EXPECT_TRUE(w.currentFile().isEmpty());
    EXPECT_TRUE(w.modified());

    ui.CancelFileDialog(); // no file: Save asks for one
    EXPECT_FALSE(w.SaveSite());
    EXPECT_EQ(ui.FileDialogs().size(), 1u);
}

TEST_F(ImportCommand, TheTableTakesTheSmallestSizeThatHoldsTheSite)
{
    FrmDips& w = Start();
    Import(Numbered(384));
    EXPECT_EQ(w.Table().rowCount(), 384);
    EXPECT_EQ(Row(383).relNam, u"R384"_s);

    ui.Answer(MessageButton::No); // the first import is not saved
    Import(Numbered(385));
    ASSERT_EQ(w.Table().rowCount(), 768);
    EXPECT_EQ(Row(384).relNam, u"R385"_s);
    EXPECT_EQ(Row(385).relNam, u"Spare BA02"_s);
    EXPECT_EQ(Row(767).relNam, u"Spare BH48"_s);
    EXPECT_EQ(ui.MessageTexts(), (QStringList{u"384 channels imported"_s, u"Save this site before closing?"_s,
                                              u"385 channels imported"_s}));
}

TEST_F(ImportCommand, MoreAllocationsThanTheLimitAreReportedAndCut)
{
    FrmDips& w = Start();
    ui.AtModal([](QDialog& d) {
        EXPECT_EQ(d.findChild<QListWidget*>(u"SiteList"_s)->item(0)->text(), u"[No sites found]"_s);
        d.close();
        return 0;
    });
    w.Directories().insPath = config_.path();
    w.Toolbar1_ButtonClick(u"Import"_s); // no site yet
    Import(Numbered(4000));
    EXPECT_EQ(ui.MessageTexts(), (QStringList{u"This copy of MR640Config can handle a maximum of 3072 channels."_s,
                                              u"3072 channels imported"_s}));
    ASSERT_EQ(w.Table().rowCount(), 3072);
    EXPECT_EQ(Row(3071).relNam, u"R3072"_s);
}

TEST_F(ImportCommand, SpareSpellingsAndEmptyNamesGetTheDefaultSpareName)
{
    Start();
    std::vector<Allocation> list = Numbered(385);
    list[0].name = "spare";
    list[1].name = "  Spare ";
    list[2].name = "SPARE";
    list[3].name = " (spare)";
    list[4].name = "   ";
    list[5].name = "spare 2";
    list[48].name = "(Spare)";
    list[384].name = "";
    Import(list);
    EXPECT_EQ(Row(0).relNam, u"Spare AA01"_s);
    EXPECT_EQ(Row(1).relNam, u"Spare AA02"_s);
    EXPECT_EQ(Row(2).relNam, u"Spare AA03"_s);
    EXPECT_EQ(Row(3).relNam, u"Spare AA04"_s);
    EXPECT_EQ(Row(4).relNam, u"Spare AA05"_s);
    EXPECT_EQ(Row(5).relNam, u"spare 2"_s);
    EXPECT_EQ(Row(48).relNam, u"Spare AB01"_s);
    EXPECT_EQ(Row(384).relNam, u"Spare BA01"_s);
    EXPECT_EQ(ui.MessageTexts(), QStringList{u"385 channels imported"_s});
}

TEST_F(ImportCommand, NamesLongerThanSixteenCharactersAreCutAndEachCutIsReported)
{
    Start();
    std::vector<Allocation> list = Numbered(17);
    list[0].name = "ABCDEFGHIJKLMNOP";       // 16: kept
    list[1].name = "  ABCDEFGH JKLMNOP  ";   // 16 inside blanks: kept, inner blank too
    list[2].name = "ABCDEFGHIJKLMNOPQ";      // 17
    list[16].name = " ABCDEFGHIJKLMNOPQRST"; // 20
    Import(list);
    EXPECT_EQ(Row(0).relNam, u"ABCDEFGHIJKLMNOP"_s);
    EXPECT_EQ(Row(1).relNam, u"ABCDEFGH JKLMNOP"_s);
    EXPECT_EQ(Row(2).relNam, u"ABCDEFGHIJKLMNOP"_s);
    EXPECT_EQ(Row(16).relNam, u"ABCDEFGHIJKLMNOP"_s);
    EXPECT_EQ(ui.Messages(),
              (std::vector{Info(u"Channel 3 (AA03) changed from \r\n\"ABCDEFGHIJKLMNOPQ\" to\r\n\"ABCDEFGHIJKLMNOP\""_s),
                           Info(u"Channel 17 (AA17) changed from \r\n\"ABCDEFGHIJKLMNOPQRST\" to\r\n\"ABCDEFGHIJKLMNOP\""_s),
                           Info(u"17 channels imported"_s)}));
}

// A control character becomes a space and what the files cannot hold a "?", before the
// cut, which counts characters.
TEST_F(ImportCommand, NamesAreCleanedBeforeTheCut)
{
    Start();
    const QString emoji = u"\U0001F600"_s;
    std::vector<InsDChannel> allocations(2);
    allocations[0].Name = u"ABCDEFGHIJKLMN\t"_s + emoji;       // 16 characters: kept
    allocations[1].Name = u"ABCDEFGHIJKLMN\r\n"_s + emoji + u"Q"_s; // 17
    Window().ApplyAllocations(allocations);
    const QString kept = u"ABCDEFGHIJKLMN ?"_s;
    EXPECT_EQ(Row(0).relNam, kept);
    EXPECT_EQ(Row(1).relNam, kept);
    EXPECT_EQ(ui.MessageTexts(),
              (QStringList{u"Channel 2 (AA02) changed from \r\n\""_s + kept + u"Q\" to\r\n\""_s + kept + u'"',
                           u"2 channels imported\r\n2 characters the site file cannot hold were replaced by ?"_s}));
}

TEST_F(ImportCommand, AnyContactValueButZeroIsABackContact)
{
    Start();
    Import({{"A", 0}, {"B", 1}, {"C", -1}, {"D", 0x7FFF}});
    EXPECT_FALSE(Row(0).back);
    EXPECT_TRUE(Row(1).back);
    EXPECT_TRUE(Row(2).back);
    EXPECT_TRUE(Row(3).back);
}

TEST_F(ImportCommand, EveryRowOfThePreviousTableIsResetAndTheGridRefreshesOnce)
{
    FrmDips& w = Start();
    std::vector<ChannelRow> rows(768, ChannelRow{u"XX"_s, u"old"_s, true, u"ON"_s, u"OFF"_s});
    w.SetChannelCount(768, FillAllRows);
    w.Table().ReplaceRows(rows);
    w.Table().setData(w.Table().index(700, FieldRelNam), u"typed"_s); // a step of the history
    w.SetModified(false);
    QSignalSpy resets(&w.Table(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(&w.Table(), &QAbstractItemModel::dataChanged);
    Import({{"12 TPR", 0}});
    EXPECT_LE(resets.count() + changes.count(), 2);
    EXPECT_EQ(w.History().Stack().count(), 0); // nothing of the earlier site can be undone
    EXPECT_EQ(w.Grid().currentIndex(), w.Table().index(0, FieldRelNam));
    ASSERT_EQ(w.Table().rowCount(), 384);
    for (int r = 0; r < 384; ++r) {
        const ChannelRow expected{DefaultRow(r).Chan, r == 0 ? u"12 TPR"_s : DefaultRow(r).relNam, false, u"UP"_s,
                                  u"DN"_s};
        ASSERT_EQ(Row(r), expected) << "row " << r;
    }
}

TEST_F(ImportCommand, CancelClosingOrASiteWithoutAllocationsChangesNothing)
{
    FrmDips& w = Start();
    MakeSite();
    const std::vector<ChannelRow> before = w.Table().Rows();

    // The save question cancelled: the selector is not even opened.
    w.SetModified(true);
    ui.Answer(MessageButton::Cancel);
    w.ImportSite();
    ui.ClearShown();
    w.SetModified(false);

    ui.AtModal([](QDialog& d) {
        d.findChild<QPushButton*>(u"CmdCancel"_s)->click();
        return 0;
    });
    w.ImportSite();
    ui.AtModal([](QDialog& d) {
        d.close();
        return 0;
    });
    w.ImportSite();
    OpenTheFirstSite(); // no DChannel.cfg
    w.ImportSite();
    test::WriteBytes(SiteFolder() + u"/DChannel.cfg"_s, DChannelFile({}));
    OpenTheFirstSite();
    w.findChild<QAction*>(u"MnuImport"_s)->trigger();

    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(w.Table().Rows(), before);
    EXPECT_FALSE(w.modified());
    EXPECT_EQ(w.windowTitle(), u"MR640 configuration editor"_s);
}

TEST_F(ImportCommand, TextStillBeingTypedIsStoredBeforeTheSaveQuestion)
{
    FrmDips& w = Start();
    ASSERT_NE(StartTyping(4, FieldRelNam, u"X"_s), nullptr);
    ui.Answer(MessageButton::Cancel);
    w.findChild<QAction*>(u"Toolbar1Import"_s)->trigger();
    EXPECT_EQ(ui.MessageTexts(), QStringList{u"Save this site before closing?"_s});
    EXPECT_EQ(Row(4).relNam, u"X"_s);
    EXPECT_TRUE(w.modified());
}

TEST_F(ImportCommand, AConfigurationDirectoryChosenThroughBrowseIsKeptAndSaved)
{
    FrmDips& w = Start();
    const QString other = config_.filePath(u"other"_s);
    QDir().mkpath(other + u"/e1"_s);
    test::WriteBytes(other + u"/e1/SiteInfo.cfg"_s, test::SiteInfoFile("East"));
    test::WriteBytes(other + u"/e1/DChannel.cfg"_s, DChannelFile({{"East 1", 0}}));
    w.Directories().insPath = config_.path();

    ui.AtModal([](QDialog& d) {
        d.findChild<QPushButton*>(u"CmdDirSelect"_s)->click();
        d.findChild<QPushButton*>(u"CmdLoad"_s)->click();
        return 0;
    });
    ui.AtModal([](QDialog& selectDirectory) {
        auto* dirs = selectDirectory.findChild<QTreeWidget*>(u"Dir1"_s);
        dirs->setCurrentItem(dirs->currentItem()->child(0));
        QTest::keyClick(dirs, Qt::Key_Return);
        selectDirectory.findChild<QPushButton*>(u"CmdOK"_s)->click();
        return 0;
    });
    w.ImportSite();
    EXPECT_EQ(Row(0).relNam, u"East 1"_s);
    EXPECT_EQ(w.Directories().insPath, other);

    // The next import lists that directory's sites.
    ui.Answer(MessageButton::No);
    ui.AtModal([](QDialog& d) {
        auto* list = d.findChild<QListWidget*>(u"SiteList"_s);
        EXPECT_EQ(list->item(0)->text(), u"East"_s);
        d.close();
        return 0;
    });
    w.ImportSite();

    ui.Answer(MessageButton::No);
    EXPECT_TRUE(w.close());
    QSettings saved(SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(saved.value(u"Directories/insPath"_s).toString(), other);
}

} // namespace
} // namespace mr640
