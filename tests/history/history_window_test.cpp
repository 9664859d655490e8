// The History window over a real library, read back with the git program.

#include "dialog_play.h"
#include "editor/shared_routines.h"
#include "files/dip_file.h"
#include "history/version_summary.h"
#include "window/history_window.h"
#include "window_versions_fixture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <set>

namespace mr640::test {
namespace {

using namespace Qt::StringLiterals;

const Author kBob{u"Bob Tester"_s, u"bob@example.org"_s};

class HistoryWindow : public WindowLibraryTest
{
protected:
    // Two versions of north.dip recorded by the core: Ann's new site and Bob's, which names
    // AA17, doubles the channels and carries a description of two lines. The window starts
    // with the second on screen.
    void SetUp() override
    {
        WindowLibraryTest::SetUp();
        SetEngineer(kAnn);
        std::vector<ChannelRow> second = DefaultRows(768);
        second[16].relNam = u"North TPR"_s;
        WriteBytes(site_, SiteNamed());
        SiteHistory::Open(site_).Record(SiteNamed(), kAnn);
        WriteBytes(site_, EncodeDip(second));
        SiteHistory::Open(site_).Record(EncodeDip(second), kBob,
                                        {u"Works order 4471\n\nSecond line"_s, {}});
        Start().OpenSiteFile(site_);
        ui.ClearShown();
    }

    FrmHistory& Open()
    {
        Window().findChild<QAction*>(u"MnuHistory"_s)->trigger();
        return *Window().findChild<FrmHistory*>(u"FrmHistory"_s);
    }
    QTableView& List(FrmHistory& history)
    {
        return *history.findChild<QTableView*>(u"LstVersions"_s);
    }
    // The lines of the list, their fields joined by "|".
    QStringList Lines(FrmHistory& history)
    {
        const QAbstractItemModel& model = *List(history).model();
        QStringList lines;
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList fields;
            for (int column = 0; column < model.columnCount(); ++column)
                fields.append(model.index(row, column).data().toString());
            lines.append(fields.join(u'|'));
        }
        return lines;
    }
    void Select(FrmHistory& history, std::initializer_list<int> rows)
    {
        QTableView& list = List(history);
        list.clearSelection();
        for (const int row : rows)
            list.selectionModel()->select(list.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    static QPushButton& Button(FrmHistory& history, const char* name)
    {
        return *history.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    // The Compare window's title, its line naming the sides, its counts and the captions of
    // the two sides' columns.
    QStringList Compared()
    {
        auto* compare = Window().findChild<QDialog*>(u"FrmCompare"_s);
        if (!compare || !compare->isVisible())
            return {};
        const QAbstractItemModel& model = *compare->findChild<QTableView*>()->model();
        QStringList shown{compare->windowTitle()};
        for (const char* label : {"LblCompareFile", "LblCounts", "LblOneSide"})
            shown.append(compare->findChild<QLabel*>(QString::fromLatin1(label))->text());
        for (const int column : {2, 3})
            shown.append(model.headerData(column, Qt::Horizontal).toString());
        return shown;
    }
    // "2026-12-01 14:02 (a1b2c3d)" of the version git names revision.
    QString VersionOf(const QString& revision)
    {
        return Git({u"log"_s, u"-1"_s, u"--abbrev=7"_s, u"--date=format:%Y-%m-%d %H:%M"_s,
                    u"--format=%ad (%h)"_s, revision})
            .trimmed();
    }
};

TEST_F(HistoryWindow, ListsWhatGitLogListsAndFollowsEachVersionAndMark)
{
    Git({u"tag"_s, u"v1"_s, u"HEAD~1"_s});
    FrmHistory& history = Open();
    EXPECT_TRUE(history.isVisible());
    EXPECT_EQ(history.windowTitle(), u"History of north.dip"_s);
    const auto logged = [&] {
        return Git({u"log"_s, u"--abbrev=7"_s, u"--date=format:%Y-%m-%d %H:%M"_s,
                    u"--format=%h|%ad|%an|%s|"_s, u"--"_s, u"north.dip"_s})
            .split(u'\n', Qt::SkipEmptyParts);
    };
    QStringList expected = logged();
    ASSERT_EQ(expected.size(), 2);
    expected[0] += u"Works order 4471 Second line|"_s;
    expected[1] += u"|Tag v1"_s;
    EXPECT_EQ(Lines(history), expected);
    EXPECT_EQ(expected[0].section(u'|', 3, 3),
              u"1 channel changed: AA17 name; 384 channels added"_s);

    // Mark as issued tags the version selected with a line of text.
    Select(history, {1});
    ui.AtModal([](QDialog& dialog) {
        Control<QLineEdit>(dialog, "TxtVersionText").setText(u"Approved by J. Smith"_s);
        Control<QPushButton>(dialog, "CmdVersionTextOk").click();
        return dialog.result();
    });
    Button(history, "CmdMarkIssued").click();
    EXPECT_EQ(Git({u"tag"_s, u"-n"_s, u"-l"_s, u"issued/*"_s}).simplified(),
              u"issued/north/1 Approved by J. Smith"_s);
    EXPECT_EQ(Git({u"rev-parse"_s, u"issued/north/1^{commit}"_s}),
              Git({u"rev-parse"_s, u"HEAD~1"_s}));
    EXPECT_EQ(Lines(history).value(1).section(u'|', 5),
              u"Issued (issued/north/1): Approved by J. Smith; Tag v1"_s);
    EXPECT_EQ(List(history).selectionModel()->selectedRows().value(0).row(), 1) << "kept";

    // A save records a version, and the window shows it at the top.
    Edit(1, FieldRelNam, u"12 TPR"_s);
    Window().SaveSite();
    expected = logged();
    ASSERT_EQ(expected.size(), 3);
    EXPECT_EQ(Lines(history).value(0), expected[0] + u'|');
    EXPECT_EQ(expected[0].section(u'|', 2, 3), u"Ann Engineer|1 channel changed: AA02 name"_s);
    EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>{});
}

TEST_F(HistoryWindow, ComparesAVersionWithTheScreenAndTwoVersionsWithEachOther)
{
    Edit(0, FieldRelNam, u"Typed"_s);
    FrmHistory& history = Open();
    Select(history, {1});
    EXPECT_FALSE(Button(history, "CmdCompareVersions").isEnabled()) << "one version";
    Button(history, "CmdCompareScreen").click();
    const QString first = VersionOf(u"HEAD~1"_s);
    const QString second = VersionOf(u"HEAD"_s);
    EXPECT_EQ(Compared(), (QStringList{u"Compare with the version of "_s + first,
                                       u"The site on screen and the version of "_s + first,
                                       u"2 channels differ in 2 fields"_s,
                                       u"384 channels only on screen (BA01 to BH48)."_s,
                                       u"On screen"_s, u"In the version"_s}));
    // The comparison follows the site on screen as it changes.
    Edit(1, FieldRelNam, u"Typed too"_s);
    QApplication::processEvents();
    EXPECT_EQ(Compared().value(2), u"3 channels differ in 3 fields"_s);

    Select(history, {0, 1});
    EXPECT_FALSE(Button(history, "CmdCompareScreen").isEnabled()) << "two versions";
    Button(history, "CmdCompareVersions").click();
    const QString firstId = first.right(8).chopped(1);
    const QString secondId = second.right(8).chopped(1);
    EXPECT_EQ(Compared(),
              (QStringList{u"Compare the versions %1 and %2"_s.arg(firstId, secondId),
                           u"The version of "_s + first + u" and the version of "_s + second,
                           u"1 channel differs in 1 field"_s,
                           u"384 channels only in "_s + secondId + u" (BA01 to BH48)."_s,
                           u"In "_s + firstId, u"In "_s + secondId}));
    Edit(2, FieldRelNam, u"Not theirs"_s);
    QApplication::processEvents();
    EXPECT_EQ(Compared().value(2), u"1 channel differs in 1 field"_s) << "two versions stand";
    EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>{});
}

TEST_F(HistoryWindow, OpenThisVersionPutsItOnScreenAndItsSaveRecordsTheRestoring)
{
    Edit(0, FieldRelNam, u"Typed"_s);
    FrmHistory& history = Open();
    Select(history, {1});
    ui.Answer(MessageButton::Cancel);
    Button(history, "CmdOpenVersion").click();
    EXPECT_EQ(Window().Table().Row(0).relNam, u"Typed"_s) << "Cancel at the save question";
    ui.Answer(MessageButton::No);
    Button(history, "CmdOpenVersion").click();
    EXPECT_EQ(EncodeDip(Window().Table().Rows()), SiteNamed());
    EXPECT_TRUE(Window().modified());
    EXPECT_EQ(Window().currentFile(), site_);
    EXPECT_EQ(Window().windowTitle(), u"north - MR640 configuration editor"_s);

    Window().SaveSite();
    EXPECT_EQ(Git({u"log"_s, u"-1"_s, u"--format=%s"_s}).trimmed(),
              u"Restored the version of "_s + VersionOf(u"HEAD~2"_s).chopped(10));
    EXPECT_EQ(GitObject(u"HEAD:north.dip"_s), SiteNamed());
    EXPECT_EQ(Lines(history).size(), 3);
    EXPECT_EQ(ui.MessageTexts(), (QStringList(2, u"Save this site before closing?"_s)));
}

TEST_F(HistoryWindow, ASiteWhoseVersionsCannotBeReadIsNamed)
{
    struct Fault
    {
        std::function<void()> make;
        QString shown;
    };
    const QString elsewhere = SitePath(u"south.dip"_s);
    const QString unrecorded = library_ + u"/west.dip"_s;
    const std::vector<Fault> faults{
        {[&] { Window().NewSite(); },
         u"The site on screen has no file yet: save it in a site library to keep its versions."_s},
        {[&] { Window().OpenSiteFile(MakeDip(u"south.dip"_s)); },
         elsewhere + u": the site is in no site library: \"Keep history of this folder...\" in "
                     u"the File menu makes its folder one."_s},
        {[&] {
             WriteBytes(unrecorded, SiteNamed());
             Window().OpenSiteFile(unrecorded);
         },
         unrecorded + u": the site has no recorded version in the library at "_s + library_ +
             u'.'},
    };
    for (const Fault& fault : faults) {
        fault.make();
        ui.ClearShown();
        Open();
        const MessageRequest shown{fault.shown, MessageIcon::Exclamation, MessageButtons::Ok,
                                   QString(kAppTitle)};
        EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>{shown});
        EXPECT_FALSE(Window().findChild<FrmHistory*>()->isVisible());
    }

    // The open window follows the site on screen, and says why it shows nothing.
    Window().OpenSiteFile(site_);
    FrmHistory& history = Open();
    ASSERT_TRUE(history.isVisible());
    const QString tree = Git({u"rev-parse"_s, u"HEAD^{tree}"_s}).trimmed();
    QFile::remove(library_ + u"/.git/objects/"_s + tree.left(2) + u'/' + tree.mid(2));
    Window().OpenSiteFile(unrecorded);
    const QLabel& fault = *history.findChild<QLabel*>(u"LblHistoryFault"_s);
    EXPECT_TRUE(fault.isVisible());
    EXPECT_TRUE(fault.text().startsWith(unrecorded + u": the repository is missing objects ("_s))
        << fault.text().toStdString();
    EXPECT_EQ(history.windowTitle(), u"History of west.dip"_s);
    EXPECT_EQ(Lines(history), QStringList());
}

TEST_F(HistoryWindow, ItsKeyClashesWithNoOther)
{
    EXPECT_EQ(Window().findChild<QAction*>(u"MnuHistory"_s)->shortcut().toString(),
              u"Ctrl+Shift+H"_s);
    std::set<QString> keys;
    for (const QAction* action : Window().findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts())
            EXPECT_TRUE(keys.insert(key.toString()).second)
                << key.toString().toStdString() << " of " << action->objectName().toStdString();
    }
}

} // namespace
} // namespace mr640::test
