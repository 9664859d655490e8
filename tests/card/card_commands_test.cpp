// The card from insertion to safe removal, in the main window, against the UDisks2 stand-in.

#include "card/removable_media.h"
#include "dialog_play.h"
#include "scratch_mount.h"
#include "udisks2_stand_in.h"
#include "window_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::AtShown;
using test::Control;
using test::StandIn;

class CardWork : public test::WindowTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StandIn().Failure().isEmpty()) << StandIn().Failure().toStdString();
        StandIn().Clear();
    }

    // The site north on screen, opened from its own file.
    FrmDips& StartWithNorth()
    {
        FrmDips& window = Start();
        window.OpenSiteFile(MakeDip(u"north.dip"_s, 384, u"North TPR"_s));
        ui.ClearShown();
        return window;
    }

    // Puts the SD card LOGGER (sdb) in, whose Mount answers folder, and waits until the
    // window has seen it.
    void InsertLogger(const QString& folder, QVariantMap options = {})
    {
        options.insert(
            {{u"label"_s, u"LOGGER"_s}, {u"media"_s, u"flash_sd"_s}, {u"folder"_s, folder}});
        StandIn().AddCard(u"sdb"_s, options);
        WaitForCards(1);
    }

    void WaitForCards(std::size_t count)
    {
        // The window follows the cards from its first paint on.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const auto* media = Window().findChild<RemovableMedia*>();
                return media && media->Cards().size() == count;
            },
            20000));
    }

    QStatusBar& Status() { return *Window().statusBar(); }
    QWidget& CardPart() { return *Status().findChild<QWidget*>(u"CardStatus"_s); }

    // The lines of the chooser's list, each card followed by its files indented.
    static QStringList Listed(QDialog& chooser)
    {
        QStringList lines;
        const auto& cards = Control<QTreeWidget>(chooser, "TvwCards");
        for (int i = 0; i < cards.topLevelItemCount(); ++i) {
            lines.append(cards.topLevelItem(i)->text(0));
            for (int j = 0; j < cards.topLevelItem(i)->childCount(); ++j)
                lines.append(u"  "_s + cards.topLevelItem(i)->child(j)->text(0));
        }
        return lines;
    }

    QTemporaryDir card_;
};

TEST_F(CardWork, TheStatusBarShowsTheCardPutInLastForAsLongAsItIsInAndNeverTheSystemDisk)
{
    Start();
    EXPECT_TRUE(CardPart().isHidden()); // the stand-in's system disk is no card
    const auto shown = [&] { return Status().findChild<QLabel*>(u"LblCard"_s)->text(); };

    InsertLogger(card_.path());
    EXPECT_TRUE(CardPart().isVisible());
    EXPECT_EQ(shown(), u"Card LOGGER (SD, 1.9 GB) inserted"_s);
    StandIn().AddCard(u"sdc"_s, {{u"label"_s, u"SPARE"_s}, {u"size"_s, quint64{8'004'304'896}}});
    WaitForCards(2);
    EXPECT_EQ(shown(), u"Card SPARE (USB, 8.0 GB) inserted"_s);
    StandIn().RemoveCard(u"sdc"_s);
    WaitForCards(1);
    EXPECT_EQ(shown(), u"Card LOGGER (SD, 1.9 GB) inserted"_s);

    QTest::mouseClick(Status().findChild<QPushButton*>(u"CmdEject"_s), Qt::LeftButton);
    EXPECT_EQ(ui.Messages(), std::vector{test::Info(u"You can remove the card LOGGER now."_s)});
    EXPECT_EQ(StandIn().Calls(), QStringList{u"PowerOff sdb"_s}); // nothing was mounted
    WaitForCards(0);
    EXPECT_TRUE(CardPart().isHidden());
}

struct Ejection
{
    bool mounted;      // mounted before Export (else Export mounts it)
    bool canPowerOff;  // else the reader ejects the medium
    bool busyAtFirst;  // another program holds a file on it at the first Eject
    QStringList calls; // what UDisks2 was asked, in order
};

void PrintTo(const Ejection& row, std::ostream* os)
{
    *os << (row.mounted ? "mounted" : "not mounted")
        << (row.canPowerOff ? ", powered off" : ", ejected")
        << (row.busyAtFirst ? ", busy at first" : "");
}

class CardExport : public CardWork, public ::testing::WithParamInterface<Ejection>
{
};

TEST_P(CardExport, WritesTheSiteAtTheCardsTopChecksItAndEjectsTheCard)
{
    const Ejection& row = GetParam();
    test::WriteBytes(card_.filePath(u"north.dip"_s), "an older north");
    test::WriteBytes(card_.filePath(u"south.dip"_s), "south");
    StartWithNorth();
    InsertLogger(card_.path(), {{u"mounted"_s, row.mounted}, {u"canPowerOff"_s, row.canPowerOff}});
    if (row.busyAtFirst)
        StandIn().FailNext(u"Unmount"_s, u"DeviceBusy"_s, u"target is busy"_s);

    QStringList listed;
    AtShown(ui, [&](QDialog& chooser) {
        listed = Listed(chooser);
        QTest::mouseClick(&Control<QPushButton>(chooser, "CmdChoose"), Qt::LeftButton);
    });
    ui.Answer(MessageButton::Yes).Answer(MessageButton::Eject);
    if (row.busyAtFirst)
        ui.Answer(MessageButton::Eject);
    // The status bar's button runs Export itself.
    QTest::mouseClick(Status().findChild<QPushButton*>(u"CmdExportToCard"_s), Qt::LeftButton);

    const QStringList files =
        row.mounted ? QStringList{u"  north.dip"_s, u"  south.dip"_s}
                    : QStringList{u"  Not mounted yet: it is mounted when you choose it"_s};
    EXPECT_EQ(listed, QStringList{u"LOGGER (SD, 1.9 GB)"_s} + files);
    std::vector<MessageRequest> expected{
        {u"north.dip already exists.\r\nDo you want to replace it?"_s, MessageIcon::Exclamation,
         MessageButtons::YesNo, u"Save to CompactFlash card"_s},
        {u"north.dip was written to the card LOGGER and reads back as written.\r\n"
         u"Eject the card before you take it out."_s,
         MessageIcon::Information, MessageButtons::EjectClose, u"MR640 configuration editor"_s}};
    if (row.busyAtFirst)
        expected.push_back(
            {u"The card LOGGER is still in use by another program. Close it there and press Eject again."_s,
             MessageIcon::Exclamation, MessageButtons::EjectClose,
             u"MR640 configuration editor"_s});
    expected.push_back(test::Info(u"You can remove the card LOGGER now."_s));
    EXPECT_EQ(ui.Messages(), expected);
    EXPECT_TRUE(ui.FileDialogs().empty());
    EXPECT_EQ(test::ReadBytes(card_.filePath(u"north.dip"_s)), EncodeDip(Window().Table().Rows()));
    EXPECT_EQ(StandIn().Calls(), row.calls);
    WaitForCards(0);
    EXPECT_TRUE(CardPart().isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Cards, CardExport,
    ::testing::Values(
        Ejection{true, true, true, {u"Unmount sdb1"_s, u"Unmount sdb1"_s, u"PowerOff sdb"_s}},
        Ejection{false, false, false, {u"Mount sdb1"_s, u"Unmount sdb1"_s, u"Eject sdb"_s}}));

TEST_F(CardWork, FaultsAreToldAndNothingIsWrittenNorLost)
{
    struct Fault
    {
        const char* what;
        const char* mountError; // the error UDisks2 answers Mount with
        const char* scratch;    // the card as a file system of these options, else a folder
        bool readOnly;
        bool pulledOut; // chosen mounted, then pulled out before Export goes on
        QString message;
    };
    const Fault faults[] = {
        {"a mount refused", "Failed", nullptr, false, false,
         u"The card LOGGER could not be opened (refused). Nothing was written to it."_s},
        {"a mount not authorised", "NotAuthorizedCanObtain", nullptr, false, false,
         u"You are not allowed to open the card LOGGER (refused). Nothing was written to it."_s},
        {"a write-protected card", nullptr, "size=64k", true, false,
         u"The card LOGGER is write-protected: north.dip was not written. Unlock the card and export again."_s},
        {"a full card", nullptr, "size=8k", false, false,
         u"The card LOGGER is full: north.dip needs 15.4 kB and the card has 8.2 kB free. Nothing was written."_s},
        {"a card pulled out after it was chosen", nullptr, nullptr, false, true,
         u"The card LOGGER was taken out before the site was written to it. Put it back in and export again."_s},
    };
    FrmDips& window = StartWithNorth();
    window.SetModified(true);
    const std::vector<ChannelRow> onScreen = window.Table().Rows();
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        StandIn().Clear();
        WaitForCards(0);
        ui.ClearShown();
        std::optional<test::ScratchMount> scratch;
        if (fault.scratch) {
            scratch.emplace(fault.scratch);
            if (!scratch->Mounted() || (fault.readOnly && !scratch->MakeReadOnly())) {
                std::cerr << "skipped: " << scratch->Failure() << '\n';
                continue;
            }
        }
        const QString folder = scratch ? scratch->Path() : card_.path();
        InsertLogger(folder, {{u"mounted"_s, fault.pulledOut}});
        if (fault.mountError)
            StandIn().FailNext(u"Mount"_s, QString::fromLatin1(fault.mountError), u"refused"_s);
        AtShown(ui, [&](QDialog& chooser) {
            if (fault.pulledOut)
                StandIn().RemoveCard(u"sdb"_s);
            QTest::mouseClick(&Control<QPushButton>(chooser, "CmdChoose"), Qt::LeftButton);
        });
        window.ExportToCard();

        EXPECT_EQ(ui.Messages(), std::vector{test::Warning(fault.message)});
        EXPECT_FALSE(QFileInfo::exists(folder + u"/north.dip"_s));
        EXPECT_EQ(window.Table().Rows(), onScreen);
        EXPECT_TRUE(window.modified());
        EXPECT_FALSE(StandIn().Calls().contains(u"Unmount sdb1"_s));
    }
}

TEST_F(CardWork, AnotherFolderKeepsTheFileDialog)
{
    StartWithNorth();
    InsertLogger(card_.path(), {{u"mounted"_s, true}});
    AtShown(ui, [](QDialog& chooser) {
        QTest::mouseClick(&Control<QPushButton>(chooser, "CmdAnotherFolder"), Qt::LeftButton);
    });
    ui.ChooseFile(SitePath(u"copy.dip"_s));
    Window().ExportToCard();

    ASSERT_EQ(ui.FileDialogs().size(), 1u);
    EXPECT_EQ(ui.FileDialogs()[0].title, u"Save to CompactFlash card"_s);
    EXPECT_EQ(test::ReadBytes(SitePath(u"copy.dip"_s)), EncodeDip(Window().Table().Rows()));
    EXPECT_TRUE(ui.Messages().empty()); // no card was written, so none is offered for ejection
    EXPECT_TRUE(StandIn().Calls().isEmpty());
}

TEST_F(CardWork, OpenOffersTheDipFilesOnTheCardsMountingThemToLookInside)
{
    QFile::copy(MakeDip(u"south.dip"_s, 384, u"South TPR"_s), card_.filePath(u"south.dip"_s));
    test::WriteBytes(card_.filePath(u"east.dip"_s), "east");
    StartWithNorth();
    InsertLogger(card_.path());

    QStringList listed;
    AtShown(ui, [&](QDialog& chooser) {
        listed = Listed(chooser);
        auto& cards = Control<QTreeWidget>(chooser, "TvwCards");
        cards.setCurrentItem(cards.topLevelItem(0)->child(1));
        QTest::mouseClick(&Control<QPushButton>(chooser, "CmdChoose"), Qt::LeftButton);
    });
    Window().OpenSite();

    EXPECT_EQ(listed, (QStringList{u"LOGGER (SD, 1.9 GB)"_s, u"  east.dip"_s, u"  south.dip"_s}));
    EXPECT_EQ(Window().Table().Rows()[0].relNam, u"South TPR"_s);
    EXPECT_EQ(Window().currentFile(), card_.filePath(u"south.dip"_s));
    EXPECT_EQ(StandIn().Calls(), QStringList{u"Mount sdb1"_s});
    EXPECT_TRUE(ui.FileDialogs().empty());
}

} // namespace
} // namespace mr640
