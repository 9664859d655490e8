#include "files/dip_file.h"
#include "test_files.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QProcess>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

// north.dip, opened and edited, in the hands of another program before the next Save.
class DiskChange : public test::WindowTest
{
protected:
    void SetUp() override
    {
        Start().OpenSiteFile(MakeDip(u"north.dip"_s, 384, u"12 TPR"_s));
        Window().Table().setData(Window().Table().index(1, FieldRelNam), u"edited"_s);
        ui.ClearShown();
    }
    // Runs command in a shell of its own; $1 is the site's file, $2 another version of it.
    void OtherProgram(const char* command)
    {
        const QStringList arguments = {u"-c"_s, QString::fromLatin1(command), u"sh"_s,
                                       Window().currentFile(),
                                       MakeDip(u"their.dip"_s, 384, u"14 TPR"_s)};
        ASSERT_EQ(QProcess::execute(u"sh"_s, arguments), 0);
    }
    // Another window takes the front, then the editor's comes back; the bar above its grid.
    QWidget& BringToFront()
    {
        QWidget other;
        other.show();
        other.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
        Window().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Window()));
        return *Window().findChild<QWidget*>(u"DiskChangeBar"_s);
    }
    void Press(const char* button)
    {
        Window().findChild<QAbstractButton*>(QString::fromLatin1(button))->click();
    }
};

TEST_F(DiskChange, SaveAsksBeforeOverwritingAnotherProgramsChange)
{
    OtherProgram(R"(cp "$2" "$1")");
    const QByteArray theirs = test::ReadBytes(Window().currentFile());
    ui.Answer(MessageButton::No).Answer(MessageButton::Yes);
    EXPECT_FALSE(Window().SaveSite());
    EXPECT_EQ(test::ReadBytes(Window().currentFile()), theirs);
    EXPECT_TRUE(Window().modified());
    EXPECT_TRUE(Window().SaveSite());
    EXPECT_EQ(test::ReadBytes(Window().currentFile()), EncodeDip(Window().Table().Rows()));
    const MessageRequest question{
        u"north.dip was changed by another program since it was opened. Overwrite it?"_s,
        MessageIcon::Exclamation, MessageButtons::YesNo, u"MR640 configuration editor"_s};
    EXPECT_EQ(ui.Messages(), std::vector(2, question));
    // What it wrote is its own; a new time without new content, or a file deleted, is no
    // change to ask about.
    for (const char* command : {"true", R"(touch -d 2001-01-01 "$1")", R"(rm "$1")"}) {
        OtherProgram(command);
        EXPECT_TRUE(Window().SaveSite());
    }
    Window().Table().setData(Window().Table().index(2, FieldRelNam), u"exported"_s);
    ui.ChooseFile(Window().currentFile()); // Export over the site's own file is its own change
    Window().ExportToCard();
    EXPECT_TRUE(Window().SaveSite());
    EXPECT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(test::ReadBytes(Window().currentFile()), EncodeDip(Window().Table().Rows()));
}

TEST_F(DiskChange, TheBarTellsOfEachChangeOnceAndReloadsOrCompares)
{
    EXPECT_TRUE(BringToFront().isHidden()); // nothing changed
    OtherProgram(R"(cp "$2" "$1")");
    QWidget& bar = BringToFront();
    ASSERT_TRUE(bar.isVisible());
    EXPECT_EQ(bar.findChild<QLabel*>()->text(), u"north.dip was changed by another program."_s);
    EXPECT_GT(Window().Grid().geometry().top(), bar.geometry().top());
    Press("CmdHideBar");
    EXPECT_TRUE(BringToFront().isHidden()); // the same change is not told again
    OtherProgram(R"(printf x >> "$1")");
    EXPECT_TRUE(BringToFront().isVisible());

    OtherProgram(R"(cp "$2" "$1")");
    Press("CmdCompareDisk");
    QLabel& counts =
        *Window().findChild<QDialog*>(u"FrmCompare"_s)->findChild<QLabel*>(u"LblCounts"_s);
    EXPECT_EQ(counts.text(), u"2 channels differ in 2 fields"_s);

    // Reload asks whether to give up the edit: No keeps it, Yes loads the file again.
    ui.ClearShown();
    ui.Answer(MessageButton::No).Answer(MessageButton::Yes);
    Press("CmdReload");
    EXPECT_EQ(Window().Table().Row(1).relNam, u"edited"_s);
    EXPECT_TRUE(Window().modified());
    EXPECT_TRUE(bar.isVisible());
    Press("CmdReload");
    const MessageRequest discard{u"Discard your changes to north and load it again from disk?"_s,
                                 MessageIcon::Exclamation, MessageButtons::YesNo,
                                 u"MR640 configuration editor"_s, MessageButton::No};
    EXPECT_EQ(ui.Messages(), (std::vector{discard, discard, test::Info(u"384 channels loaded"_s)}));
    EXPECT_EQ(Window().Table().Row(0).relNam, u"14 TPR"_s);
    EXPECT_FALSE(Window().modified());
    EXPECT_TRUE(bar.isHidden());
    QCoreApplication::processEvents();
    EXPECT_EQ(counts.text(), u"The sites are the same."_s); // the comparison follows
}

TEST_F(DiskChange, AFileDeletedIsToldOnceAndSavedAgainFromTheBar)
{
    const auto deleted = [&] {
        OtherProgram(R"(rm "$1")");
        QWidget& bar = BringToFront();
        EXPECT_TRUE(bar.isVisible());
        EXPECT_EQ(bar.findChild<QLabel*>()->text(), u"north.dip was deleted from disk."_s);
        for (const char* gone : {"CmdReload", "CmdCompareDisk"})
            EXPECT_FALSE(bar.findChild<QWidget*>(QString::fromLatin1(gone))->isVisible());
        return &bar;
    };
    QWidget* bar = deleted();
    const std::vector<ChannelRow> rows = Window().Table().Rows();
    Press("CmdSaveAgain"); // asks nothing: there is nothing to overwrite
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(test::ReadBytes(Window().currentFile()), EncodeDip(rows));
    EXPECT_FALSE(Window().modified());
    EXPECT_TRUE(bar->isHidden());

    deleted(); // deleted again: a new change
    Press("CmdHideBar");
    EXPECT_TRUE(BringToFront().isHidden()); // told once
}

} // namespace
} // namespace mr640
