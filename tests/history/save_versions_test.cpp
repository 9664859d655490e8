// Save, Export and "Keep history" in the main window over a real library, read back with
// the git program.

#include "dialog_play.h"
#include "editor/shared_routines.h"
#include "files/csv_file.h"
#include "window_versions_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>

namespace mr640::test {
namespace {

using namespace Qt::StringLiterals;

class SaveVersions : public WindowLibraryTest
{
protected:
    // Plays the engineer at the author dialog: notes what it offers, gives engineer and
    // presses OK (Cancel when engineer names nobody).
    void AtAuthorDialog(const Author& engineer, Author* offered = nullptr)
    {
        ui.AtModal([=](QDialog& dialog) {
            auto& name = Control<QLineEdit>(dialog, "TxtAuthorName");
            auto& email = Control<QLineEdit>(dialog, "TxtAuthorEmail");
            if (offered)
                *offered = {name.text(), email.text()};
            name.setText(engineer.name);
            email.setText(engineer.email);
            Control<QPushButton>(dialog, engineer.name.isEmpty() ? "CmdAuthorCancel"
                                                                 : "CmdAuthorOk")
                .click();
            return dialog.result();
        });
    }
    // Gives text at the next one-line dialog and presses OK.
    void AtTextDialog(const QString& text)
    {
        ui.AtModal([=](QDialog& dialog) {
            Control<QLineEdit>(dialog, "TxtVersionText").setText(text);
            Control<QPushButton>(dialog, "CmdVersionTextOk").click();
            return dialog.result();
        });
    }
    QString Log(const QString& site = u"north.dip"_s)
    {
        return Git({u"log"_s, u"--format=%an <%ae>|%s|%b"_s, u"--"_s, site});
    }
    // The warning a save shows when its version could not be recorded.
    static MessageRequest NotRecorded(const QString& reason)
    {
        return {u"north.dip was saved, but its version could not be recorded: "_s + reason +
                    u'.',
                MessageIcon::Exclamation, MessageButtons::Ok, QString(kAppTitle)};
    }
};

TEST_F(SaveVersions, EachSaveRecordsAVersionByTheEngineerAskedForOnce)
{
    Git({u"config"_s, u"user.name"_s, u"Git Ann"_s});
    Git({u"config"_s, u"user.email"_s, u"git-ann@example.org"_s});
    FrmDips& w = StartWithNorth();
    // The user's own work in the library stays as it was: staged.
    WriteBytes(library_ + u"/readme.txt"_s, "staged\n");
    Git({u"add"_s, u"readme.txt"_s});

    Author offered;
    AtAuthorDialog(kAnn, &offered);
    Edit(1, FieldRelNam, u"12 TPR"_s);
    ASSERT_TRUE(w.SaveSite());
    EXPECT_EQ(offered, (Author{u"Git Ann"_s, u"git-ann@example.org"_s})) << "git's, offered";
    Edit(2, FieldRelNam, u"14 TPR"_s);
    w.SaveSite(); // asks nobody: the ScriptedUi fails on an unscripted dialog
    EXPECT_TRUE(w.SaveSite()) << "the same bytes again: nothing to record";
    AtTextDialog(u"Works order 4471"_s);
    Edit(2, FieldBack, true);
    w.SaveSiteWithDescription();
    // A CSV copy written into the library is a site of its own there.
    ui.ChooseFile(library_ + u"/north.csv"_s);
    w.SaveSiteAs();

    EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>{});
    EXPECT_EQ(Log(), u"Ann Engineer <ann@example.org>|1 channel changed: AA03 contact|Works order 4471\n\n"
                     u"Ann Engineer <ann@example.org>|1 channel changed: AA03 name|\n"
                     u"Ann Engineer <ann@example.org>|New site, 384 channels|\n"_s);
    EXPECT_EQ(Log(u"north.csv"_s), u"Ann Engineer <ann@example.org>|New site, 384 channels|\n"_s);
    EXPECT_EQ(GitObject(u"HEAD:north.csv"_s), EncodeCsv(w.Table().Rows()));
    EXPECT_EQ(Git({u"fsck"_s, u"--strict"_s, u"--no-progress"_s}), QString());
    EXPECT_EQ(Git({u"status"_s, u"--porcelain"_s}), u"M  readme.txt\n"_s);
    w.close();
    EXPECT_TRUE(ReadBytes(SettingsFile()).contains("[Author]\nEmail=ann@example.org\nName=Ann Engineer\n"));
}

TEST_F(SaveVersions, AVersionThatCannotBeRecordedNeverFailsTheSave)
{
    SetEngineer(kAnn);
    FrmDips& w = StartWithNorth();
    WriteBytes(library_ + u"/.git/index.lock"_s, {});
    Edit(1, FieldRelNam, u"12 TPR"_s);
    EXPECT_TRUE(w.SaveSite());
    EXPECT_FALSE(w.modified());
    EXPECT_EQ(ReadBytes(site_), EncodeDip(w.Table().Rows()));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0],
              NotRecorded(u"the repository is locked by another git program "
                          u"(%1/.git/index.lock exists)"_s.arg(library_)));
    EXPECT_EQ(Log(), QString());

    // Once git is done, the next save records what the file holds.
    QFile::remove(library_ + u"/.git/index.lock"_s);
    ui.ClearShown();
    Edit(2, FieldRelNam, u"14 TPR"_s);
    w.SaveSite();
    EXPECT_EQ(Log(), u"Ann Engineer <ann@example.org>|New site, 384 channels|\n"_s);
}

TEST_F(SaveVersions, NoEngineerNoVersionAndTheQuestionComesBackAtTheNextSave)
{
    FrmDips& w = StartWithNorth();
    AtAuthorDialog({});
    Edit(1, FieldRelNam, u"12 TPR"_s);
    EXPECT_TRUE(w.SaveSite());
    EXPECT_EQ(ui.Messages(),
              std::vector<MessageRequest>{NotRecorded(u"no engineer was named to record it"_s)});
    // An e-mail alone is no engineer: the dialog says so and stays open.
    ui.AtModal([](QDialog& dialog) {
        Control<QLineEdit>(dialog, "TxtAuthorEmail").setText(u"ann@example.org"_s);
        Control<QPushButton>(dialog, "CmdAuthorOk").click();
        EXPECT_FALSE(dialog.result() == QDialog::Accepted);
        Control<QLineEdit>(dialog, "TxtAuthorName").setText(u"Ann Engineer"_s);
        Control<QPushButton>(dialog, "CmdAuthorOk").click();
        return dialog.result();
    });
    ui.ClearShown();
    Edit(2, FieldRelNam, u"14 TPR"_s);
    w.SaveSite();
    ASSERT_EQ(ui.MessageTexts(),
              QStringList{u"Give both your name and your e-mail: each version names who recorded it."_s});
    EXPECT_EQ(Log(), u"Ann Engineer <ann@example.org>|New site, 384 channels|\n"_s);
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
    auto* menu = w.findChild<QMenu*>(u"MnuFile"_s);
    auto* keep = w.findChild<QAction*>(u"MnuKeepHistory"_s);
    const auto enabled = [&] {
        emit menu->aboutToShow();
        return keep->isEnabled();
    };
    ASSERT_TRUE(enabled());
    ui.ClearShown();
    ui.Answer(MessageButton::No).Answer(MessageButton::Yes);
    w.KeepHistoryOfFolder();
    EXPECT_FALSE(QFile::exists(folder + u"/.git"_s)) << "No keeps nothing";
    w.KeepHistoryOfFolder();

    ASSERT_EQ(ui.Messages().size(), 3u);
    EXPECT_EQ(ui.Messages()[1].text,
              u"Keep the history of the sites in %1?\r\nThe folder becomes a site library (a git "
              u"repository): its site files are recorded now, and each save of a site in it "
              u"records a version."_s.arg(folder));
    EXPECT_EQ(ui.Messages()[2],
              (MessageRequest{u"The history of the sites in %1 is kept.\r\n2 sites recorded: "
                              u"north.dip, south.dip.\r\nNot recorded:\r\nbroken.dip: the file "
                              u"holds no site this program reads"_s.arg(folder),
                              MessageIcon::Exclamation, MessageButtons::Ok, QString(kAppTitle)}));
    EXPECT_EQ(Git({u"log"_s, u"--format=%s"_s, u"--"_s, u"north.dip"_s}, folder),
              u"New site, 384 channels\n"_s);
    EXPECT_FALSE(enabled()) << "a folder kept already";
    EXPECT_TRUE(w.findChild<QAction*>(u"MnuSaveDescribed"_s)->isEnabled());
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
    const auto notes = [&] {
        return Git({u"log"_s, u"--format=%s|%N"_s, u"--notes"_s, u"-1"_s, u"--"_s, u"north.dip"_s})
            .remove(QRegularExpression(u" on \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d"_s));
    };

    ui.ChooseFile(card);
    w.ExportToCard();
    EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>{}) << "the version on screen: no question";
    EXPECT_EQ(notes(), u"New site, 384 channels|Exported to card at %1\n\n"_s.arg(card));

    const MessageRequest question =
        Question(u"Save north.dip and record this version before exporting it?"_s,
                 MessageButtons::YesNoCancel);
    Edit(2, FieldRelNam, u"14 TPR"_s);
    ui.Answer(MessageButton::Cancel);
    w.ExportToCard();
    EXPECT_EQ(ui.FileDialogs().size(), 1u) << "Cancel does nothing";
    ui.Answer(MessageButton::No).ChooseFile(card);
    w.ExportToCard();
    EXPECT_EQ(ReadBytes(card), EncodeDip(w.Table().Rows()));
    EXPECT_TRUE(w.modified());
    EXPECT_EQ(notes(), u"New site, 384 channels|Exported to card at %1\n\n"_s.arg(card))
        << "No exports without a mark";
    ui.Answer(MessageButton::Yes).ChooseFile(card);
    w.ExportToCard();
    EXPECT_FALSE(w.modified());
    EXPECT_EQ(notes(), u"1 channel changed: AA03 name|Exported to card at %1\n\n"_s.arg(card));
    EXPECT_EQ(ui.Messages(), (std::vector<MessageRequest>(3, question)));

    // A file changed behind the library's back holds what no version does.
    Git({u"rm"_s, u"-q"_s, u"--cached"_s, u"north.dip"_s});
    Git({u"commit"_s, u"-q"_s, u"-m"_s, u"Untracked"_s});
    ui.Answer(MessageButton::No).ChooseFile(card);
    w.ExportToCard();
    EXPECT_EQ(ui.Messages().size(), 4u);
}

} // namespace
} // namespace mr640::test
