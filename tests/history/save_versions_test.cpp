// Save, Export and "Keep history" in the main window over a real library, read back with
// the git program.

#include "editor/shared_routines.h"
#include "window_versions_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>

namespace mr640::test {
namespace {

class SaveVersions : public WindowLibraryTest
{
protected:
    QString Log() { return Git({u"log"_s, u"--format=%an <%ae>|%s|%b"_s, u"--"_s, u"north.dip"_s}); }
    // The warning of a save whose version could not be recorded.
    static MessageRequest NotRecorded(const QString& reason)
    {
        return Warning(u"north.dip was saved, but its version could not be recorded: %1."_s.arg(reason));
    }
    const QString kNewSite = u"Ann Engineer <ann@example.org>|New site, 384 channels|\n"_s;
};

TEST_F(SaveVersions, EachSaveRecordsAVersionByTheEngineerAskedForOnce)
{
    Git({u"config"_s, u"user.name"_s, u"Git Ann"_s});
    Git("config user.email git-ann@example.org");
    FrmDips& w = StartWithNorth();
    WriteBytes(library_ + u"/readme.txt"_s, "staged\n"); // the user's own work, staged
    Git("add readme.txt");

    QStringList offered;
    AtDialog({{"TxtAuthorName", kAnn.name}, {"TxtAuthorEmail", kAnn.email}}, "CmdAuthorOk",
             &offered);
    Edit(1, FieldRelNam, u"12 TPR"_s);
    ASSERT_TRUE(w.SaveSite());
    EXPECT_EQ(offered, (QStringList{u"Git Ann"_s, u"git-ann@example.org"_s}));
    Edit(2, FieldRelNam, u"14 TPR"_s);
    w.SaveSite(); // asks nobody: the ScriptedUi fails on an unscripted dialog
    EXPECT_TRUE(w.SaveSite()) << "the same bytes again: nothing to record";
    AtDialog({{"TxtVersionText", u"Works order 4471"_s}}, "CmdVersionTextOk");
    Edit(2, FieldBack, true);
    w.SaveSiteWithDescription();
    ui.ChooseFile(library_ + u"/north.csv"_s); // a CSV copy in the library: a site of its own
    w.SaveSiteAs();

    EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>{});
    EXPECT_EQ(Log(), u"Ann Engineer <ann@example.org>|1 channel changed: AA03 contact|Works order 4471\n\n"
                     u"Ann Engineer <ann@example.org>|1 channel changed: AA03 name|\n"_s + kNewSite);
    EXPECT_EQ(Git("log --format=%s -- north.csv"), u"New site, 384 channels\n"_s);
    EXPECT_EQ(Git("fsck --strict --no-progress"), QString());
    EXPECT_EQ(Git("status --porcelain"), u"M  readme.txt\n"_s);
    w.close();
    EXPECT_TRUE(ReadBytes(SettingsFile()).contains("[Author]\nEmail=ann@example.org\nName=Ann Engineer\n"));
}

TEST_F(SaveVersions, AVersionThatCannotBeRecordedNeverFailsTheSave)
{
    FrmDips& w = StartWithNorth();
    AtDialog({}, "CmdAuthorCancel");
    Edit(1, FieldRelNam, u"12 TPR"_s);
    EXPECT_TRUE(w.SaveSite());
    WriteBytes(library_ + u"/.git/index.lock"_s, {}); // left by another git program
    AtDialog({{"TxtAuthorName", kAnn.name}, {"TxtAuthorEmail", kAnn.email}}, "CmdAuthorOk");
    Edit(2, FieldRelNam, u"14 TPR"_s);
    EXPECT_TRUE(w.SaveSite());

    EXPECT_FALSE(w.modified());
    EXPECT_EQ(ReadBytes(site_), EncodeDip(w.Table().Rows()));
    EXPECT_EQ(ui.Messages(),
              (std::vector<MessageRequest>{
                  NotRecorded(u"no engineer was named to record it"_s),
                  NotRecorded(u"the repository is locked by another git program "
                              u"(%1/.git/index.lock exists)"_s.arg(library_))}));
    EXPECT_EQ(Log(), QString());
    QFile::remove(library_ + u"/.git/index.lock"_s);
    Edit(3, FieldRelNam, u"16 TPR"_s);
    w.SaveSite();
    EXPECT_EQ(Log(), kNewSite) << "once git is done, the next save records";
}

TEST_F(SaveVersions, KeepHistoryMakesTheSitesFolderALibraryOnce)
{
    SetEngineer(kAnn);
    const QString folder = SitePath(u"plain"_s);
    QDir().mkpath(folder);
    WriteBytes(folder + u"/south.dip"_s, SiteNamed(u"South TPR"_s));
    WriteBytes(folder + u"/broken.dip"_s, "not a site");
    FrmDips& w = Start();
    w.OpenSiteFile(MakeDip(u"plain/north.dip"_s));
    const auto enabled = [&] {
        emit w.findChild<QMenu*>(u"MnuFile"_s)->aboutToShow();
        return w.findChild<QAction*>(u"MnuKeepHistory"_s)->isEnabled();
    };
    ASSERT_TRUE(enabled());
    ui.ClearShown();
    ui.Answer(MessageButton::No).Answer(MessageButton::Yes);
    w.KeepHistoryOfFolder();
    EXPECT_FALSE(QFile::exists(folder + u"/.git"_s)) << "No keeps nothing";
    w.KeepHistoryOfFolder();

    ASSERT_EQ(ui.Messages().size(), 3u);
    EXPECT_TRUE(ui.Messages()[1].text.startsWith(u"Keep the history of the sites in %1?\r\n"_s.arg(folder)));
    EXPECT_EQ(ui.Messages()[2], Warning(u"The history of the sites in %1 is kept.\r\n2 sites recorded: "
                                        u"north.dip, south.dip.\r\nNot recorded:\r\nbroken.dip: the "
                                        u"file holds no site this program reads"_s.arg(folder)));
    EXPECT_EQ(Git("log --format=%s -- north.dip", folder), u"New site, 384 channels\n"_s);
    EXPECT_FALSE(enabled()) << "a folder kept already";
    w.NewSite();
    EXPECT_FALSE(enabled()) << "a site without a file";
}

// What went to each card: the version exported is noted, and changes not yet recorded are
// recorded first when the person wants.
TEST_F(SaveVersions, ExportMarksTheVersionItSendsToTheCard)
{
    SetEngineer(kAnn);
    FrmDips& w = StartWithNorth();
    Edit(1, FieldRelNam, u"12 TPR"_s);
    w.SaveSite();
    const QString card = SitePath(u"card.dip"_s);
    const auto noted = [&] {
        return Git("log --format=%s|%N --notes -1 -- north.dip")
            .remove(QRegularExpression(u" on \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d\n\n$"_s));
    };
    const QString exported = u"|Exported to card at "_s + card;

    ui.ChooseFile(card);
    w.ExportToCard();
    EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>{}) << "the version on screen: no question";
    EXPECT_EQ(noted(), u"New site, 384 channels"_s + exported);
    Edit(2, FieldRelNam, u"14 TPR"_s);
    ui.Answer(MessageButton::Cancel);
    w.ExportToCard();
    EXPECT_EQ(ui.FileDialogs().size(), 1u) << "Cancel does nothing";
    ui.Answer(MessageButton::No).ChooseFile(card);
    w.ExportToCard();
    EXPECT_TRUE(w.modified());
    EXPECT_EQ(noted(), u"New site, 384 channels"_s + exported) << "No exports without a mark";
    ui.Answer(MessageButton::Yes).ChooseFile(card);
    w.ExportToCard();
    EXPECT_FALSE(w.modified());
    EXPECT_EQ(noted(), u"1 channel changed: AA03 name"_s + exported);
    EXPECT_EQ(ui.Messages(),
              std::vector<MessageRequest>(
                  3, Question(u"Save north.dip and record this version before exporting it?"_s,
                              MessageButtons::YesNoCancel)));
}

} // namespace
} // namespace mr640::test
