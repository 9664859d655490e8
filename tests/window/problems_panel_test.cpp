#include "checks/site_problems.h"
#include "dialog_play.h"
#include "test_files.h"
#include "window/edit_history.h"
#include "window/problems_panel.h"
#include "window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeView>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

const QString kDuplicate = u"Error|AA17, AB02|AA17 and AB02 are both named \"12TPR\" with front contacts"_s;

// The Problems panel and the count in the status bar, as the user meets them.
class ProblemsPanel : public test::WindowTest
{
protected:
    // One pass of the event loop, when the panel catches up with the site.
    static void Pass() { QCoreApplication::processEvents(); }

    QPushButton& Count() { return *Window().findChild<QPushButton*>(u"ProblemCount"_s); }
    QDockWidget* Dock() { return Window().findChild<QDockWidget*>(u"ProblemsPanel"_s); }
    QTreeView& List() { return *Dock()->findChild<QTreeView*>(u"LstProblems"_s); }

    // Opens the panel as the user does, from the count in the status bar.
    QTreeView& Reveal()
    {
        QTest::mouseClick(&Count(), Qt::LeftButton);
        return List();
    }

    // The panel's lines as "Level|Channels|Text".
    QStringList Lines() { return test::ModelLines(*List().model()); }

    void Click(const char* name) { Dock()->findChild<QToolButton*>(QLatin1StringView(name))->click(); }

    void ShowIgnored(bool show) { Dock()->findChild<QCheckBox*>(u"ChkShowIgnored"_s)->setChecked(show); }

    // Opens the site file, forgets the count of channels loaded, and lets the panel catch up.
    void Open(const QString& path)
    {
        Window().OpenSiteFile(path);
        ui.ClearShown();
        Pass();
    }

    // Opens the site north.dip with its relays AA17 and AB02 both named 12TPR.
    QString OpenNorth()
    {
        const QString north =
            MakeDip(u"north.dip"_s, {{u"AA17"_s, u"12TPR"_s}, {u"AB02"_s, u"12TPR"_s}});
        Open(north);
        return north;
    }
};

TEST_F(ProblemsPanel, EditsAndTheirUndoChangeOnlyTheProblemsTheyTouch)
{
    FrmDips& w = Start();
    Open(MakeDip(u"north.dip"_s, {{u"AA17"_s, u"12TPR"_s}}));
    Reveal();
    EXPECT_EQ(Lines(), QStringList());
    QSignalSpy refills(List().model(), &QAbstractItemModel::modelReset);
    QSignalSpy checks(&w.Problems(), &SiteProblems::Updated);

    QLineEdit* editor = StartTyping(*ChannelNumberFromId(u"AB02"_s) - 1, FieldRelNam, u"12TPR"_s);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    Pass();
    EXPECT_EQ(Lines(), QStringList{kDuplicate});
    EXPECT_EQ(Count().text(), u"1 error"_s);

    w.findChild<QAction*>(u"MnuUndo"_s)->trigger();
    Pass();
    EXPECT_EQ(Lines(), QStringList());
    EXPECT_EQ(Count().text(), u"No problems"_s);

    // Steps that come in one pass are checked once, together.
    w.History().Record(u"Paste"_s, {{0, FieldRelNam, u"Spare AA01"_s, u" X"_s}});
    w.History().Record(u"Paste"_s, {{16, FieldStDn, u"DN"_s, u"UP"_s}});
    Pass();
    EXPECT_EQ(Lines(), (QStringList{u"Warning|AA01|AA01 is named \" X\" with a space before it"_s,
                                    u"Warning|AA17|AA17 has the same up and down text \"UP\""_s}));
    EXPECT_EQ(Count().text(), u"2 warnings"_s);
    EXPECT_EQ(checks.count(), 3);
    EXPECT_EQ(refills.count(), 0); // the list was never filled afresh
}

TEST_F(ProblemsPanel, TheStatusBarCountsErrorsAndWarningsAndShowsThePanel)
{
    const std::pair<ProblemCounts, QString> counts[] = {
        {{0, 0, 0}, u"No problems"_s},
        {{1, 0, 0}, u"1 error"_s},
        {{0, 1, 0}, u"1 warning"_s},
        {{2, 3, 0}, u"2 errors, 3 warnings"_s},
        {{0, 0, 2}, u"No problems"_s}, // information is no problem
    };
    for (const auto& [count, text] : counts)
        EXPECT_EQ(ProblemCountText(count), text);

    FrmDips& w = Start();
    OpenNorth();
    EXPECT_EQ(Count().text(), u"1 error"_s);
    EXPECT_TRUE(Count().isVisible()); // also with no card in
    QAction& view = *w.findChild<QAction*>(u"MnuProblems"_s);
    EXPECT_FALSE(view.isChecked());
    EXPECT_EQ(Dock(), nullptr); // made when first shown
    Reveal();
    ASSERT_NE(Dock(), nullptr);
    EXPECT_TRUE(Dock()->isVisible());
    EXPECT_TRUE(view.isChecked());
    EXPECT_EQ(Lines(), QStringList{kDuplicate});
    view.trigger();
    EXPECT_FALSE(Dock()->isVisible());
}

TEST_F(ProblemsPanel, ADoubleClickSelectsTheFirstChannelsRelayName)
{
    Start();
    OpenNorth();
    QTreeView& list = Reveal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    const QPoint at = list.visualRect(list.model()->index(0, 2)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(Window().Grid().currentIndex(),
              Window().Table().index(*ChannelNumberFromId(u"AA17"_s) - 1, FieldRelNam));
}

TEST_F(ProblemsPanel, AnIgnoredProblemIsKeptBesideTheSiteAndStaysIgnoredWhenReopened)
{
    FrmDips& w = Start();
    const QString north = OpenNorth();
    QTreeView& list = Reveal();
    list.setCurrentIndex(list.model()->index(0, 0));
    Click("CmdIgnore");
    EXPECT_EQ(test::ReadBytes(north + u".ignore"_s), "duplicate-name AA17 AB02\n");
    EXPECT_EQ(Lines(), QStringList());
    EXPECT_EQ(Count().text(), u"No problems"_s);

    w.NewSite();
    Pass();
    Open(north);
    EXPECT_EQ(Count().text(), u"No problems"_s);
    EXPECT_EQ(Lines(), QStringList());
    ShowIgnored(true);
    EXPECT_EQ(Lines(), QStringList{u"Error (ignored)|AA17, AB02|"_s +
                                   kDuplicate.section(u'|', 2)});
    EXPECT_EQ(list.model()->index(0, 2).data(Qt::ForegroundRole).value<QBrush>().color(),
              QApplication::palette().color(QPalette::Disabled, QPalette::Text));

    list.setCurrentIndex(list.model()->index(0, 0));
    Click("CmdStopIgnoring");
    EXPECT_EQ(test::ReadBytes(north + u".ignore"_s), "");
    EXPECT_EQ(Lines(), QStringList{kDuplicate});
    EXPECT_EQ(Count().text(), u"1 error"_s);
    EXPECT_TRUE(ui.Messages().empty()) << ui.MessageTexts().join(u"\n"_s).toStdString();
}

TEST_F(ProblemsPanel, ANewSiteKeepsItsIgnoredProblemsUntilItIsSavedThenBesideItsFile)
{
    FrmDips& w = Start();
    for (const char* id : {"AA17", "AB02"}) {
        QLineEdit* editor = StartTyping(*ChannelNumberFromId(QLatin1StringView(id)) - 1,
                                        FieldRelNam, u"12TPR"_s);
        QTest::keyClick(editor, Qt::Key_Return);
        Pass();
    }
    QTreeView& list = Reveal();
    list.setCurrentIndex(list.model()->index(0, 0));
    Click("CmdIgnore");
    EXPECT_EQ(Count().text(), u"No problems"_s);
    EXPECT_TRUE(QDir(SiteFolder()).entryList(QDir::Files).isEmpty());

    ui.ChooseFile(SitePath(u"south.dip"_s));
    ASSERT_TRUE(w.SaveSiteAs());
    EXPECT_EQ(test::ReadBytes(SitePath(u"south.dip.ignore"_s)), "duplicate-name AA17 AB02\n");
}

TEST_F(ProblemsPanel, AnIgnoreFileThatCannotBeReadIsToldOfOnceAndIgnoresNothing)
{
    FrmDips& w = Start();
    ASSERT_TRUE(QDir().mkpath(SitePath(u"north.dip.ignore"_s)));
    OpenNorth();
    ASSERT_EQ(ui.Messages().size(), 1u);
    const MessageRequest& warning = ui.Messages().front();
    EXPECT_TRUE(warning.text.startsWith(u"north.dip.ignore could not be read ("_s))
        << warning.text.toStdString();
    EXPECT_TRUE(warning.text.endsWith(u"). No problem of north is ignored; problems ignored now are kept until the site is closed."_s));
    EXPECT_EQ(warning.icon, MessageIcon::Exclamation);
    EXPECT_EQ(Count().text(), u"1 error"_s);

    // Ignored now, for as long as the site is open; the file is left as it was.
    QTreeView& list = Reveal();
    list.setCurrentIndex(list.model()->index(0, 0));
    Click("CmdIgnore");
    w.Table().setData(w.Table().index(3, FieldRelNam), u"TR4"_s);
    Pass();
    EXPECT_EQ(Count().text(), u"No problems"_s);
    EXPECT_TRUE(QFileInfo(SitePath(u"north.dip.ignore"_s)).isDir());
    EXPECT_EQ(ui.Messages().size(), 1u) << ui.MessageTexts().join(u"\n"_s).toStdString();
}

TEST_F(ProblemsPanel, LabelFitFollowsTheSheetChosenInPrintLabels)
{
    FrmDips& w = Start();
    Open(MakeDip(u"north.dip"_s, {{u"AA17"_s, u"WWWWWWWWWWWWWWWW"_s}}));
    EXPECT_EQ(Count().text(), u"No problems"_s); // it fits the first sheet, L7163
    ui.AtModal([](QDialog& dialog) {
        auto& sheet = *dialog.findChild<QComboBox*>(u"CmbSheet"_s);
        sheet.setCurrentIndex(sheet.findData(u"L7651"_s));
        return int(QDialog::Rejected);
    });
    w.PrintLabels();
    Pass();
    Reveal();
    EXPECT_EQ(Lines(), QStringList{u"Warning|AA17|AA17 is named \"WWWWWWWWWWWWWWWW\", which does "
                                   u"not fit the L7651 labels at 6 pt"_s});
}

} // namespace
} // namespace mr640
