#include "files/dip_file.h"
#include "test_files.h"
#include "window_fixture.h"

#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

// The site's file in the hands of another program between Open and Save.
class DiskChange : public test::WindowTest
{
protected:
    // Opens north.dip and edits the site; the other program's version of the file is at
    // theirs_.
    void OpenNorthAndEdit()
    {
        Start();
        ui.ChooseFile(MakeDip(u"north.dip"_s, 384, u"12 TPR"_s));
        Window().OpenSite();
        theirs_ = MakeDip(u"theirs.dip"_s, 384, u"14 TPR"_s);
        Window().Table().setData(Window().Table().index(1, FieldRelNam), u"edited"_s);
        ui.ClearShown();
    }

    // Runs a shell command of another program with $1 the site's file and $2 theirs.
    void OtherProgram(const char* command)
    {
        ASSERT_EQ(QProcess::execute(u"sh"_s, {u"-c"_s, QString::fromLatin1(command), u"sh"_s,
                                              Window().currentFile(), theirs_}),
                  0);
    }

    // Another window takes the front, then the editor's comes back.
    void BringToFront()
    {
        QWidget other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    }

    QWidget& Bar() { return *Window().findChild<QWidget*>(u"DiskChangeBar"_s); }
    template <typename Button> void Press(const char* name)
    {
        QTest::mouseClick(Bar().findChild<Button*>(QString::fromLatin1(name)), Qt::LeftButton);
    }

    QString theirs_;
};

struct Change
{
    const char* name;
    const char* command;                 // $1: the site's file, $2: the other program's version
    std::optional<MessageButton> answer; // to the question; none: no question
    bool overwritten;
    friend void PrintTo(const Change& c, std::ostream* os) { *os << c.name; }
};

class SaveAfter : public DiskChange, public ::testing::WithParamInterface<Change>
{
};

TEST_P(SaveAfter, AsksBeforeOverwritingAnotherProgramsChange)
{
    const Change& c = GetParam();
    OpenNorthAndEdit();
    OtherProgram(c.command);
    const QByteArray before = QFile::exists(Window().currentFile())
                                  ? test::ReadBytes(Window().currentFile())
                                  : QByteArray();
    if (c.answer)
        ui.Answer(*c.answer);

    EXPECT_EQ(Window().SaveSite(), c.overwritten);
    std::vector<MessageRequest> asked;
    if (c.answer)
        asked.push_back(
            {u"north.dip was changed by another program since it was opened. Overwrite it?"_s,
             MessageIcon::Exclamation, MessageButtons::YesNo, u"MR640 configuration editor"_s});
    EXPECT_EQ(ui.Messages(), asked);
    EXPECT_EQ(test::ReadBytes(Window().currentFile()),
              c.overwritten ? EncodeDip(Window().Table().Rows()) : before);
    EXPECT_EQ(Window().modified(), !c.overwritten);

    if (c.overwritten) { // what was saved is the program's own: the next Save asks nothing
        ui.ClearShown();
        EXPECT_TRUE(Window().SaveSite());
        EXPECT_TRUE(ui.Messages().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    OtherPrograms, SaveAfter,
    ::testing::Values(Change{"RewrittenNo", R"(cp "$2" "$1")", MessageButton::No, false},
                      Change{"RewrittenYes", R"(cp "$2" "$1")", MessageButton::Yes, true},
                      Change{"TouchedOnly", R"(touch -d 2001-01-01 "$1")", std::nullopt, true},
                      Change{"Deleted", R"(rm "$1")", std::nullopt, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DiskChange, TheBarTellsOfEachChangeOnceAndReloadsOrCompares)
{
    OpenNorthAndEdit();
    BringToFront();
    EXPECT_TRUE(Bar().isHidden()); // nothing changed

    OtherProgram(R"(cp "$2" "$1")");
    BringToFront();
    ASSERT_TRUE(Bar().isVisible());
    EXPECT_EQ(Bar().findChild<QLabel*>(u"LblDiskChange"_s)->text(),
              u"north.dip was changed by another program."_s);
    EXPECT_GT(Window().Grid().geometry().top(), Bar().geometry().top()); // the bar is above it

    Press<QToolButton>("CmdHideBar");
    BringToFront();
    EXPECT_TRUE(Bar().isHidden()); // the same change is not told again
    OtherProgram(R"(printf x >> "$1")");
    BringToFront();
    EXPECT_TRUE(Bar().isVisible());

    OtherProgram(R"(cp "$2" "$1")");
    Press<QPushButton>("CmdCompareDisk");
    auto* compare = Window().findChild<QDialog*>(u"FrmCompare"_s);
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(compare->findChild<QLabel*>(u"LblCounts"_s)->text(),
              u"2 channels differ in 2 fields"_s);

    ui.ClearShown();
    ui.Answer(MessageButton::No); // the save question: the edit is given up
    Press<QPushButton>("CmdReload");
    EXPECT_EQ(ui.Messages().front().text, u"Save this site before closing?"_s);
    EXPECT_EQ(Window().Table().Row(0).relNam, u"14 TPR"_s);
    EXPECT_FALSE(Window().modified());
    EXPECT_TRUE(Bar().isHidden());
}

} // namespace
} // namespace mr640
