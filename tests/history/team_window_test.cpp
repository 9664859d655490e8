// The Team menu of the main window: two engineers' libraries cloned from one team library in
// a folder, Jo's site open in the window, read back with git.

#include "editor/shared_routines.h"
#include "team_fixture.h"
#include "team_servers.h"
#include "window/disk_change_bar.h"
#include "window_versions_fixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>

namespace mr640::test {
namespace {

class TeamWindow : public WindowLibraryTest
{
protected:
    // The team of Ann and Jo, and the window of Jo, the engineer its settings name.
    void SetUp() override
    {
        SetEngineer(kJo);
        team_ = MakeTeamIn(SiteFolder());
    }

    // Jo's site open in the window.
    FrmDips& StartJo()
    {
        Start().OpenSiteFile(NorthOf(team_.jo));
        ui.ClearShown();
        return Window();
    }
    // Ann records north.dip with these names and sends it.
    void AnnSends(std::initializer_list<std::pair<int, QString>> names)
    {
        LibraryTest::Save(NorthOf(team_.ann), SiteNaming(names), kAnn);
        TeamLibrary::Open(team_.ann).Send({});
    }
    void Trigger(const char* action)
    {
        Window().findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }
    QString Counts() { return Window().findChild<QLabel*>(u"TeamCounts"_s)->text(); }
    DiskChangeBar& Bar() { return *Window().findChild<DiskChangeBar*>(); }
    QString JoGit(const GitArguments& arguments) { return Git(arguments, team_.jo); }

    TeamFolders team_;
};

TEST_F(TeamWindow, ACleanGetAsksToSaveFirstMergesAndRaisesTheBarOfTheOpenSite)
{
    AnnSends({{16, u"North TPR"_s}});
    StartJo();
    Edit(17, FieldRelNam, u"Jo's relay"_s);
    ui.Answer(MessageButton::Yes); // save, and so record, what the screen holds
    Trigger("MnuGetChanges");

    EXPECT_EQ(ui.Messages(), (std::vector{Question(u"Save this site before closing?"_s,
                                                   MessageButtons::YesNoCancel),
                                          Info(u"Merged 1 change of Ann Engineer."_s)}));
    const QByteArray merged = SiteNaming({{16, u"North TPR"_s}, {17, u"Jo's relay"_s}});
    EXPECT_EQ(ReadBytes(NorthOf(team_.jo)), merged);
    EXPECT_EQ(JoGit("log -1 --format=%an|%s"), u"Jo Bloggs|Merged 1 change of Ann Engineer\n"_s);
    EXPECT_EQ(Counts(), u"2 versions to send"_s);
    ASSERT_TRUE(Bar().isVisible());
    EXPECT_EQ(Bar().Note(), u"north.dip now holds the team's changes."_s);

    Window().findChild<QPushButton*>(u"CmdReload"_s)->click();
    EXPECT_EQ(EncodeDip(Window().Table().Rows()), merged);
    EXPECT_FALSE(Bar().isVisible());
}

TEST_F(TeamWindow, ConflictsAreDecidedLineByLineAndCancelLeavesTheLibraryAsItWas)
{
    AnnSends({{16, u"Ann's"_s}, {19, u"Ann's twenty"_s}, {30, u"Ann only"_s}});
    LibraryTest::Save(NorthOf(team_.jo), SiteNaming({{16, u"Jo's"_s}, {19, u"Jo's twenty"_s}}),
                      kJo);
    StartJo();
    const QString before = TeamTest::State(team_.jo);

    QStringList listed;
    ui.AtModal([&](QDialog& dialog) {
        listed = ModelLines(*Control<QTableWidget>(dialog, "LstConflicts").model());
        EXPECT_FALSE(Control<QPushButton>(dialog, "CmdConflictsOk").isEnabled());
        Control<QPushButton>(dialog, "CmdConflictsCancel").click();
        return dialog.result();
    });
    Trigger("MnuGetChanges");
    EXPECT_EQ(listed,
              (QStringList{u"north.dip|AA17|Relay name|Spare AA17|Jo's|Ann's"_s,
                           u"north.dip|AA20|Relay name|Spare AA20|Jo's twenty|Ann's twenty"_s}));
    EXPECT_EQ(TeamTest::State(team_.jo), before);
    EXPECT_FALSE(Bar().isVisible());
    EXPECT_EQ(Counts(), u"1 version to send, 1 to get"_s);

    ui.AtModal([](QDialog& dialog) {
        auto& list = Control<QTableWidget>(dialog, "LstConflicts");
        auto& ok = Control<QPushButton>(dialog, "CmdConflictsOk");
        Control<QPushButton>(dialog, "CmdAllTheirs").click();
        list.item(0, 4)->setCheckState(Qt::Checked); // line 1: mine after all
        EXPECT_EQ(list.item(0, 5)->checkState(), Qt::Unchecked) << "one side per line";
        list.item(1, 5)->setCheckState(Qt::Unchecked);
        EXPECT_FALSE(ok.isEnabled()) << "line 2 open again";
        list.item(1, 5)->setCheckState(Qt::Checked);
        ok.click();
        return dialog.result();
    });
    Trigger("MnuGetChanges");
    EXPECT_EQ(ReadBytes(NorthOf(team_.jo)),
              SiteNaming({{16, u"Jo's"_s}, {19, u"Ann's twenty"_s}, {30, u"Ann only"_s}}));
    const QString jos = JoGit("rev-parse HEAD~1").trimmed();
    const QString anns = JoGit("rev-parse origin/main").trimmed();
    EXPECT_EQ(
        JoGit("log -1 --format=%an|%s|%P"),
        u"Jo Bloggs|Merged 1 change of Ann Engineer; 2 conflicts decided|%1 %2\n"_s.arg(jos, anns));
    EXPECT_EQ(ui.Messages(),
              std::vector{Info(u"Merged 1 change of Ann Engineer; 2 conflicts decided."_s)});
    EXPECT_TRUE(Bar().isVisible());
}

TEST_F(TeamWindow, ASendTheTeamHasMovedPastIsRefusedAndChangesNothing)
{
    AnnSends({{16, u"Ann's"_s}});
    LibraryTest::Save(NorthOf(team_.jo), SiteNaming({{17, u"Jo's"_s}}), kJo);
    StartJo();
    const QString before = TeamTest::State(team_.jo) + Git("rev-parse main", team_.team);

    Trigger("MnuSendChanges");
    EXPECT_EQ(ui.Messages(), std::vector{Warning(u"Another engineer sent changes since you last "
                                                 u"got them. Get the team's changes first."_s)});
    EXPECT_EQ(TeamTest::State(team_.jo) + Git("rev-parse main", team_.team), before);
}

TEST_F(TeamWindow, AServerAskingForALoginGetsTheOneTypedAndNothingIsKept)
{
    LoginServer server;
    JoGit({u"remote"_s, u"set-url"_s, u"origin"_s, server.Url()});
    StartJo();
    const QString before = TeamTest::State(team_.jo);

    QStringList shown; // the hint and the user name offered, at each time asked
    for (const char* button : {"CmdLoginOk", "CmdLoginCancel"}) {
        ui.AtModal([&shown, button](QDialog& dialog) {
            auto& password = Control<QLineEdit>(dialog, "TxtLoginPassword");
            EXPECT_EQ(password.echoMode(), QLineEdit::Password);
            shown << Control<QLabel>(dialog, "LblLoginHint").text()
                  << Control<QLineEdit>(dialog, "TxtLoginUser").text();
            Control<QLineEdit>(dialog, "TxtLoginUser").setText(u"jo"_s);
            password.setText(u"s3cret"_s);
            Control<QPushButton>(dialog, button).click();
            return dialog.result();
        });
    }
    Trigger("MnuGetChanges");
    const QString asks =
        u"The team library at %1 asks for your user name and password. The "
        u"password goes to this connection only and is not kept."_s.arg(server.Url());
    EXPECT_EQ(shown, (QStringList{
                         asks, {}, u"The user name or password was refused. "_s + asks, u"jo"_s}));
    EXPECT_TRUE(server.Logins().contains("Basic " + QByteArray("jo:s3cret").toBase64()));
    EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>{}) << "cancelled: nothing to say";
    EXPECT_EQ(TeamTest::State(team_.jo), before);
    EXPECT_FALSE(ReadBytes(team_.jo + u"/.git/config"_s).contains("s3cret"));
}

TEST_F(TeamWindow, TheStatusBarCountsFromTheLocalCopyOfTheTeamsVersionsOnceTheWindowIsDrawn)
{
    AnnSends({{16, u"Ann's"_s}});
    LibraryTest::Save(NorthOf(team_.jo), SiteNaming({{17, u"Jo's"_s}}), kJo);
    LibraryTest::Save(NorthOf(team_.jo), SiteNaming({{17, u"Jo's again"_s}}), kJo);
    JoGit("fetch -q");
    SettingsStore settings;
    FrmDips window(ui, settings);
    window.OpenSiteFile(NorthOf(team_.jo));
    auto& counts = *window.findChild<QLabel*>(u"TeamCounts"_s);
    EXPECT_EQ(counts.text(), QString()) << "not counted before the window is drawn";
    window.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return counts.text() == u"2 versions to send, 1 to get"_s; }))
        << counts.text().toStdString();
    EXPECT_TRUE(counts.isVisible());

    // A site in no library has no counts and nothing to share.
    window.OpenSiteFile(MakeDip(u"alone.dip"_s));
    EXPECT_FALSE(counts.isVisible());
    auto* menu = window.findChild<QMenu*>(u"MnuTeam"_s);
    emit menu->aboutToShow();
    for (const QAction* action : menu->actions())
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
}

} // namespace
} // namespace mr640::test
