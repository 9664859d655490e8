// The History window over a real library, read back with the git program.

#include "editor/shared_routines.h"
#include "files/dip_file.h"
#include "window/history_window.h"
#include "window_versions_fixture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTableView>

#include <set>

namespace mr640::test {
namespace {

class HistoryWindow : public WindowLibraryTest
{
protected:
    // Two versions of north.dip recorded by the core: Ann's new site, and Bob's, which names
    // AA17, doubles the channels and has a description of two lines, on screen.
    void SetUp() override
    {
        WindowLibraryTest::SetUp();
        SetEngineer(kAnn);
        std::vector<ChannelRow> second = DefaultRows(768);
        second[16].relNam = u"North TPR"_s;
        SiteHistory::Open(site_).Record(SiteNamed(), kAnn);
        WriteBytes(site_, EncodeDip(second));
        SiteHistory::Open(site_).Record(EncodeDip(second), {u"Bob Tester"_s, u"bob@example.org"_s},
                                        {u"Works order 4471\n\nSecond line"_s, {}});
        Start().OpenSiteFile(site_);
        ui.ClearShown();
    }

    FrmHistory& Open()
    {
        Window().findChild<QAction*>(u"MnuHistory"_s)->trigger();
        return *Window().findChild<FrmHistory*>();
    }
    static QTableView& List(FrmHistory& history) { return *history.findChild<QTableView*>(); }
    // The lines of the list, their fields joined by "|".
    static QStringList Lines(FrmHistory& history) { return ModelLines(*List(history).model()); }
    // Selects the lines rows and presses button.
    static void Press(FrmHistory& history, std::initializer_list<int> rows, const char* button)
    {
        QTableView& list = List(history);
        list.clearSelection();
        for (const int row : rows)
            list.selectionModel()->select(list.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        Control<QPushButton>(history, button).click();
    }
    // The Compare window's title, the line naming its sides, its counts and the captions of
    // the sides' columns.
    QStringList Compared()
    {
        auto* compare = Window().findChild<QDialog*>(u"FrmCompare"_s);
        QStringList shown{compare->windowTitle()};
        for (const char* label : {"LblCompareFile", "LblCounts", "LblOneSide"})
            shown.append(compare->findChild<QLabel*>(QString::fromLatin1(label))->text());
        for (const int column : {2, 3})
            shown.append(compare->findChild<QTableView*>()->model()->headerData(column, Qt::Horizontal).toString());
        return shown;
    }
    // What git log says of the versions of north.dip, in format.
    QStringList Logged(const QString& format)
    {
        return Git({u"log"_s, u"--abbrev=7"_s, u"--date=format:%Y-%m-%d %H:%M"_s,
                    u"--format="_s + format, u"--"_s, u"north.dip"_s})
            .split(u'\n', Qt::SkipEmptyParts);
    }
};

TEST_F(HistoryWindow, ListsWhatGitLogListsFollowsEachVersionAndMarkAndHasAKeyOfItsOwn)
{
    Git("tag v1 HEAD~1");
    FrmHistory& history = Open();
    QStringList expected = Logged(u"%h|%ad|%an|%s|"_s);
    ASSERT_EQ(expected.size(), 2);
    EXPECT_EQ(Lines(history), (QStringList{expected[0] + u"Works order 4471 Second line|"_s,
                                           expected[1] + u"|Tag v1"_s}));

    AtDialog({{"TxtVersionText", u"Approved by J. Smith"_s}}, "CmdVersionTextOk");
    Press(history, {1}, "CmdMarkIssued");
    EXPECT_EQ(Git("tag -n -l issued/*").simplified(), u"issued/north/1 Approved by J. Smith"_s);
    EXPECT_TRUE(Lines(history).value(1).endsWith(u"||Issued (issued/north/1): Approved by J. Smith; Tag v1"_s));
    EXPECT_EQ(List(history).selectionModel()->selectedRows().value(0).row(), 1) << "kept";

    Edit(1, FieldRelNam, u"12 TPR"_s);
    Window().SaveSite();
    expected = Logged(u"%h|%ad|%an|%s||"_s);
    EXPECT_EQ(Lines(history).value(0), expected.value(0)) << "a save's version at the top";
    EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>{});

    // Ctrl+H is Replace's: History's keys clash with no other command's.
    EXPECT_EQ(Window().findChild<QAction*>(u"MnuHistory"_s)->shortcut().toString(), u"Ctrl+Shift+H"_s);
    std::set<QString> keys;
    for (const QAction* action : Window().findChildren<QAction*>())
        for (const QKeySequence& key : action->shortcuts())
            EXPECT_TRUE(keys.insert(key.toString()).second) << key.toString().toStdString();
}

TEST_F(HistoryWindow, ComparesAVersionWithTheScreenAndTwoVersionsWithEachOther)
{
    Edit(0, FieldRelNam, u"Typed"_s);
    FrmHistory& history = Open();
    const QStringList ids = Logged(u"%h"_s);
    const QStringList named = Logged(u"the version of %ad (%h)"_s);
    Press(history, {1}, "CmdCompareScreen");
    EXPECT_EQ(Compared(), (QStringList{u"Compare with "_s + named[1],
                                       u"The site on screen and "_s + named[1],
                                       u"2 channels differ in 2 fields"_s,
                                       u"384 channels only on screen (BA01 to BH48)."_s,
                                       u"On screen"_s, u"In the version"_s}));
    Edit(1, FieldRelNam, u"Typed too"_s);
    QApplication::processEvents();
    EXPECT_EQ(Compared().value(2), u"3 channels differ in 3 fields"_s) << "follows the screen";

    Press(history, {0, 1}, "CmdCompareVersions");
    EXPECT_EQ(Compared(), (QStringList{u"Compare the versions %1 and %2"_s.arg(ids[1], ids[0]),
                                       u'T' + named[1].mid(1) + u" and "_s + named[0],
                                       u"1 channel differs in 1 field"_s,
                                       u"384 channels only in %1 (BA01 to BH48)."_s.arg(ids[0]),
                                       u"In "_s + ids[1], u"In "_s + ids[0]}));
    Edit(2, FieldRelNam, u"Not theirs"_s);
    QApplication::processEvents();
    EXPECT_EQ(Compared().value(2), u"1 channel differs in 1 field"_s) << "two versions stand";
    EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>{});
}

TEST_F(HistoryWindow, OpenThisVersionPutsItOnScreenAndItsSaveRecordsTheRestoring)
{
    Edit(0, FieldRelNam, u"Typed"_s);
    FrmHistory& history = Open();
    const QString first = Logged(u"%ad"_s).value(1);
    ui.Answer(MessageButton::Cancel).Answer(MessageButton::No);
    Press(history, {1}, "CmdOpenVersion");
    EXPECT_EQ(Window().Table().Row(0).relNam, u"Typed"_s) << "Cancel at the save question";
    Press(history, {1}, "CmdOpenVersion");
    EXPECT_EQ(EncodeDip(Window().Table().Rows()), SiteNamed());
    EXPECT_TRUE(Window().modified());
    EXPECT_EQ(Window().currentFile(), site_);

    Window().SaveSite();
    EXPECT_EQ(Logged(u"%s"_s).value(0), u"Restored the version of "_s + first);
    EXPECT_EQ(RunGit("show HEAD:north.dip", library_), SiteNamed());
    EXPECT_EQ(Lines(history).size(), 3);
    EXPECT_EQ(ui.MessageTexts(), (QStringList(2, u"Save this site before closing?"_s)));
}

// The open window follows the site on screen and says why it shows nothing; asked for, a
// fault is a box and no window.
TEST_F(HistoryWindow, ASiteWhoseVersionsCannotBeReadIsNamed)
{
    FrmHistory& history = Open();
    const QString west = library_ + u"/west.dip"_s;
    const std::pair<std::function<void()>, QString> faults[] = {
        {[&] { Window().NewSite(); },
         u"The site on screen has no file yet: save it in a site library to keep its versions."_s},
        {[&] { Window().OpenSiteFile(MakeDip(u"south.dip"_s)); },
         SitePath(u"south.dip"_s) + u": the site is in no site library: \"Keep history of this "
                                    u"folder...\" in the File menu makes its folder one."_s},
        {[&] { Window().OpenSiteFile(MakeDip(u"lib/west.dip"_s)); },
         west + u": the site has no recorded version in the library at "_s + library_ + u'.'},
        {[&] {
             const QString tree = Git("rev-parse HEAD^{tree}").trimmed();
             QFile::remove(library_ + u"/.git/objects/"_s + tree.left(2) + u'/' + tree.mid(2));
             Window().OpenSiteFile(site_);
         },
         site_ + u": the repository is missing objects ("_s},
    };
    const QLabel& fault = *history.findChild<QLabel*>(u"LblHistoryFault"_s);
    for (const auto& [make, shown] : faults) {
        make();
        EXPECT_TRUE(fault.isVisible() && fault.text().startsWith(shown)) << fault.text().toStdString();
        EXPECT_EQ(Lines(history), QStringList());
    }
    EXPECT_EQ(history.windowTitle(), u"History of north.dip"_s);
    history.close();
    ui.ClearShown();
    EXPECT_FALSE(Open().isVisible());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], (MessageRequest{fault.text(), MessageIcon::Exclamation,
                                                MessageButtons::Ok, QString(kAppTitle)}));
}

} // namespace
} // namespace mr640::test
